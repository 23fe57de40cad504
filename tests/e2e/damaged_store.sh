# A store damaged by hand (junk around the sections, a section twice, an Id in another case, values
# of the wrong form, cut off mid-line) is read as far as it can be; saving one alert keeps every
# other byte; its test popup and Annuler change nothing.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
mkdir -p "$DATA"
{
    printf '\x00\x01\x02\xff\xfe\x80\x81\x8d\x8f\x90\x9d d\xe9but illisible \x00 suite\r\n'
    alert 1 "Valide un" 15/03/2099 10:00 8438015 0 Defaut.wav 3 | encode
    printf '\xc3\x28\xa0\xa1 \x00\x00\x00\x1b[31m\r\n\x7f\x7f\n'
    # Every field of the wrong form but the date, which makes it the grid's first row.
    printf '[Alerte2]\r\nInfo1=Tout de travers\r\nInfo2=01/01/2099\r\nInfo3=douze\r\nInfo4=99\r\n'
    printf 'Info5=a.w\r\nInfo6=bleu\r\nInfo7=&HZZ&\r\nInfo8=25:99\r\nInfo9=oui\r\nInfo10=\r\n'
    alert 3 "Premier trois" 01/04/2099 "" 255 0 ab | encode
    printf '[Alerte3]\r\nInfo1=Doublon trois\r\nInfo2=02/04/2099\r\n[ALERTE3]\r\nInfo1=Encore trois\r\n'
    # The date wrong as well: the grid's fourth row, after those it can sort.
    printf '[Alerte4]\r\nInfo1=Date de travers\r\nInfo2=31/02/2099\r\nInfo3=-1\r\nInfo4=x\r\nInfo5=w\r\n'
    printf 'Info6=-5\r\nInfo7=99999999999\r\nInfo8=9h30\r\nInfo9=2\r\nInfo10=\r\n'
    printf '[Param]\r\nNb=beaucoup\r\nFond=vert\r\nPolice=\r\nImg=abc\r\n[Alerte5]\r\nInfo1=Coupee en route\r\nInfo2=0'
} >"$STORE"
cp "$STORE" "$TMP/original.ini"
read_as="1=Valide un|2=Tout de travers|3=Premier trois|4=Date de travers|5=Coupee en route|"

start_standby
no popup && no dialog || fail "a popup or a message came at start"
click_tray_icon
main=$(window main 5)

log "alert 2, every field wrong: opened and saved as it stands (Enter)"
click "$main" row1 2
focus "$main"
changes_store key Return
no dialog || fail "saving alert 2 brought a message"
[ "$(listed)" = "$read_as" ] || fail "after the save zento --list reads $(listed), not $read_as"
# Outside the saved section every byte stays, junk included; only line ends become CR LF.
others() { LC_ALL=C sed -e '/^\[Alerte2\]\r$/,/^\[/{/^\[Alerte2\]/d;/^\[/!d}' -e 's/\r$//' -e '$a\' "$1"; }
cmp <(others "$TMP/original.ini") <(others "$STORE") >&2 || fail "saving alert 2 changed other lines"

log "alert 4, no readable date: its test popup, then the editor and Annuler"
cp "$STORE" "$TMP/saved.ini"
click "$main" row4
click "$main" cmdTest
popup=$(window test-popup 5)
click "$popup" cmdClose
wait_for 5 "the test popup to go" hidden "$popup"
click "$main" row4 2
click "$main" cmdUndoNew_0
cmp -s "$STORE" "$TMP/saved.ini" || fail "the test popup or Annuler changed the store"
! gone "$ZENTO_PID" || fail "the program ended"
