# First start: nothing written, the window kept until a late panel brings the icon. Standby: a 3 s
# splash; a second start shows the window, says so and ends with 0; the icon's menu (Oui / Non).
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

log "a store and a notification area: standby"
# An alert (never due: without a date) whose words the grid draws as a message box draws its
# own, black on the window grey, so that the two drawings can be compared.
alert 1 "Zento est déjà en mode veille" "" "" 15724527 | write_store
cp "$STORE" "$TMP/written.ini"
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

log "a second start"
first=$ZENTO_PID
start_zento
second=$ZENTO_PID ZENTO_PID=$first
box=$(window dialog 10 "$second")
main=$(window main 5)
no main "$second" && ! tray_icon "$second" >/dev/null || fail "the second copy opened a window or an icon"
# words <name>: the text inside X Y W H, in black and white, without the margins.
words() { import -window root -crop "${W}x$H+$X+$Y" +repage png:- | convert - -threshold 50% -trim +repage "$TMP/$1.png"; }
geometry "$box"
X=$((X + 50)) W=$((W - 50)) H=$((H / 2)) # right of the icon, above the button
words box
at "$main" row1
words grid
[ "$(compare -metric AE "$TMP/box.png" "$TMP/grid.png" null: 2>&1)" -le 3 ] 2>/dev/null ||
    fail "the message does not read \"Zento est déjà en mode veille\""
ZENTO_PID=$second answer Return
wait_for 5 "the answered second copy to end" gone "$second"
wait "$second" || fail "the second copy ended with status $?"
tray_menu 2 # Masquer
wait_for 3 "Masquer to hide the window" hidden "$main"
tray_menu 1 # Gérer les alertes
main=$(window main 3)
tray_menu 3
answer Escape # Non: back to standby
wait_for 3 "Quitter / Non to hide the window" hidden "$main"
no dialog && tray_icon >/dev/null && ! gone "$ZENTO_PID" || fail "Quitter / Non did not leave the program in standby"
cmp -s "$STORE" "$TMP/written.ini" || fail "the store changed"
