# "Reporter" with 10 minutes moves the alert to today, 10 minutes after the click; the rest of
# its section stays as it was.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop

write_store <<'INI'
[Alerte3]
Info1=Sortir le gâteau du four
Info2=15/03/2024
Info3=2
Info4=7
Info5=
Info6=16777215
Info7=255
Info8=18:45
Info9=0
Info10=
INI
section Alerte3 | grep -v '^Info[28]=' >"$E2E_TMP/kept"
start_zento
popup=$(wait_window "Zento - Alerte" 6 "$ZENTO_PID")

# The list of minutes: open it, then pick its second entry ("5", "10", "15", "30", "60").
windows_before=$(top_windows "$ZENTO_PID")
click_twips "$popup" 0 0 1620 3120 760 315
list_window() { comm -13 <(echo "$windows_before") <(top_windows "$ZENTO_PID") | sed -n 1p | grep .; }
wait_until 5 "the list of minutes to open" list_window
list=$(list_window)
shot minutes-list
geometry "$list"
click_at "$list" $((WW / 2)) $((WH * 3 / 10)) # the second of five equal rows
wait_hidden "$list" 3 "the list of minutes"
shot ten-chosen

before=$(file_sum "$E2E_STORE")
clicked=$(date +%s)
click_twips "$popup" 0 0 3240 3120 1335 372 # Reporter
wait_file_change "$E2E_STORE" "$before" 5
written=$(date +%s)
park_pointer
wait_hidden "$popup" 5 "the popup after Reporter"

# The program took the time somewhere between the click and the write: the minute may have
# rolled over in between.
date_now=$(store_value Alerte3 Info2)
time_now=$(store_value Alerte3 Info8)
# Past 23:50 the moment, and so the date, is the next day's.
ten_minutes_after() { date -d "@$(($1 + 600))" '+%d/%m/%Y %H:%M'; }
ok=
for t in "$clicked" "$written"; do
    if [ "$date_now $time_now" = "$(ten_minutes_after "$t")" ]; then ok=1; fi
done
[ -n "$ok" ] || fail "snoozed to '$date_now $time_now', expected $(ten_minutes_after "$clicked") (TZ=$TZ)"
diff "$E2E_TMP/kept" <(section Alerte3 | grep -v '^Info[28]=') >/dev/null ||
    fail "the snooze changed other keys: $(section Alerte3 | tr '\n' ' ')"
shot snoozed
# Not due any more: no popup for ten minutes.
sleep 3.5
[ -z "$(find_windows "Zento - Alerte" "$ZENTO_PID")" ] || fail "the snoozed alert popped up again at once"
expect_alive "$ZENTO_PID"
finish
