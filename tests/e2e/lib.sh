# The real program on a private X server with a notification area, in a private home, driven from
# outside. No window manager runs: windows have no frame, so their corner is where their content starts.
set -Eeuo pipefail
ZENTO=$1 SHOTS=$2/e2e-shots TEST=$(basename "$0" .sh) T0=$(date +%s) PIDS=()
TMP=$(mktemp -d "${TMPDIR:-/tmp}/zento-$TEST.XXXXXX")
SCREEN_W=800 SCREEN_H=600 # room for the main window, a message box and the panel; cheap grabs
# The program and the tests' date arithmetic read one zone: French, far from UTC, without
# daylight saving (whose repeated hour would make "10 minutes later" ambiguous).
export TZ=${E2E_TZ:-Pacific/Noumea} LANG=C.UTF-8 LC_ALL=C.UTF-8 QT_QPA_PLATFORM=xcb NO_AT_BRIDGE=1
# Never the caller's screen, session or desktop settings: the generic Qt look on plain X11.
unset DISPLAY XAUTHORITY LANGUAGE QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR \
    QT_SCREEN_SCALE_FACTORS QT_ENABLE_HIGHDPI_SCALING QT_FONT_DPI WAYLAND_DISPLAY \
    DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER XDG_CURRENT_DESKTOP DESKTOP_SESSION ZENTO_WAVE_DIR
export HOME=$TMP/home XDG_RUNTIME_DIR=$TMP/runtime # settings, data, the single-instance socket
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
DATA=$XDG_DATA_HOME/Zento STORE=$XDG_DATA_HOME/Zento/Alertes.ini

log() { printf '[%s %3ss] %s\n' "$TEST" $(($(date +%s) - T0)) "$*"; }
fail() { printf '[%s] FAILED: %s\n' "$TEST" "$*" >&2 && exit 1; }
trap 'echo "[$TEST] FAILED: \"$BASH_COMMAND\" returned $? (line $LINENO of ${BASH_SOURCE[0]##*/})" >&2' ERR

cleanup() {
    local status=$? i f
    trap - EXIT ERR
    if [ $status = 0 ]; then log passed; else
        [ -z "${DISPLAY:-}" ] || shot failure
        for f in "$TMP"/*.log; do [ ! -s "$f" ] || { echo "--- ${f##*/}" && tail -n 40 "$f"; } >&2; done
        [ ! -f "$STORE" ] || { echo "--- Alertes.ini" && tr -d '\r' <"$STORE" | head -n 80; } >&2
    fi
    for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do
        kill "${PIDS[i]}" 2>/dev/null && poll 2 gone "${PIDS[i]}" || kill -KILL "${PIDS[i]}" 2>/dev/null || true
        wait "${PIDS[i]}" 2>/dev/null || true
    done
    rm -rf "$TMP"
    exit $status
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

now_ms() { local t=${EPOCHREALTIME/[.,]/} && echo $((t / 1000)); }
# poll <seconds> <command...>: every 100 ms until the command succeeds; status 1 when time is up.
poll() {
    local end=$(($(now_ms) + $(printf '%.0f' "$1e3")))
    shift
    until "$@" >/dev/null 2>&1; do
        [ "$(now_ms)" -lt "$end" ] || return 1
        sleep 0.1
    done
}
wait_for() { local s=$1 what=$2 && shift 2 && poll "$s" "$@" || fail "waited ${s}s in vain for $what"; }
gone() { ! kill -0 "$1" 2>/dev/null; }
spawn() { # spawn <command...>: in the background (its pid in $!), ended with the test
    "$@" &
    PIDS+=($!)
}

start_desktop() { start_screen && start_tray; }

start_screen() { # Xvfb, on a display it picks itself, with a cookie of our own
    local cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$SHOTS"
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    rm -f "$SHOTS/$TEST"-*
    xauth -q -f "$TMP/server.xauth" add :0 . "$cookie" 2>/dev/null # the server takes every cookie of its file
    spawn Xvfb -displayfd 3 -auth "$TMP/server.xauth" -screen 0 ${SCREEN_W}x${SCREEN_H}x24 -nolisten tcp \
        -noreset 3>"$TMP/display" >"$TMP/xvfb.log" 2>&1
    wait_for 15 "Xvfb's display number" grep -q '^[0-9]' "$TMP/display"
    DISPLAY=:$(head -n 1 "$TMP/display")
    export DISPLAY XAUTHORITY=$TMP/client.xauth
    xauth -q add "$DISPLAY" . "$cookie" 2>/dev/null
}

# trayer: a panel with a notification area, top right, shown once it holds the selection.
start_tray() {
    spawn trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 28 \
        --transparent false --SetDockType false --SetPartialStrut false >"$TMP/trayer.log" 2>&1
    wait_for 15 "the notification area" panel
}
panel() { xdotool search --maxdepth 1 --onlyvisible --classname '^panel$' | grep -m 1 .; }

start_zento() {
    spawn "$ZENTO" "$@" >"$(mktemp "$TMP/zento-XXXX.log")" 2>&1
    ZENTO_PID=$!
    log "started zento $* (pid $ZENTO_PID)"
}
start_standby() { start_zento && wait_tray_icon && wait_for 8 "the splash to go" no splash; }

# windows <kind> [pid]: the program's shown windows (ZENTO_PID's by default) of a kind: main,
# splash, dialog (a message box), all titled "Zento" and told apart by type, popup or test-popup.
windows() {
    local title=Zento w
    case $1 in popup) title='Zento - Alerte' ;; test-popup) title='Zento - Alerte \(mode Test\)' ;; esac
    for w in $(xdotool search --all --maxdepth 1 --onlyvisible --pid "${2:-$ZENTO_PID}" --name "^$title\$" || true); do
        case $1:$(xprop -id "$w" _NET_WM_WINDOW_TYPE) in
        main:*=\ _NET_WM_WINDOW_TYPE_NORMAL | splash:*_OVERRIDE* | dialog:*_DIALOG* | *popup:*) echo "$w" ;;
        esac
    done
}
no() { [ -z "$(windows "$@")" ]; }
some() { ! no "$@"; }
# window <kind> [seconds] [pid]: waits for a window of that kind (10 s at most) and prints it.
window() {
    wait_for "${2:-10}" "a $1 window" some "$1" "${3:-}"
    windows "$1" "${3:-}" | head -n 1
}
shown() { xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }
hidden() { ! shown "$1"; }
geometry() { eval "$(xdotool getwindowgeometry --shell "$1" | grep -E '^(X|Y|WIDTH|HEIGHT)=')" && W=$WIDTH H=$HEIGHT; }

# Where the program lays out the controls used, in twips (left top width height): the popup's
# from its corner, the main window's in the panel 120 twips into the area below the menu bar.
declare -A CONTROL=([cmdClose]="popup 240 2520 1335 375" [cmdTest]="main 6600 1440 1335 372"
    [cmdUndoNew_0]="main 6600 1800 1335 372" [cmdMasque_0]="main 6600 3420 1335 372" [caption]="main 0 0 1500 250"
    [grid]="main 120 240 6372 4332")
px() { echo $(((2 * $1 + 15) / 30)); } # twips at 96 DPI, rounded as the program rounds them
# at <wid> <control>: X Y W H, the control on the screen; row<n>: the grid's row n (font height + 2).
at() {
    local where l t w h n=${2#row}
    [ "$n" = "$2" ] || { at "$1" grid && Y=$((Y + 18 + 20 * (n - 1) + 1)) H=18 && return; }
    read -r where l t w h <<<"${CONTROL[$2]}"
    geometry "$1"
    # The main window's client area is the panel's fixed height; the menu bar takes the rest.
    [ "$where" = popup ] || { X=$((X + $(px 120))) && Y=$((Y + H - $(px 4932) + $(px 120))); }
    X=$((X + $(px "$l"))) Y=$((Y + $(px "$t"))) W=$(px "$w") H=$(px "$h")
}

# mouse <x> <y> [clicks] [button]: clicks there, then parks the pointer where it draws no hover.
mouse() { xdotool mousemove "$1" "$2" click --repeat "${3:-1}" --delay 120 "${4:-1}" && park; }
park() { xdotool mousemove $((SCREEN_W - 10)) $((SCREEN_H - 10)); }
click() { at "$1" "$2" && mouse $((X + W / 2)) $((Y + H / 2)) "${3:-1}"; }
# focus <wid>: the keyboard to that window (nobody else hands it over without a window manager).
focus() { timeout 5 xdotool windowfocus --sync "$1" || xdotool windowfocus "$1"; }
key() { xdotool key --delay 60 "$@"; }
answer() { focus "$(window dialog 3)" && key "$1"; }

# shot <step> [wid]: the screen (or one window) into the build folder, a record of each step.
shot() {
    [ -z "${2:-}" ] || geometry "$2"
    import -window root ${2:+-crop "${W}x$H+$X+$Y" +repage} "$SHOTS/$TEST-$1.png" || log "no screenshot $1"
}
# colour_count <RRGGBB> <x> <y> <w> <h>: how many pixels there are close to that colour.
colour_count() {
    import -window root -crop "$4x$5+$2+$3" +repage png:- | convert - -fuzz 12% -fill black +opaque "#$1" \
        -fill white -opaque "#$1" -format '%[fx:round(mean*w*h)]' info:
}
# The editor's caption, "Options d'alerte", is the only pure blue text at the window's corner.
editor_open() { at "$1" caption && [ "$(colour_count 0000FF $X $Y $W $H)" -ge 20 ]; }

tray_icon() {
    local tree w
    tree=$(xwininfo -id "$(panel)" -tree) || return 1
    for w in $(xdotool search --pid "${1:-$ZENTO_PID}" || true); do
        ! grep -qw "$(printf '0x%x' "$w")" <<<"$tree" || { echo "$w" && return 0; }
    done
    return 1
}
wait_tray_icon() { wait_for "${1:-10}" "the notification icon in the panel" tray_icon; }
click_tray_icon() { geometry "$(tray_icon)" && mouse $((X + W / 2)) $((Y + H / 2)) 1 "${1:-1}"; }
# tray_menu <n>: the icon's menu, entry 1 "Gérer les alertes", 2 "Masquer" or 3 "Quitter".
tray_menu() {
    local menu before=$(tops)
    click_tray_icon 3
    new() { comm -13 <(echo "$before") <(tops) | grep -m 1 .; }
    wait_for 3 "the icon's menu" new
    menu=$(new) && geometry "$menu"
    mouse $((X + W / 2)) $((Y + H * (2 * $1 - 1) / 6))
    wait_for 3 "the menu to close" hidden "$menu"
}
tops() { xdotool search --maxdepth 1 --onlyvisible --pid "$ZENTO_PID" | sort || true; }

# alert <id> <message> <date> [time] [background] [recurrence] [sound] [emoticon]: a section.
alert() {
    printf '[Alerte%s]\nInfo1=%s\nInfo2=%s\nInfo3=%s\nInfo4=%s\nInfo5=%s\nInfo6=%s\nInfo7=0\nInfo8=%s\nInfo9=0\nInfo10=\n' \
        "$1" "$2" "$3" "${6:-0}" "${8:-5}" "${7:-}" "${5:-8438015}" "${4:-}"
}
encode() { sed 's/\r$//; s/$/\r/' | iconv -f UTF-8 -t WINDOWS-1252; }
write_store() { mkdir -p "$DATA" && encode >"$STORE"; }
# changes_store <command...>: runs it and waits for the store to change (before: $TMP/before.ini).
changes_store() {
    cp "$STORE" "$TMP/before.ini" 2>/dev/null || : >"$TMP/before.ini"
    "$@"
    wait_for 5 "Alertes.ini to change" differs "$STORE" "$TMP/before.ini"
}
differs() { ! cmp -s "$@"; }
fermer() { changes_store click "$1" cmdClose && wait_for 3 "the popup to go" hidden "$1"; }
# store_is <sed script>: the store is, byte for byte, the one before the change so edited.
store_is() { sed "$1" "$TMP/before.ini" | cmp -s - "$STORE"; }
listed() { "$ZENTO" --list | awk -F'\t' 'NR > 1 { printf "%s=%s|", $2, $3 }'; }
