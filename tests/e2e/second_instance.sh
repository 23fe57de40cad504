# A second start while the program runs brings its window forward, even hidden in standby, says
# "Zento est déjà en mode veille" and ends once the message is answered; the first copy keeps
# running and answering the user.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop

# The message's words as the grid draws them: same font, same colours as a message box
# (black on the window grey, 0xEFEFEF), so that the two drawings can be compared pixel by pixel.
write_store <<'INI'
[Alerte1]
Info1=Zento est déjà en mode veille
Info2=01/09/2099
Info3=0
Info4=5
Info5=
Info6=15724527
Info7=0
Info8=08:00
Info9=0
Info10=
INI
start_zento
first=$ZENTO_PID
wait_tray_icon "$first" 10 >/dev/null
wait_until 8 "the splash to go" no_splash "$first"

start_zento
second=$ZENTO_PID
wait_until 10 "the message of the second copy" dialog_windows_present "$second"
box=$(dialog_windows "$second" | sed -n 1p)
log "second copy's message: window $(printf '0x%x' "$box") titled \"$(xdotool getwindowname "$box")\""
[ -z "$(tray_icon "$second")" ] || fail "the second copy put an icon in the notification area"
main=$(wait_main_window 5 "$first")
[ -z "$(main_windows "$second")" ] || fail "the second copy opened a main window"
expect_alive "$first" "the first copy"
shot second-copy-message
ink_message_box "$box" "$E2E_TMP/message.png"

# While the message waits, the first copy answers its icon; its grid shows the same words.
click_tray_icon "$first"
top=$(main_client_top "$main")
# Polled: the window may not be painted yet.
poll 3 grid_words_match "$E2E_TMP/message.png" "$main" 1 ||
    words_differ "$E2E_TMP/message.png" \
        "the second copy's message does not read \"Zento est déjà en mode veille\""
shot first-copy-shown
log "the message reads \"Zento est déjà en mode veille\""

# Return answers the message; the second copy then ends, without error.
focus_window "$box"
key Return
wait_exit "$second" 5 "the second copy after its message was answered"
status=0
wait "$second" || status=$?
[ "$status" -eq 0 ] || fail "the second copy ended with status $status"

# The first copy goes on: hidden by "Masquer", shown again from its icon.
expect_alive "$first" "the first copy"
click_twips "$main" 0 "$top" $((120 + 6600)) $((120 + 3420)) 1335 372 # Masquer
wait_hidden "$main" 5 "the main window after Masquer"
click_tray_icon "$first"
wait_main_window 5 "$first" >/dev/null
shot first-copy-shown-again
finish
