# `zento --add` while the program runs is listed at once, even under a popup, and pops up within a
# 3 s tick of its minute; so does an alert in a file renamed over Alertes.ini (as sync tools save).
# A zone off the whole minute by some seconds turns the local minute 15 s after the start: soon due.
E2E_TZ=$(printf '<+11>-11:00:%02d' $(((45 - $(date +%s) % 60 + 60) % 60)))
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
{ alert 1 "Bien plus tard" 01/09/2099 08:00 && alert 2 "En retard" 01/09/2020 08:00; } | write_store
start_standby
waiting=$(window popup 6)
xdotool windowmove "$waiting" $((SCREEN_W - 340)) $((SCREEN_H - 260)) # off the grid
click_tray_icon
main=$(window main 5)

now=$(date +%s)
due=$((now + 60 - 10#$(date -d "@$now" +%S)))
[ $((due - now)) -ge 4 ] || due=$((due + 60))
hhmm=$(date -d "@$due" +%H:%M)
log "zento --add for $hhmm, $((due - now)) s from now"
"$ZENTO" --add --date "$(date -d "@$due" +%d/%m/%Y)" --time "$hhmm" --no-sound --colors 255,0 "Ajoutée en marche" >/dev/null
red_row() { at "$main" grid && [ "$(colour_count FF0000 $X $Y $W $H)" -ge 1000 ]; }
wait_for 2 "the added alert, red, in the grid" red_row
fermer "$waiting"
popup=$(window popup $((due + 8 - $(date +%s))))
late=$(($(now_ms) - due * 1000))
[ $late -ge 0 ] && [ $late -le 6000 ] || fail "the popup came $late ms after $hhmm:00"
fermer "$popup"

log "the file replaced by a rename"
{ cat "$STORE" && alert 4 "Synchronisée" "$(date +%d/%m/%Y)" | encode; } >"$DATA/.Alertes.ini.sync"
mv "$DATA/.Alertes.ini.sync" "$STORE"
popup=$(window popup 6)
fermer "$popup"
store_is '/^\[Alerte4\]/,/^Info10=/d' || fail "Fermer did not delete exactly the alert of the new file"
