# Keyboard only, from the main window of a first start: "Supprimer" without a row says so in a
# message that Escape and Return dismiss; Tab to "Nouveau", Enter, type a message, Tab to
# "Ajouter", Enter: the alert is stored. Each step that fails is named, then done another way
# (Space for Enter, Tab into the message box) so that the steps after it are still checked.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop

start_zento
main=$(wait_main_window 10 "$ZENTO_PID")
wait_until 8 "the splash to go" no_splash "$ZENTO_PID"
# New alerts take the colours of a message box (black on the window grey), so that the grid
# later draws the typed words exactly as the message box drew its own (hand edit while running).
write_store <<'INI'
[Param]
Fond=15724527
Police=0
INI
park_pointer
focus_window "$main"
top=$(main_client_top "$main")
geometry "$main"
# Rectangles on the screen: the list panel's buttons, the editor's.
list_button() { twips_rect "$WX" $((WY + top)) $((120 + 6600)) $((120 + $1)) 1335 372; }
read -r -a nouveau <<<"$(list_button 480)"
read -r -a supprimer <<<"$(list_button 1920)"
read -r -a ajouter <<<"$(twips_rect "$WX" $((WY + top)) $((120 + 6600)) $((120 + 1320)) 1335 372)"
# The placeholder "Tapez votre message ici" over the empty message box.
read -r -a placeholder <<<"$(twips_rect "$WX" $((WY + top)) $((120 + 2640)) $((120 + 1260)) 3135 340)"
placeholder_gone() { [ "$(dark_pixels "$@")" -lt 60 ]; }
# The editor's caption "Options d'alerte" is the only pure blue text of the window.
read -r -a caption <<<"$WX $((WY + top)) 150 25"
editor_open() { [ "$(count_colour '#0000FF' "${caption[@]}")" -ge 20 ]; }

# press <what> <check...>: Enter on the focused control; when nothing comes of it, Space.
press() {
    local what=$1
    shift
    key Return
    if ! poll 1.5 "$@"; then
        soft_fail "Enter on the focused button \"$what\" does nothing (Space does it)"
        key space
        wait_until 3 "\"$what\" pressed with Space" "$@"
    fi
}

log "Supprimer without a row"
tab_to 20 "${supprimer[@]}" || fail "Tab never reaches \"Supprimer\""
press Supprimer dialog_windows_present "$ZENTO_PID"
box=$(dialog_windows "$ZENTO_PID" | sed -n 1p)
shot no-row-message
ink_message_box "$box" "$E2E_TMP/message.png"
key Escape
wait_until 3 "Escape to dismiss the message" no_dialog "$ZENTO_PID"
# Without a window manager nobody hands the keyboard back to the window a message came from.
focus_window "$main"
press Supprimer dialog_windows_present "$ZENTO_PID"
key Return
wait_until 3 "Return to dismiss the message" no_dialog "$ZENTO_PID"
focus_window "$main"

log "Nouveau"
tab_to 20 "${nouveau[@]}" || fail "Tab never reaches \"Nouveau\""
press Nouveau editor_open
shot editor

message="Selectionnez la ligne à supprimer"
first_word=${message%% *}
# The message box as it stands (its placeholder, or empty if it has the focus already): typing
# into it changes it.
ink "${placeholder[@]}" "$E2E_TMP/box-before.png"
box_changed() {
    ink "${placeholder[@]}" "$E2E_TMP/box-now.png"
    ! same_picture "$E2E_TMP/box-before.png" "$E2E_TMP/box-now.png"
}
xdotool type --delay 40 "$first_word"
if [ -n "$(dialog_windows "$ZENTO_PID")" ] || ! poll 1 box_changed; then
    shot typed-elsewhere
    # Where did the keys go? A blank presses whatever button has the focus.
    key space
    if poll 1 dialog_windows_present "$ZENTO_PID"; then
        shot blank-pressed-hidden-button
        soft_fail "after \"Nouveau\" the keys do not go to the editor: the focus stays on a list" \
            "button the editor covers (a blank typed in the message brings up a message box)"
    else
        soft_fail "after \"Nouveau\" the keys do not go to the message box"
    fi
    while [ -n "$(dialog_windows "$ZENTO_PID")" ]; do
        key Escape
        sleep 0.3
    done
    focus_window "$main"
    tab_to 60 "${placeholder[@]}" placeholder_gone || fail "Tab never reaches the message box"
    xdotool type --delay 40 "$first_word"
fi
xdotool type --delay 40 "${message#"$first_word"}"
shot typed

log "Ajouter"
tab_to 20 "${ajouter[@]}" || fail "Tab never reaches \"Ajouter\""
before=$(file_sum "$E2E_STORE")
stored() { [ "$(file_sum "$E2E_STORE")" != "$before" ]; }
press Ajouter stored
[ "$(store_value Alerte1 Info1)" = "$message" ] ||
    fail "the stored message is \"$(store_value Alerte1 Info1)\", not \"$message\""
wait_until 3 "the editor to close" eval '! editor_open'
shot added

# The words of the earlier message box, drawn again by the grid from the alert just typed. The
# alert, dated today without a time, is due: its popup, which opens over the grid, is put aside.
grid_reads_message() {
    local w
    for w in $(find_windows "Zento - Alerte" "$ZENTO_PID"); do
        xdotool windowmove "$w" $((SCREEN_W - 330)) $((SCREEN_H - 250))
    done
    grid_words_match "$E2E_TMP/message.png" "$main" 1
}
poll 3 grid_reads_message ||
    words_differ "$E2E_TMP/message.png" "the message after \"Supprimer\" does not read \"$message\""

log "the alert's popup, answered with the keyboard: Tab to \"Fermer\", Enter"
popup=$(wait_window "Zento - Alerte" 6 "$ZENTO_PID")
focus_window "$popup"
geometry "$popup"
read -r -a fermer <<<"$(twips_rect "$WX" "$WY" 240 2520 1335 375)"
tab_to 10 "${fermer[@]}" || fail "Tab never reaches \"Fermer\" on the popup"
before=$(file_sum "$E2E_STORE")
key Return
wait_file_change "$E2E_STORE" "$before" 3
has_section Alerte1 && fail "Fermer by the keyboard left the alert in the store"
wait_hidden "$popup" 3 "the popup after Fermer"
shot popup-answered
expect_alive "$ZENTO_PID"
finish
