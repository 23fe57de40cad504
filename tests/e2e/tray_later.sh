# Started before any notification area, as a session's autostart may run before its panel: the
# window shows at once; the icon comes when a panel does, the window staying as it was, and from
# then on the icon hides the window and brings it back.
source "$(dirname "$0")/lib.sh" "$@"
start_screen

write_store <<'EOF_STORE'
[Alerte1]
Info1=Bien plus tard
Info2=01/09/2099
Info3=0
Info4=5
Info5=
Info6=8438015
Info7=0
Info8=08:00
Info9=0
Info10=
EOF_STORE
start_zento
main=$(wait_main_window 10)
wait_until 8 "the splash to go" no_splash "$ZENTO_PID"
shot without-tray

start_tray
since=$(now_ms)
# The program looks for a notification area every 3 s.
wait_tray_icon "$ZENTO_PID" 8 >/dev/null
log "icon registered $(($(now_ms) - since)) ms after the notification area came"
shown "$main" || fail "the main window went when the icon came"
shot icon-came

tray_menu "$ZENTO_PID" 2 # Masquer
wait_hidden "$main" 3 "the main window after Masquer"
click_tray_icon "$ZENTO_PID"
wait_main_window 3 >/dev/null
expect_alive "$ZENTO_PID"
finish
