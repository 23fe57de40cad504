# A store damaged by hand: binary junk around the sections, the same section twice, the same Id
# in another case, section names that are no alerts, a value of the wrong form in every field,
# and a file cut off in the middle of a line. The program starts, lists the alerts it can read,
# opens them in the editor and saves one, and keeps everything else of the file as it was.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop

mkdir -p "$E2E_DATA"
{
    printf '\x00\x01\x02\xff\xfe\x80\x81\x8d\x8f\x90\x9d d\xe9but illisible \x00 suite\r\n'
    printf '[Alerte1]\r\nInfo1=Valide un\r\nInfo2=15/03/2099\r\nInfo3=0\r\nInfo4=3\r\nInfo5=Defaut.wav\r\n'
    printf 'Info6=8438015\r\nInfo7=0\r\nInfo8=10:00\r\nInfo9=0\r\nInfo10=\r\n'
    printf '\xc3\x28\xa0\xa1 \x00\x00\x00\x1b[31m\r\n\x7f\x7f\n'
    # Every field of the wrong form but the date, so that it comes first in the grid.
    printf '[Alerte2]\r\nInfo1=Tout de travers\r\nInfo2=01/01/2099\r\nInfo3=douze\r\n'
    printf 'Info4=99\r\nInfo5=a.w\r\n'
    printf 'Info6=bleu\r\nInfo7=&HZZ&\r\nInfo8=25:99\r\nInfo9=oui\r\nInfo10=\r\n'
    printf '[Alerte3]\r\nInfo1=Premier trois\r\nInfo2=01/04/2099\r\nInfo3=0\r\nInfo4=5\r\nInfo5=ab\r\n'
    printf 'Info6=255\r\nInfo7=0\r\nInfo8=\r\nInfo9=0\r\nInfo10=\r\n'
    printf '[Alerte3]\r\nInfo1=Doublon trois\r\nInfo2=02/04/2099\r\n'
    printf '[ALERTE3]\r\nInfo1=Encore trois\r\n'
    # The date and the rest of the wrong form as well.
    printf '[Alerte4]\r\nInfo1=Date de travers\r\nInfo2=31/02/2099\r\nInfo3=-1\r\nInfo4=x\r\nInfo5=w\r\n'
    printf 'Info6=-5\r\nInfo7=99999999999\r\nInfo8=9h30\r\nInfo9=2\r\nInfo10=\r\n'
    printf '[Alerte007]\r\nInfo1=Zero devant\r\n[Alerte0]\r\nInfo1=Zero\r\n[Alerte-2]\r\nInfo1=Negatif\r\n'
    printf '[Param]\r\nNb=beaucoup\r\nFond=vert\r\nPolice=\r\nImg=abc\r\n'
    printf '[Alerte5]\r\nInfo1=Coupee en route\r\nInfo2=0'
} >"$E2E_STORE"
cp "$E2E_STORE" "$E2E_TMP/original.ini"

# Id and message of each alert the program reads.
alerts() { zento_list | awk -F'\t' 'NR > 1 { print $2 "\t" $3 }'; }
expected=$'1\tValide un\n2\tTout de travers\n3\tPremier trois\n4\tDate de travers\n5\tCoupee en route'
[ "$(alerts)" = "$expected" ] || fail "zento --list reads: $(alerts | tr '\t\n' '= ')"

start_zento
wait_tray_icon "$ZENTO_PID" 10 >/dev/null
wait_until 8 "the splash to go" no_splash "$ZENTO_PID"
expect_alive "$ZENTO_PID"
[ -z "$(find_windows "Zento - Alerte" "$ZENTO_PID")" ] || fail "an alert of 2099 or without a date popped up"
[ -z "$(dialog_windows "$ZENTO_PID")" ] || fail "a message came up at start"

click_tray_icon "$ZENTO_PID"
main=$(wait_main_window 5 "$ZENTO_PID")
top=$(main_client_top "$main")
geometry "$main"
# Rows by date: 2 (01/01), 1 (15/03, the default orange), 3 (01/04, red), then the two without a
# readable date in file order.
row_colour() { [ "$(pixel $((WX + 60)) $((WY + $(grid_row_y "$top" "$1"))))" = "$2" ]; }
wait_until 3 "row 2 of the grid to be alert 1 (orange)" row_colour 2 FFC080
row_colour 3 FF0000 || fail "row 3 of the grid is not alert 3 (red)"
shot grid

log "alert 2 (every field wrong): open it, save it as it stands"
click_at "$main" 200 "$(grid_row_y "$top" 1)" 2
shot editor-alert2
before=$(file_sum "$E2E_STORE")
click_twips "$main" 0 "$top" $((120 + 6600)) $((120 + 960)) 1335 650 # Enregistrer les modifications
park_pointer
wait_file_change "$E2E_STORE" "$before" 5
expect_alive "$ZENTO_PID"
[ -z "$(dialog_windows "$ZENTO_PID")" ] || fail "saving alert 2 brought a message"
shot saved-alert2
[ "$(alerts)" = "$expected" ] || fail "after the save zento --list reads: $(alerts | tr '\t\n' '= ')"
# Outside the saved section every byte stays, junk included; only line breaks become CR LF (the
# one line ended by LF alone, and the cut-off last line).
outside_alert2() {
    # shellcheck disable=SC1003 # sed's "$a\" (end the last line), not a quote
    LC_ALL=C sed -e '/^\[Alerte2\]\r$/,/^\[/{/^\[Alerte2\]/d;/^\[/!d}' -e 's/\r$//' -e '$a\' "$1"
}
outside_alert2 "$E2E_TMP/original.ini" >"$E2E_TMP/expected-rest"
outside_alert2 "$E2E_STORE" >"$E2E_TMP/rest"
cmp "$E2E_TMP/expected-rest" "$E2E_TMP/rest" >&2 || fail "saving alert 2 changed other lines of the file"
[ "$(tr -d '\r' <"$E2E_STORE" | wc -l)" -eq "$(grep -c $'\r$' "$E2E_STORE")" ] ||
    fail "not every line of the saved file ends with CR LF"
[ "$(section Alerte2 | grep -c '^Info')" -eq 10 ] || fail "alert 2 was not saved with its ten keys"
log "alert 2 saved as: $(section Alerte2 | tr '\n' ' ')"

log "alert 4 (no readable date): its test popup, then the editor and Annuler"
click_at "$main" 200 "$(grid_row_y "$top" 4)"
before=$(file_sum "$E2E_STORE")
click_twips "$main" 0 "$top" $((120 + 6600)) $((120 + 1440)) 1335 372 # Tester
popup=$(wait_window "Zento - Alerte (mode Test)" 5 "$ZENTO_PID")
shot test-popup-alert4
click_twips "$popup" 0 0 240 2520 1335 375 # Fermer
wait_hidden "$popup" 5 "the test popup"
click_at "$main" 200 "$(grid_row_y "$top" 4)" 2
shot editor-alert4
expect_alive "$ZENTO_PID"
click_twips "$main" 0 "$top" $((120 + 6600)) $((120 + 1800)) 1335 372 # Annuler
park_pointer
[ "$(file_sum "$E2E_STORE")" = "$before" ] || fail "the test popup or Annuler changed the store"
[ "$(alerts)" = "$expected" ] || fail "at the end zento --list reads: $(alerts | tr '\t\n' '= ')"
expect_alive "$ZENTO_PID"
shot end
finish
