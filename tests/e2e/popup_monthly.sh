# A monthly alert dated 31/01/2026, acknowledged from its popup, moves to 28/02/2026; nothing
# else in the store changes, down to the byte.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop

write_store <<'INI'
[Param]
Nb=2
Fond=
Police=
Img=5
[Alerte7]
Info1=Payer le loyer
Info2=31/01/2026
Info3=4
Info4=12
Info5=
Info6=65280
Info7=0
Info8=
Info9=0
Info10=
; a note of the user, and a key the program does not know
Remarque=garder
[Alerte9]
Info1=Anniversaire de Paul
Info2=05/06/2099
Info3=8
Info4=1
Info5=Defaut.wav
Info6=8438015
Info7=0
Info8=10:00
Info9=1
Info10=
INI
cp "$E2E_STORE" "$E2E_TMP/before.ini"
start_zento
popup=$(wait_window "Zento - Alerte" 6 "$ZENTO_PID")
shot popup
before=$(file_sum "$E2E_STORE")
click_twips "$popup" 0 0 240 2520 1335 375 # Fermer: for a periodic alert, the next occurrence
park_pointer
wait_file_change "$E2E_STORE" "$before" 5
[ "$(store_value Alerte7 Info2)" = 28/02/2026 ] ||
    fail "acknowledged, the alert is dated $(store_value Alerte7 Info2), not 28/02/2026"
# Every other line, CR LF included, is the same as before.
diff <(grep -av '^Info2=31/01/2026' "$E2E_TMP/before.ini") \
    <(grep -av '^Info2=28/02/2026' "$E2E_STORE") >"$E2E_TMP/diff" ||
    fail "acknowledging changed more than Info2: $(cat -A "$E2E_TMP/diff")"
[ "$(grep -ac '^Info2=' "$E2E_STORE")" -eq 2 ] || fail "the Info2 lines were duplicated or lost"
list_ids | tr '\n' ' ' | grep -qx '7 9 ' || fail "zento --list shows $(list_ids | tr '\n' ' ')"
shot acknowledged
wait_hidden "$popup" 3 "the popup after Fermer"
# 28/02/2026 is still past: the tick, armed again by the answer, shows the alert once more.
again=$(wait_window "Zento - Alerte" 6 "$ZENTO_PID")
shot popup-again
[ "$(section Alerte7 | grep -c .)" -eq 12 ] || fail "the alert's section lost or gained lines"
expect_alive "$ZENTO_PID"
log "the alert came back in window $(printf '0x%x' "$again") for its next, still past, occurrence"
finish
