# Overdue alerts pop up one at a time, each in its colours, and each answer is one change of
# the store, the rest staying byte for byte: "Fermer" deletes a one-off alert, "Reporter" with
# 10 minutes moves one to ten minutes after the click by the real clock.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
{
    echo "; written by hand"
    alert 1 "Appeler le garage" 02/01/2020 08:15 255
    alert 2 "Sortir le gâteau du four" 15/03/2024 18:45 16777215 2 "" 7
    echo "Remarque=a key the program does not know"
    alert 4 "Plus tard" 12/01/2099 09:30
} | write_store
start_zento
popup=$(window popup 6)
geometry "$popup"
[ "$(colour_count FF0000 $((X + 4)) $((Y + 4)) 1 1)" = 1 ] || fail "the popup is not in the alert's red"
[ "$(windows popup | wc -l)" = 1 ] || fail "more than one popup at a time"
fermer "$popup"
store_is '/^\[Alerte1\]/,/^Info10=/d' || fail "Fermer did not delete exactly alert 1"
[ "$(listed)" = "2=Sortir le gâteau du four|4=Plus tard|" ] || fail "zento --list reads $(listed)"

log "Reporter de 10 minutes"
popup=$(window popup 6)
focus "$popup"
key Down Down # the snooze list, which has the focus: its second entry (5, 10, 15, 30, 60)
clicked=$(date +%s)
changes_store click "$popup" cmdReport
written=$(date +%s)
wait_for 3 "the popup to go" hidden "$popup"
# The program took the time between the click and the write, and past 23:50 the date is the
# next day's.
snoozed() { store_is "s|^Info2=15/03/2024|Info2=$(date -d "@$(($1 + 600))" +%d/%m/%Y)|;
    s|^Info8=18:45|Info8=$(date -d "@$(($1 + 600))" +%H:%M)|"; }
snoozed $clicked || snoozed $written || fail "Reporter did not move alert 2 to ten minutes after $(date -d @$clicked +%H:%M)"

