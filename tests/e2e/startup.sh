# The first start shows the window and writes nothing; without a notification area the window
# stays, and the icon comes once a panel does. With a store and a panel, the splash shows for
# about three seconds, then only the icon, which brings the window; its menu hides, shows, and
# quits after a question ("Quitter": Return says Oui, Escape Non).
source "$(dirname "$0")/lib.sh" "$@"
start_screen

log "first start, no notification area, then one"
start_zento
main=$(window main)
wait_for 8 "the splash to go" no splash
start_tray
wait_tray_icon 8 # looked for every 3 s
shown "$main" || fail "the window went when the icon came"
tray_menu 3
answer Return
wait_for 5 "Quitter / Oui from the icon's menu to end the program" gone "$ZENTO_PID"
[ -d "$DATA" ] && [ ! -e "$STORE" ] || fail "the first start did not make the data folder, or wrote Alertes.ini"

alert 1 "Rendez-vous chez le dentiste" 12/01/2099 09:30 | write_store
cp "$STORE" "$TMP/written.ini"
log "a store and a notification area: standby"
start_zento
splash=$(window splash)
since=$(now_ms)
geometry "$splash"
[ $((2 * X + W - SCREEN_W)) -ge -4 ] && [ $((2 * X + W - SCREEN_W)) -le 4 ] || fail "the splash is not centred"
wait_tray_icon 5
wait_for 8 "the splash to go" hidden "$splash"
lasted=$(($(now_ms) - since))
[ $lasted -ge 1500 ] && [ $lasted -le 5000 ] || fail "the splash went after $lasted ms, not about 3 s"
no main && no dialog || fail "a window other than the splash opened in standby"
click_tray_icon
main=$(window main 5)
tray_menu 2 # Masquer
wait_for 3 "Masquer to hide the window" hidden "$main"
tray_menu 1 # Gérer les alertes
main=$(window main 3)
tray_menu 3
answer Escape # Non: back to standby
wait_for 3 "Quitter / Non to hide the window" hidden "$main"
no dialog && tray_icon >/dev/null && ! gone "$ZENTO_PID" || fail "Quitter / Non did not leave the program in standby"
cmp -s "$STORE" "$TMP/written.ini" || fail "the store changed"
