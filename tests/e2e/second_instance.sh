# A second start while the program waits in standby brings the window forward, says "Zento est
# déjà en mode veille" and, answered, ends with status 0; the first copy goes on.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
# An alert (never due: without a date) whose words the grid draws as a message box draws its
# own, black on the window grey, so that the two drawings can be compared.
alert 1 "Zento est déjà en mode veille" "" "" 15724527 | write_store
start_standby
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
[ "$(identify -format %wx%h "$TMP/box.png")" = "$(identify -format %wx%h "$TMP/grid.png")" ] &&
    [ "$(compare -metric AE "$TMP/box.png" "$TMP/grid.png" null: 2>&1)" -le 3 ] ||
    fail "the message does not read \"Zento est déjà en mode veille\""
focus "$box"
key Return
wait_for 5 "the answered second copy to end" gone "$second"
wait "$second" || fail "the second copy ended with status $?"
! gone "$first" && tray_icon >/dev/null && shown "$main" || fail "the first copy did not go on"
