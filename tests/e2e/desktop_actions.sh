# `zento --show` starts the program or shows its window, `--new-alert` opens it on a new alert,
# silently. By the keyboard an overdue popup's "Reporter" 10 minutes and a typed new alert are
# stored, every other byte staying. It takes the metadata's screenshots: copy each build/e2e-shots/
# desktop_actions-<name>.png (main-window, popup, editor) to resources/screenshots/<name>.png.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
day() { date -d "$1" +%d/%m/%Y; }
{
    alert 1 "Rendez-vous chez le dentiste" "$(day '+3 days')" 09:30 8454143 0 Defaut.wav 5
    alert 2 "Payer le loyer" "$(day '+12 days')" 08:00 16769734 4 Carillon.wav 9
    alert 3 "Réunion d'équipe" "$(day '+5 days')" 14:00 15132390 2 Defaut.wav 1
    alert 4 "Anniversaire de Claire" "$(day '+40 days')" "" 13434828 8 Reveil.wav 2
    alert 5 "Appeler le garage pour la révision" "$(day yesterday)" 08:15 10092543 0 "" 3
    printf '[Param]\nNb=5\nFond=15724527\nPolice=0\nImg=5\n'
} | write_store
park
start_zento --show
main=$(window main)
popup=$(window popup 8)
wait_for 8 "the splash to go" no splash
xdotool windowmove --sync "$popup" $((SCREEN_W - 340)) $((SCREEN_H - 260))
shot popup "$popup"
focus "$popup"
key Down Down Tab # the snooze list has the focus: its second entry (5, 10, 15...), then Reporter
pressed=$(date +%s)
changes_store key Return
written=$(date +%s)
wait_for 3 "the popup to go" hidden "$popup"
# The program took the time between the key and the write; past 23:50 the date is the next day's.
snoozed() { store_is "s|^Info2=$(day yesterday)|Info2=$(date -d "@$(($1 + 600))" +%d/%m/%Y)|;
    s|^Info8=08:15|Info8=$(date -d "@$(($1 + 600))" +%H:%M)|"; }
snoozed $pressed || snoozed $written || fail "Reporter did not move alert 5 to ten minutes after $(date -d @$pressed +%H:%M)"
! editor_open "$main" || fail "--show opened the editor"
shot main-window "$main"
masquer() { click "$main" cmdMasque_0 && wait_for 3 "Masquer to hide the window" hidden "$main"; }
masquer

# action <option>: run as the desktop runs it; it ends at once, without a message of its own.
action() {
    timeout 5 "$ZENTO" "$1" >"$TMP/action.log" 2>&1 || fail "zento $1 failed: $(cat "$TMP/action.log")"
    window main 5 >/dev/null
    no dialog || fail "zento $1 brought a message"
}
action --new-alert
wait_for 3 "the editor on a new alert" editor_open "$main"
focus "$main"
setxkbmap fr # é has a key of its own: xdotool need not remap one, which under load loses letters
message="Arroser les bégonias, l'été"
xdotool type --delay 40 "$message"
shot editor "$main"
changes_store key Return # Enter in the message saves
before="1=Rendez-vous chez le dentiste|2=Payer le loyer|3=Réunion d'équipe|4=Anniversaire de Claire|"
[ "$(listed)" = "${before}5=Appeler le garage pour la révision|6=$message|" ] || fail "after Ajouter zento --list reads $(listed)"
masquer
action --show
! editor_open "$main" || fail "--show opened the editor"
