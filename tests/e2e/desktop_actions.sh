# The desktop entry's actions. `zento --show` starts Zento with its window shown; `zento
# --new-alert` reaches the running copy, which shows its window on a new alert and says nothing
# else. The main window and the popup are also the screenshots of the program's metadata.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop

# An overdue alert for the popup, and a few to come for the grid, dated from today so that the
# screenshots look like a day of use.
day() { date -d "$1" +%d/%m/%Y; }
alert() { # id message date recurrence emoticon sound background time
    printf '[Alerte%s]\nInfo1=%s\nInfo2=%s\nInfo3=%s\nInfo4=%s\nInfo5=%s\nInfo6=%s\nInfo7=0\nInfo8=%s\n' "$@"
    printf 'Info9=0\nInfo10=\n'
}
{
    alert 1 "Rendez-vous chez le dentiste" "$(day '+3 days')" 0 5 Defaut.wav 8454143 09:30
    alert 2 "Payer le loyer" "$(day '+12 days')" 4 9 Carillon.wav 16769734 08:00
    alert 3 "Réunion d'équipe" "$(day '+5 days')" 2 1 Defaut.wav 15132390 14:00
    alert 4 "Anniversaire de Claire" "$(day '+40 days')" 8 2 Reveil.wav 13434828 ""
    alert 5 "Appeler le garage pour la révision" "$(day yesterday)" 0 3 "" 10092543 08:15
    printf '[Param]\nNb=5\nFond=15724527\nPolice=0\nImg=5\n'
} | write_store
start_zento --show
first=$ZENTO_PID
main=$(wait_main_window 10 "$first")
popup=$(wait_window "Zento - Alerte" 8 "$first")
wait_until 8 "the splash to go" no_splash "$first"
park_pointer
xdotool windowmove "$popup" $((SCREEN_W - 340)) $((SCREEN_H - 260))
geometry "$popup"
wait_drawn "$WX" "$WY" "$WW" "$WH"
shot_window "$popup" popup
click_twips "$popup" 0 0 240 2520 1335 375 # Fermer
park_pointer
wait_hidden "$popup" 5 "the popup after Fermer"

top=$(main_client_top "$main")
geometry "$main"
# The editor's caption "Options d'alerte" is the only pure blue text of the window.
editor_open() { [ "$(count_colour '#0000FF' "$WX" $((WY + top)) 150 25)" -ge 20 ]; }
editor_open && fail "--show opened the editor"
shot_window "$main" main-window
click_twips "$main" 0 "$top" $((120 + 6600)) $((120 + 3420)) 1335 372 # Masquer
wait_hidden "$main" 5 "the main window after Masquer"

# action <option>: runs it as the desktop does; it must end at once, without a message.
action() {
    local status=0
    timeout 5 "$ZENTO" "$1" >"$E2E_TMP/action.log" 2>&1 || status=$?
    [ "$status" -eq 0 ] || fail "zento $1 ended with status $status: $(cat "$E2E_TMP/action.log")"
    [ -z "$(dialog_windows)" ] || fail "zento $1 showed a message box"
    expect_alive "$first" "the running copy"
    wait_main_window 5 "$first" >/dev/null
}

log "--new-alert"
action --new-alert
wait_until 3 "the editor on a new alert" editor_open
# Typed into the empty message box, then "Ajouter": one alert more, the others untouched.
click_twips "$main" 0 "$top" $((120 + 2640)) $((120 + 1260)) 3135 340
xdotool type --delay 40 "Arroser les plantes"
shot_window "$main" new-alert
before=$(file_sum "$E2E_STORE")
click_twips "$main" 0 "$top" $((120 + 6600)) $((120 + 1320)) 1335 372 # Ajouter
wait_file_change "$E2E_STORE" "$before" 5
messages=$(zento_list | awk -F'\t' 'NR > 1 { print $3 }' | sort | tr '\n' '|')
[ "$messages" = "Anniversaire de Claire|Arroser les plantes|Payer le loyer|Rendez-vous chez le dentiste|Réunion d'équipe|" ] ||
    fail "the alerts after Ajouter are: $messages"

log "--show"
click_twips "$main" 0 "$top" $((120 + 6600)) $((120 + 3420)) 1335 372 # Masquer
wait_hidden "$main" 5 "the main window after Masquer"
action --show
editor_open && fail "--show opened the editor"
shot show
finish
