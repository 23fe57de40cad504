# An overdue one-off alert pops up within 6 s of the start; "Fermer" deletes its section and
# leaves the rest of the store as it was.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop

write_store <<'EOF'
; written by hand
[Alerte1]
Info1=Appeler le garage
Info2=02/01/2020
Info3=0
Info4=3
Info5=Defaut.wav
Info6=255
Info7=16777215
Info8=08:15
Info9=0
Info10=
[Alerte2]
Info1=Plus tard
Info2=12/01/2099
Info3=0
Info4=5
Info5=
Info6=8438015
Info7=0
Info8=09:30
Info9=0
Info10=
[Param]
Nb=2
Fond=
Police=
Img=5
EOF
start_zento
started=$(now_ms)
popup=$(wait_window "Zento - Alerte" 6 "$ZENTO_PID")
log "popup after $(($(now_ms) - started)) ms"
geometry "$popup"
# 4905 x 3660 twips; nothing moves it without a window manager.
[ "$WW" -eq "$(px 4905)" ] && [ "$WH" -eq "$(px 3660)" ] ||
    fail "popup of ${WW}x$WH, not $(px 4905)x$(px 3660)"
# Its colours are the alert's: BackColor 255 is red (0x00BBGGRR).
[ "$(pixel $((WX + 4)) $((WY + 4)))" = FF0000 ] || fail "the popup's background is not the alert's red"
shot popup
[ "$(find_windows "Zento - Alerte" "$ZENTO_PID" | wc -l)" -eq 1 ] ||
    fail "more than one popup for one due alert"

before=$(file_sum "$E2E_STORE")
click_twips "$popup" 0 0 240 2520 1335 375 # Fermer
park_pointer
wait_file_change "$E2E_STORE" "$before" 5
wait_hidden "$popup" 5 "the popup after Fermer"
has_section Alerte1 && fail "Fermer left the section [Alerte1] in the store"
[ "$(store_value Alerte2 Info1)" = "Plus tard" ] || fail "Fermer damaged the other alert"
tr -d '\r' <"$E2E_STORE" | grep -qx '; written by hand' ||
    fail "Fermer dropped a line the program does not use"
list_ids | grep -qx 1 && fail "zento --list still shows alert 1"
shot closed
expect_alive "$ZENTO_PID"
# The next ticks find nothing due: no popup comes back.
sleep 3.5
[ -z "$(find_windows "Zento - Alerte" "$ZENTO_PID")" ] || fail "a popup came back after Fermer"
finish
