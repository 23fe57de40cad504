# Alertes.ini changed outside the running program pops up within a tick: an alert appended by
# hand, then the whole file replaced by a rename, as sync tools and most editors save.
source "$(dirname "$0")/lib.sh" "$@"
start_desktop

mkdir -p "$E2E_DATA"
alert_lines 1 "Bien plus tard" 01/09/2099 08:00 >"$E2E_STORE"
start_zento
wait_tray_icon "$ZENTO_PID" 10 >/dev/null
wait_until 8 "the splash to go" no_splash "$ZENTO_PID"
today=$(date +%d/%m/%Y)

# popup_within_a_tick <what>: the popup comes (3 s tick, 6 s allowed); "Fermer" answers it.
popup_within_a_tick() {
    local popup before
    popup=$(wait_window "Zento - Alerte" 6 "$ZENTO_PID")
    shot "popup-$1"
    before=$(file_sum "$E2E_STORE")
    click_twips "$popup" 0 0 240 2520 1335 375 # Fermer
    park_pointer
    wait_file_change "$E2E_STORE" "$before" 5
    wait_hidden "$popup" 5 "the popup of the alert $1"
}

log "an alert due today appended by hand"
alert_lines 2 "Ajoutée à la main" "$today" >>"$E2E_STORE"
popup_within_a_tick appended
has_section Alerte2 && fail "Fermer did not delete the appended alert: another one popped up"

log "the file replaced by a rename"
{ cat "$E2E_STORE"; alert_lines 3 "Synchronisée" "$today"; } >"$E2E_DATA/.Alertes.ini.sync"
mv "$E2E_DATA/.Alertes.ini.sync" "$E2E_STORE"
popup_within_a_tick replaced
has_section Alerte3 && fail "Fermer did not delete the synchronised alert: another one popped up"
[ "$(store_value Alerte1 Info1)" = "Bien plus tard" ] || fail "the alert already there was lost"
expect_alive "$ZENTO_PID"
finish
