# A first start (no store yet) opens the main window; "Quitter" then "Oui" ends the program.
# A start with a store shows only the splash for about three seconds and the notification
# icon; the icon brings the main window.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop

log "first start: no Alertes.ini"
start_zento
first=$ZENTO_PID
main=$(wait_main_window 10 "$first")
wait_tray_icon "$first" 5 >/dev/null
[ ! -e "$E2E_STORE" ] || fail "the first start wrote Alertes.ini before anything was saved"
[ -d "$E2E_DATA" ] || fail "the first start did not create the data folder $E2E_DATA"
shot first-start
# The splash comes with it and goes by itself.
wait_until 8 "the splash to go" no_splash "$first"

# "Quitter" asks; Return takes the default answer, "Oui".
top=$(main_client_top "$main")
click_twips "$main" 0 "$top" $((120 + 6600)) $((120 + 3885)) 1335 372
wait_until 5 "the question \"Arreter Zento ?\"" dialog_windows_present "$first"
question=$(dialog_windows "$first" | sed -n 1p)
shot quit-question
focus_window "$question"
key Return
wait_exit "$first" 5 "zento after Quitter / Oui"
[ -z "$(tray_icon "$first")" ] || fail "the notification icon stayed after the program ended"

log "second start: with a store"
write_store <<'EOF'
[Alerte1]
Info1=Rendez-vous chez le dentiste
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
Nb=1
Fond=
Police=
Img=5
EOF
start_zento
second=$ZENTO_PID
wait_until 10 "the splash" splash_present "$second"
splash=$(splash_windows "$second" | sed -n 1p)
seen=$(now_ms)
[ -z "$(main_windows "$second")" ] || fail "the main window opened although a store exists"
geometry "$splash"
# The splash: 5916 x 4080 twips, in the middle of the screen.
[ "$WW" -ge "$(px 5916)" ] || fail "the window shown at start is not the splash (${WW}x$WH)"
[ $((2 * WX + WW - SCREEN_W)) -ge -4 ] && [ $((2 * WX + WW - SCREEN_W)) -le 4 ] ||
    fail "the splash is not centred (x=$WX)"
shot splash
icon=$(wait_tray_icon "$second" 5)
log "notification icon $(printf '0x%x' "$icon") inside trayer's panel"

wait_hidden "$splash" 8 "the splash"
lasted=$(($(now_ms) - seen))
log "splash shown for about ${lasted} ms"
[ "$lasted" -ge 1500 ] && [ "$lasted" -le 5000 ] || fail "the splash went after ${lasted} ms, not about 3 s"
[ -z "$(main_windows "$second")" ] || fail "the main window opened after the splash"
shot standby
[ -z "$(find_windows Zento "$second")" ] || fail "a window other than the splash is shown in standby"
expect_alive "$second"

log "the icon brings the main window"
click_tray_icon "$second"
main=$(wait_main_window 5 "$second")
shot shown-from-icon

log "the icon's menu: Masquer, Gérer les alertes, Quitter then Non"
tray_menu "$second" 2
wait_hidden "$main" 3 "the main window after Masquer"
tray_menu "$second" 1
main=$(wait_main_window 3 "$second")
tray_menu "$second" 3
wait_until 3 "the question \"Arreter Zento ?\"" dialog_windows_present "$second"
question=$(dialog_windows "$second" | sed -n 1p)
focus_window "$question"
key Escape # Non: back to standby
wait_hidden "$main" 3 "the main window after Quitter / Non"
[ -z "$(dialog_windows "$second")" ] || fail "the question stayed after Non"
tray_icon "$second" >/dev/null || fail "the notification icon went after Quitter / Non"
expect_alive "$second"
shot standby-after-no
[ "$(store_value Alerte1 Info1)" = "Rendez-vous chez le dentiste" ] || fail "the store changed"
finish
