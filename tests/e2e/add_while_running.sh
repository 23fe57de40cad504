# `zento --add` while the program runs: the running copy lists the new alert at once and pops it
# up on time, at the start of its minute and within one 3-second tick of it.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop

write_store <<'INI'
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
INI
start_zento
wait_tray_icon "$ZENTO_PID" 10 >/dev/null
wait_until 8 "the splash to go" no_splash "$ZENTO_PID"

# The next minute, or the one after when the next is too close to add the alert in time.
now=$(date +%s)
due=$(((now / 60 + 1) * 60))
[ $((due - now)) -ge 4 ] || due=$((due + 60))
day=$(date -d "@$due" +%d/%m/%Y)
hhmm=$(date -d "@$due" +%H:%M)
log "adding an alert for $day $hhmm ($((due - now)) s from now, TZ=$TZ)"
id=$("$ZENTO" --add --date "$day" --time "$hhmm" --no-sound --colors 255,16777215 "Ajoutée en marche")
[ "$id" = 2 ] || fail "zento --add printed '$id', not the new Id 2"
[ "$(store_value Alerte2 Info8)" = "$hhmm" ] || fail "the added alert is not in the store at $hhmm"

# Listed by the running copy (red row first: it is the earliest), without a restart. The row is
# looked at in its sound column, right of where the popup (red as well) will open.
click_tray_icon "$ZENTO_PID"
main=$(wait_main_window 5 "$ZENTO_PID")
top=$(main_client_top "$main")
geometry "$main"
row1() { [ "$(pixel $((WX + 380)) $((WY + $(grid_row_y "$top" 1))))" = FF0000 ]; }
wait_until 3 "the added alert (a red row) at the top of the grid" row1
shot listed

# On time: not before its minute, and within a tick (3 s, 6 s allowed) after.
deadline=$(((due + 6) * 1000))
while [ -z "$(find_windows "Zento - Alerte" "$ZENTO_PID")" ]; do
    [ "$(now_ms)" -lt "$deadline" ] || fail "no popup by $hhmm:06"
    sleep 0.1
done
seen=$(now_ms)
log "popup $((seen - due * 1000)) ms after $hhmm:00"
[ "$seen" -ge $((due * 1000)) ] || fail "the popup came $((due * 1000 - seen)) ms before $hhmm"
shot popup
expect_alive "$ZENTO_PID"
finish
