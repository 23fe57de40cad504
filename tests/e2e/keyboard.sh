# Keyboard only, from the window of a first start: Enter on "Supprimer" without a row brings a
# message that Escape, then Return, dismiss; Tab to "Nouveau", Enter, the message typed, Tab to
# "Ajouter", Enter: the alert is stored as typed. Its popup, Tab to "Fermer", Enter: deleted.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop
start_zento
main=$(window main)
wait_for 8 "the splash to go" no splash
focus "$main"
tab_to "$main" cmdDelete
for k in Escape Return; do
    key Return
    answer $k
    wait_for 3 "$k to dismiss the message" no dialog
    focus "$main" # no window manager hands the keyboard back
done

tab_to "$main" cmdNew
key Return
wait_for 3 "Enter on Nouveau to open the editor" editor_open "$main"
message="Rappel : l'été à Nouméa"
type_text "$message"
tab_to "$main" cmdAdd
shot typed
changes_store key Return
[ "$(value Alerte1 Info1)" = "$message" ] || fail "stored \"$(value Alerte1 Info1)\", not \"$message\""

log "its popup (today, no time: due)"
popup=$(window popup 6)
focus "$popup"
tab_to "$popup" cmdClose
changes_store key Return
store_is '/^\[Alerte1\]/,/^Info10=/d' || fail "Fermer with the keyboard did not delete the alert"
wait_for 3 "the popup to go" hidden "$popup"
