# Helpers of the end-to-end tests: the real program on a private X server with a notification
# area, in a fresh home, driven and watched from outside as a user would.
#
# A scenario starts with
#     source "$(dirname "$0")/lib.sh" "$@"     # arguments: path of zento, build folder
#     start_desktop
# and then uses start_zento, wait_window, click_at, shot... Everything started here is ended by
# the exit trap, whatever happens. No window manager runs: windows open where the program puts
# them (the main window and the popup at 0,0) without a frame, which keeps their client
# coordinates equal to their screen coordinates; searches by title and pid still work, and the
# keyboard goes where xdotool puts the focus.

set -Eeuo pipefail
# Never the caller's own screen, not even for a screenshot of a failure.
unset DISPLAY XAUTHORITY
# A command that fails outside any check ends the test; say which.
trap 'echo "[$E2E_TEST] FAILED: \"$BASH_COMMAND\" returned $? (line $LINENO of ${BASH_SOURCE[0]##*/})" >&2' \
    ERR

if [ $# -lt 2 ]; then
    echo "usage: bash $0 <path of zento> <build folder>" >&2
    exit 2
fi
ZENTO=$1
BUILD=$2
E2E_TEST=$(basename "$0" .sh)
SHOTS="$BUILD/e2e-shots"
E2E_PIDS=()
E2E_STARTED=$(date +%s)
# Room for the main window, a message box beside it and the notification area; a small screen
# keeps the many screen grabs cheap.
SCREEN_W=800
SCREEN_H=600

# --- reporting ---------------------------------------------------------------------------------

log() { printf '[%s %3ss] %s\n' "$E2E_TEST" "$(($(date +%s) - E2E_STARTED))" "$*"; }

fail() {
    printf '[%s] FAILED: %s\n' "$E2E_TEST" "$*" >&2
    exit 1
}

# Checks that do not stop the scenario, so that one run names every fault it meets.
E2E_SOFT_FAILURES=()
soft_fail() {
    printf '[%s] FAILED (going on): %s\n' "$E2E_TEST" "$*" >&2
    E2E_SOFT_FAILURES+=("$*")
}
finish() {
    if [ ${#E2E_SOFT_FAILURES[@]} -gt 0 ]; then
        printf '[%s] %d check(s) failed:\n' "$E2E_TEST" "${#E2E_SOFT_FAILURES[@]}" >&2
        printf '  - %s\n' "${E2E_SOFT_FAILURES[@]}" >&2
        exit 1
    fi
    log "passed"
    exit 0
}

need_tools() {
    local missing=() t
    for t in Xvfb xauth xdotool xwininfo xprop trayer import convert identify compare od cksum iconv \
        timeout; do
        command -v "$t" >/dev/null 2>&1 || missing+=("$t")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        fail "missing tools: ${missing[*]} (install xvfb xauth x11-utils xdotool trayer" \
            "imagemagick, as 'bash tools/setup.sh test' does)"
    fi
    [ -x "$ZENTO" ] || fail "no program at $ZENTO"
}

# --- the private desktop -------------------------------------------------------------------------

E2E_TMP=$(mktemp -d "${TMPDIR:-/tmp}/zento-e2e-$E2E_TEST.XXXXXX")

cleanup() {
    local status=$?
    trap - EXIT INT TERM
    if [ "$status" -ne 0 ]; then
        if [ -n "${DISPLAY:-}" ]; then shot failure; fi
        local f
        for f in "$E2E_TMP"/zento-*.log "$E2E_TMP"/trayer.log "$E2E_TMP"/xvfb.log; do
            [ -s "$f" ] && { echo "--- $(basename "$f")"; tail -n 40 "$f"; } >&2
        done
        if [ -f "${E2E_STORE:-/nonexistent}" ]; then
            echo "--- Alertes.ini" >&2
            tr -d '\r' <"$E2E_STORE" | sed -n 1,80p >&2 || true
        fi
    fi
    # Last started, first ended: the programs before the notification area and the X server.
    local i pid
    for ((i = ${#E2E_PIDS[@]} - 1; i >= 0; i--)); do
        pid=${E2E_PIDS[i]}
        kill -TERM "$pid" 2>/dev/null || continue
        for _ in $(seq 20); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$pid" 2>/dev/null || true
        wait "$pid" 2>/dev/null || true
    done
    rm -rf "$E2E_TMP"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A fresh home: settings, data and the single-instance socket all live under it, so that tests
# run side by side without seeing each other or the user's own Zento.
setup_home() {
    export HOME="$E2E_TMP/home"
    export XDG_CONFIG_HOME="$HOME/.config"
    export XDG_DATA_HOME="$HOME/.local/share"
    export XDG_CACHE_HOME="$HOME/.cache"
    export XDG_RUNTIME_DIR="$E2E_TMP/runtime"
    mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    E2E_DATA="$XDG_DATA_HOME/Zento"
    E2E_STORE="$E2E_DATA/Alertes.ini"
    # The program and the test's own date arithmetic read the same zone.
    # New Caledonia: French, far from UTC (dates turn at another hour than the machine's), and
    # without daylight saving, whose hour of overlap would make "10 minutes later" ambiguous.
    export TZ="${E2E_TZ:-Pacific/Noumea}"
    export LANG=C.UTF-8 LC_ALL=C.UTF-8
    # The generic Qt look on plain X11: no desktop theme, scaling or session bus to pick up.
    export QT_QPA_PLATFORM=xcb NO_AT_BRIDGE=1
    unset LANGUAGE QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS \
        QT_AUTO_SCREEN_SCALE_FACTOR QT_ENABLE_HIGHDPI_SCALING QT_FONT_DPI QT_ACCESSIBILITY \
        WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS SESSION_MANAGER XDG_CURRENT_DESKTOP \
        XDG_SESSION_TYPE DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID \
        ZENTO_WAVE_DIR
}

# Xvfb on a display it picks itself (free, whatever else runs), with a cookie of our own, then
# the notification area.
start_desktop() {
    start_screen
    start_tray
}

# The X server alone: a desktop without a notification area (yet).
start_screen() {
    need_tools
    setup_home
    mkdir -p "$SHOTS"
    rm -f "$SHOTS/$E2E_TEST"-*.png
    local cookie number
    cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
    # The server takes every cookie of its file, whatever display the entry names.
    xauth -q -f "$E2E_TMP/server.xauth" add :0 . "$cookie" 2>/dev/null
    Xvfb -displayfd 3 -auth "$E2E_TMP/server.xauth" -screen 0 "${SCREEN_W}x${SCREEN_H}x24" \
        -nolisten tcp -noreset 3>"$E2E_TMP/display" >"$E2E_TMP/xvfb.log" 2>&1 &
    E2E_PIDS+=($!)
    wait_until 15 "Xvfb to report its display" grep -q '^[0-9][0-9]*$' "$E2E_TMP/display"
    number=$(head -n 1 "$E2E_TMP/display")
    export XAUTHORITY="$E2E_TMP/client.xauth"
    xauth -q add ":$number" . "$cookie" 2>/dev/null
    export DISPLAY=":$number"
    log "X server on $DISPLAY"
}

# trayer: a panel holding a notification area, top right.
start_tray() {
    trayer --edge top --align right --widthtype pixel --width 120 --heighttype pixel --height 28 \
        --transparent false --SetDockType false --SetPartialStrut false >"$E2E_TMP/trayer.log" 2>&1 &
    E2E_PIDS+=($!)
    # The panel is shown once its tray has taken the notification-area selection.
    wait_until 15 "the notification area (trayer) to show" trayer_panel
    log "notification area up"
}

# The window of trayer that holds the icons.
trayer_panel() {
    xdotool search --maxdepth 1 --onlyvisible --classname '^panel$' 2>/dev/null | sed -n 1p | grep .
}

# --- the program ---------------------------------------------------------------------------------

E2E_RUNS=0
# start_zento [args...]: starts the program in the background; ZENTO_PID and ZENTO_LOG name it.
start_zento() {
    E2E_RUNS=$((E2E_RUNS + 1))
    ZENTO_LOG="$E2E_TMP/zento-$E2E_RUNS.log"
    "$ZENTO" "$@" >"$ZENTO_LOG" 2>&1 &
    ZENTO_PID=$!
    E2E_PIDS+=("$ZENTO_PID")
    log "started zento $* (pid $ZENTO_PID)"
}

alive() { kill -0 "$1" 2>/dev/null; }

expect_alive() {
    local pid=$1 what=${2:-zento}
    alive "$pid" || fail "$what (pid $pid) is no longer running"
}

# zento_list: what the program reads from the store, as `zento --list` prints it.
zento_list() { "$ZENTO" --list; }

# --- waiting -------------------------------------------------------------------------------------

now_ms() { local t=${EPOCHREALTIME/[.,]/}; echo $((t / 1000)); }

# poll <seconds> <command...>: runs the command every 100 ms until it succeeds (status 0) or the
# time is up (status 1). The seconds may have a fraction.
poll() {
    local deadline=$(($(now_ms) + $(awk -v s="$1" 'BEGIN { printf "%d", s * 1000 }')))
    shift
    until "$@" >/dev/null 2>&1; do
        [ "$(now_ms)" -lt "$deadline" ] || return 1
        sleep 0.1
    done
}

# wait_until <seconds> <what> <command...>: the same, and the test fails when the time is up.
wait_until() {
    local timeout=$1 what=$2
    shift 2
    poll "$timeout" "$@" || fail "timed out after ${timeout}s waiting for $what"
}

# Regular-expression form of a literal title, anchored.
# shellcheck disable=SC2016 # the $ is the regular expression's
title_regex() { printf '^%s$' "$(printf '%s' "$1" | sed 's/[][\.*^$()+?{}|]/\\&/g')"; }

# find_windows <title> [pid]: the shown top-level windows with that exact title (of that process:
# without --all, xdotool would take either condition).
find_windows() {
    local regex
    regex=$(title_regex "$1")
    if [ -n "${2:-}" ]; then
        xdotool search --all --maxdepth 1 --onlyvisible --pid "$2" --name "$regex" 2>/dev/null || true
    else
        xdotool search --maxdepth 1 --onlyvisible --name "$regex" 2>/dev/null || true
    fi
}

# wait_window <title> <seconds> [pid]: prints the id of the first such window once it shows.
wait_window() {
    local title=$1 timeout=$2 pid=${3:-}
    local deadline=$(($(now_ms) + timeout * 1000)) found
    while :; do
        found=$(find_windows "$title" "$pid" | sed -n 1p)
        if [ -n "$found" ]; then
            echo "$found"
            return 0
        fi
        [ "$(now_ms)" -lt "$deadline" ] || fail "no window \"$title\" within ${timeout}s"
        sleep 0.1
    done
}

shown() { xwininfo -id "$1" 2>/dev/null | grep -q 'Map State: IsViewable'; }

not_shown() { ! shown "$1"; }

wait_hidden() {
    local wid=$1 timeout=$2 what=${3:-window $1}
    poll "$timeout" not_shown "$wid" || fail "$what still shown after ${timeout}s"
}

window_type() { xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null | sed -n 's/.*= //p'; }

# The windows titled "Zento" told apart by their type: the main window is a plain normal window,
# the splash a frameless one (normal with the override mark), the message boxes dialogs.
windows_of_type() {
    local pattern=$1 pid=${2:-} w
    for w in $(find_windows Zento "$pid"); do
        # shellcheck disable=SC2254 # the pattern is a glob on purpose
        case "$(window_type "$w")" in $pattern) echo "$w" ;; esac
    done
}
main_windows() { windows_of_type '_NET_WM_WINDOW_TYPE_NORMAL' "${1:-}"; }
splash_windows() { windows_of_type '*_KDE_NET_WM_WINDOW_TYPE_OVERRIDE*' "${1:-}"; }
dialog_windows() { windows_of_type '*_NET_WM_WINDOW_TYPE_DIALOG*' "${1:-}"; }
dialog_windows_present() { [ -n "$(dialog_windows "$1")" ]; }
no_dialog() { [ -z "$(dialog_windows "$1")" ]; }
splash_present() { [ -n "$(splash_windows "$1")" ]; }
no_splash() { [ -z "$(splash_windows "$1")" ]; }
wait_main_window() {
    local timeout=$1 pid=${2:-$ZENTO_PID}
    wait_until "$timeout" "the main window \"Zento\"" main_windows_present "$pid"
    main_windows "$pid" | sed -n 1p
}
main_windows_present() { [ -n "$(main_windows "$1")" ]; }

# file_sum <file>: a fingerprint that changes with the content ("none" when missing).
file_sum() { if [ -f "$1" ]; then cksum <"$1"; else echo none; fi; }

# wait_file_change <file> <fingerprint before> <seconds>
wait_file_change() {
    local file=$1 before=$2 timeout=$3
    poll "$timeout" file_changed "$file" "$before" || fail "$(basename "$file") unchanged after ${timeout}s"
}
file_changed() { [ "$(file_sum "$1")" != "$2" ]; }

wait_exit() {
    local pid=$1 timeout=$2 what=${3:-process $1}
    poll "$timeout" gone "$pid" || fail "$what still running after ${timeout}s"
}
gone() { ! alive "$1"; }

# --- geometry and input --------------------------------------------------------------------------

# px <twips>: pixels at 96 DPI, rounded as the program rounds them.
px() { echo $(((2 * $1 + 15) / 30)); }

# twips_center <left> <top> <width> <height>: the control's centre in pixels, "x y".
twips_center() {
    local l t r b
    l=$(px "$1")
    t=$(px "$2")
    r=$(px $(($1 + $3)))
    b=$(px $(($2 + $4)))
    echo "$(((l + r) / 2)) $(((t + b) / 2))"
}

# geometry <wid>: sets WX WY WW WH (position on the screen, size).
geometry() {
    # shellcheck disable=SC2034 # set by the eval with the others
    local X Y WIDTH HEIGHT WINDOW SCREEN
    eval "$(xdotool getwindowgeometry --shell "$1")"
    WX=$X WY=$Y WW=$WIDTH WH=$HEIGHT
}

# The park for the pointer, away from every window, so that nothing shows a hover state.
park_pointer() { timeout 5 xdotool mousemove --sync $((SCREEN_W - 10)) $((SCREEN_H - 10)) || true; }

# click_at <wid> <x> <y> [clicks]: a left click (or a double click) at a point of the window.
click_at() {
    local wid=$1 x=$2 y=$3 n=${4:-1}
    geometry "$wid"
    timeout 5 xdotool mousemove --sync $((WX + x)) $((WY + y)) || fail "the pointer does not move"
    xdotool click --repeat "$n" --delay 120 1
}

# click_twips <wid> <dx> <dy> <left> <top> <width> <height> [clicks]: clicks the centre of a
# control laid out in twips in a container whose corner is at (dx, dy) pixels in the window.
click_twips() {
    local wid=$1 dx=$2 dy=$3 c
    c=$(twips_center "$4" "$5" "$6" "$7")
    click_at "$wid" $((dx + ${c% *})) $((dy + ${c#* })) "${8:-1}"
}

# The main window's client area starts below its menu bar: the panels below are of fixed height
# (120 + 4692 + 120 twips), so the bar is what is left of the window's height.
main_client_top() {
    geometry "$1"
    echo $((WH - $(px 4932)))
}

# The grid of the main window: at 240, 360 twips in the client area, a header of 18 pixels, rows
# of 20 (the default font's height and a margin), with the font the set-up installs.
GRID_HEADER=18
GRID_ROW=20
# grid_row_y <client top> <row>: the middle of that row (from 1) in window coordinates.
grid_row_y() { echo $(($1 + $(px 360) + GRID_HEADER + GRID_ROW * ($2 - 1) + GRID_ROW / 2)); }

# focus_window <wid>: gives the window the keyboard (no window manager does it for us).
focus_window() {
    timeout 5 xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"
}

key() { xdotool key --delay 60 "$@"; }

# --- the notification icon ----------------------------------------------------------------------

# tray_icon <pid>: the icon window of that process embedded in trayer's panel.
tray_icon() {
    local panel inside w
    panel=$(trayer_panel) || return 1
    inside=$(xwininfo -id "$panel" -tree 2>/dev/null | grep -o '0x[0-9a-f]*' | sort -u)
    for w in $(xdotool search --pid "$1" 2>/dev/null); do
        if grep -qx "$(printf '0x%x' "$w")" <<<"$inside"; then
            echo "$w"
            return 0
        fi
    done
    return 1
}

wait_tray_icon() {
    local pid=$1 timeout=$2
    wait_until "$timeout" "the notification icon of pid $pid in trayer's panel" tray_icon "$pid"
    tray_icon "$pid"
}

click_tray_icon() {
    local icon
    icon=$(tray_icon "$1") || fail "no notification icon of pid $1"
    geometry "$icon"
    click_at "$icon" $((WW / 2)) $((WH / 2))
    park_pointer
}

# top_windows <pid>: the shown top-level windows of the process, whatever their title.
top_windows() { xdotool search --maxdepth 1 --onlyvisible --pid "$1" 2>/dev/null | sort || true; }

# tray_menu <pid> <entry>: opens the icon's menu with the right button and clicks the entry
# (1 "Gérer les alertes", 2 "Masquer", 3 "Quitter": three rows of one height).
tray_menu() {
    local pid=$1 entry=$2 before icon menu
    before=$(top_windows "$pid")
    icon=$(tray_icon "$pid") || fail "no notification icon of pid $pid"
    geometry "$icon"
    timeout 5 xdotool mousemove --sync $((WX + WW / 2)) $((WY + WH / 2)) || fail "the pointer does not move"
    xdotool click 3
    new_window() { comm -13 <(echo "$before") <(top_windows "$pid") | sed -n 1p | grep .; }
    wait_until 3 "the menu of the notification icon" new_window
    menu=$(new_window)
    shot "tray-menu-$entry"
    geometry "$menu"
    click_at "$menu" $((WW / 2)) $((WH * (2 * entry - 1) / 6))
    park_pointer
    wait_hidden "$menu" 3 "the menu of the notification icon"
}

# --- pictures ------------------------------------------------------------------------------------

# shot <step>: the whole screen into the build folder.
shot() {
    local file="$SHOTS/$E2E_TEST-$1.png"
    if import -window root "$file" 2>/dev/null; then
        log "screenshot $file"
    else
        log "screenshot $1 failed"
    fi
}

# shot_window <wid> <step>: one window alone, as it is drawn on the screen.
shot_window() {
    local file="$SHOTS/$E2E_TEST-$2.png"
    geometry "$1"
    if import -window root -crop "${WW}x$WH+$WX+$WY" +repage "$file" 2>/dev/null; then
        log "screenshot $file"
    else
        log "screenshot $2 failed"
    fi
}

# pixel <x> <y>: the colour at a point of the screen, as RRGGBB.
pixel() {
    import -window root -crop "1x1+$1+$2" +repage png:- 2>/dev/null |
        convert - -format '%[hex:p{0,0}]' info: 2>/dev/null | cut -c1-6
}

# twips_rect <dx> <dy> <left> <top> <width> <height>: a control's rectangle in pixels, "x y w h",
# for a container whose corner is at (dx, dy) on the screen.
twips_rect() {
    local l t
    l=$(px "$3")
    t=$(px "$4")
    echo "$(($1 + l)) $(($2 + t)) $(($(px $(($3 + $5))) - l)) $(($(px $(($4 + $6))) - t))"
}

# count_colour <colour> <x> <y> <w> <h>: how many pixels of that part of the screen are close to
# the colour.
count_colour() {
    import -window root -crop "$4x$5+$2+$3" +repage png:- 2>/dev/null |
        convert - -fuzz 12% -fill black +opaque "$1" -fill white -opaque "$1" \
            -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}

# has_focus_frame <x> <y> <w> <h>: the control there shows the keyboard focus (the style draws
# a frame of the selection colour, #26709E, around a focused button).
has_focus_frame() { [ "$(count_colour '#26709E' "$@")" -ge 30 ]; }

# dark_pixels <x> <y> <w> <h>: how many pixels there are nearly black (text).
dark_pixels() {
    import -window root -crop "$3x$4+$1+$2" +repage png:- 2>/dev/null |
        convert - -colorspace Gray -threshold 40% -negate -format '%[fx:round(mean*w*h)]' info: 2>/dev/null
}

# wait_drawn <x> <y> <w> <h>: waits until there is text in that part of the screen (a window is
# mapped before it is painted).
drawn() { [ "$(dark_pixels "$@")" -ge 50 ]; }
wait_drawn() { wait_until 3 "text to be drawn at $1,$2" drawn "$@"; }

# tab_to <max> <x> <y> <w> <h> [test]: presses Tab until the test (has_focus_frame by default)
# holds for that rectangle; each press is given a moment to be drawn. Status 1 after <max> presses.
tab_to() {
    local max=$1 i
    shift
    local rect=("$1" "$2" "$3" "$4") test=${5:-has_focus_frame}
    "$test" "${rect[@]}" && return 0
    for ((i = 1; i <= max; i++)); do
        key Tab
        if poll 0.3 "$test" "${rect[@]}"; then
            log "focus reached after $i Tab"
            return 0
        fi
    done
    return 1
}

# ink <x> <y> <width> <height> <file>: that part of the screen cut down to what is drawn on its
# background (the colour of its top-left corner).
ink() {
    import -window root -crop "$3x$4+$1+$2" +repage "$5.full.png" 2>/dev/null
    convert "$5.full.png" -bordercolor "#$(convert "$5.full.png" -format '%[hex:p{0,0}]' info: | cut -c1-6)" \
        -border 2 -fuzz 10% -trim +repage "$5"
}

# same_picture <a> <b>: both of one size, and at most one pixel in a thousand differs (the same
# words drawn twice by the program come out identical; one changed letter is dozens of pixels).
same_picture() {
    local sa sb differing
    sa=$(identify -format '%wx%h' "$1") sb=$(identify -format '%wx%h' "$2")
    [ "$sa" = "$sb" ] || return 1
    differing=$(compare -metric AE -fuzz 10% "$1" "$2" null: 2>&1 || true)
    local w=${sa%x*} h=${sa#*x}
    [ "${differing%%.*}" -le $((w * h / 1000)) ] 2>/dev/null
}

# ink_message_box <wid> <file>: the words of a message box (right of its icon, in its upper half).
ink_message_box() {
    geometry "$1"
    wait_drawn $((WX + 50)) "$WY" $((WW - 50)) $((WH / 2))
    ink $((WX + 50)) "$WY" $((WW - 50)) $((WH / 2)) "$2"
}

# grid_words_match <picture> <main window> <row>: the message column of that grid row (after the
# grid's frame and its date and time columns, 1150 and 650 twips) is drawn as in the picture.
# Drawn with the colours of a message box, the words of one come out pixel for pixel alike.
grid_words_match() {
    geometry "$2"
    local top=$((WH - $(px 4932))) x
    x=$((WX + $(px 240) + 1 + $(px 1150) + $(px 650) + 1))
    ink "$x" $((WY + $(grid_row_y "$top" "$3") - GRID_ROW / 2 + 1)) 210 18 "$E2E_TMP/grid-words.png"
    same_picture "$1" "$E2E_TMP/grid-words.png"
}

# words_differ <picture> <what>: fails, leaving both pictures beside the screenshots.
words_differ() {
    cp "$1" "$SHOTS/$E2E_TEST-words-seen.png"
    cp "$E2E_TMP/grid-words.png" "$SHOTS/$E2E_TEST-words-expected.png"
    fail "$2 (see $SHOTS/$E2E_TEST-words-*.png)"
}

# --- the store -----------------------------------------------------------------------------------

# write_store: the store from standard input (UTF-8), written as the program writes it: in
# Windows-1252, lines ended CR LF.
write_store() {
    mkdir -p "$E2E_DATA"
    sed 's/\r$//; s/$/\r/' | iconv -f UTF-8 -t WINDOWS-1252 >"$E2E_STORE"
}

# alert_lines <id> <message> <date> [time]: the section of a one-off alert without sound, as the
# program writes it (Windows-1252, CR LF), for a store edited from outside.
alert_lines() {
    printf '[Alerte%s]\nInfo1=%s\nInfo2=%s\nInfo3=0\nInfo4=5\nInfo5=\nInfo6=8438015\nInfo7=0\nInfo8=%s\nInfo9=0\nInfo10=\n' \
        "$1" "$2" "$3" "${4:-}" | sed 's/$/\r/' | iconv -f UTF-8 -t WINDOWS-1252
}

# section <name>: the lines of a section of the store (without CR), its header excluded.
section() {
    tr -d '\r' <"$E2E_STORE" | iconv -f WINDOWS-1252 -t UTF-8 -c | awk -v want="[$1]" '
        /^\[/ { inside = (tolower($0) == tolower(want)); next }
        inside { print }'
}

has_section() { tr -d '\r' <"$E2E_STORE" | grep -aqix "\[$1\]"; }

# store_value <section> <key>
store_value() { section "$1" | sed -n "s/^$2=//p" | sed -n 1p; }

# list_ids: the Ids of the alerts `zento --list` prints, one a line.
list_ids() { zento_list | awk -F'\t' 'NR > 1 { print $2 }'; }
