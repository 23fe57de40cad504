#!/usr/bin/env bash
# The real program is heard: an overdue alert with Defaut.wav in a loop comes up in its popup,
# the recording of the sound output holds Defaut.wav playing past its own length while the
# popup is open, and silence once the popup is answered with "Fermer".
#
#   test_real_sound.sh <zento binary> <build folder>
#
# Everything runs privately: a PulseAudio daemon with a null sink, an X server with a
# notification area, a home folder. Recordings, a screenshot and the logs are left in
# <build folder>/sound-test.
set -euo pipefail

if [ $# -ne 2 ]; then
    echo "usage: $0 <zento binary> <build folder>" >&2
    exit 2
fi
zento=$(realpath "$1")
build=$(realpath "$2")
out=$build/sound-test
sound=$build/Wave/Defaut.wav

# Levels in dBFS of the RMS over a recording or over a 50 ms window.
# Defaut.wav itself is about -18 dBFS; 22 dB below still counts as heard (a softer output
# volume passes), while a null sink that plays nothing gives exact digital zeros.
readonly AUDIBLE_DBFS=-40
# After the answer every 50 ms window must stay below this: the chime's windows reach -11 dBFS,
# so any sound left over fails, while a null sink with nothing playing records exact zeros.
readonly SILENT_DBFS=-60
# Loudness contour of the recording against Defaut.wav repeated (Pearson correlation of the
# 10 ms envelopes at the best phase). The loop gives 1.00; Carillon.wav looping gives 0.68 and
# Defaut.wav played once 0.45.
readonly MATCH_MIN=0.9

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

missing=()
for tool in pulseaudio pactl parec sox soxi Xvfb trayer xdotool import awk timeout; do
    command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
    fail "missing tools: ${missing[*]} (Debian packages: pulseaudio pulseaudio-utils sox xvfb" \
        "trayer xdotool imagemagick; tools/setup.sh test installs them)"
fi
[ -x "$zento" ] || fail "$zento is not an executable program"
[ -f "$sound" ] || fail "$sound is missing: the build copies the sounds beside the program"

rm -rf "$out"
mkdir -p "$out"
work=$(mktemp -d /tmp/zento-sound.XXXXXX)
chmod 700 "$work"

pids=()
cleanup() {
    local status=$?
    set +e
    # Last started, first stopped: the program before the servers it talks to.
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill "${pids[i]}" 2>/dev/null
    done
    for pid in "${pids[@]}"; do
        wait "$pid" 2>/dev/null
    done
    [ -f "$work/data/Zento/Alertes.ini" ] && cp "$work/data/Zento/Alertes.ini" "$out/"
    rm -rf "$work"
    if [ "$status" -ne 0 ]; then
        echo "--- end of the program's output ($out/zento.log) ---" >&2
        tail -n 30 "$out/zento.log" >&2 2>/dev/null
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 1' INT TERM HUP

alive() { kill -0 "$1" 2>/dev/null; }

# A home of our own: nothing read from or written to the user's folders or settings.
mkdir -m 700 "$work/home" "$work/run" "$work/config" "$work/data" "$work/cache"
export HOME=$work/home XDG_RUNTIME_DIR=$work/run XDG_CONFIG_HOME=$work/config
export XDG_DATA_HOME=$work/data XDG_CACHE_HOME=$work/cache
export LC_ALL=C.UTF-8 TZ=UTC
# No session bus: nothing reaches the desktop of whoever runs the test, and the program uses the
# X notification area that trayer provides.
export DBUS_SESSION_BUS_ADDRESS=unix:path=$work/no-bus
unset WAYLAND_DISPLAY DISPLAY ZENTO_WAVE_DIR QT_QPA_PLATFORM

# --- The sound server -------------------------------------------------------------------------
# A per-user daemon in the private runtime folder. As root it warns that it is meant for users,
# then runs normally; --system would need the pulse user and system-wide configuration. No
# default script (-n): only the null sink, made the default, and the local socket.
sink=zento_sound_test
export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native
# Clients never start a daemon of their own if ours is gone: they fail instead.
printf 'autospawn = no\n' >"$work/client.conf"
export PULSE_CLIENTCONFIG=$work/client.conf
pulseaudio -n --daemonize=no --use-pid-file=no --exit-idle-time=-1 --disallow-exit \
    --realtime=no --high-priority=no --disable-shm=yes --log-target=stderr --log-level=notice \
    -L "module-null-sink sink_name=$sink rate=44100 channels=1" \
    -L "module-native-protocol-unix auth-anonymous=1 auth-cookie-enabled=0 socket=$XDG_RUNTIME_DIR/pulse/native" \
    >"$out/pulseaudio.log" 2>&1 &
pulse=$!
pids+=("$pulse")
for _ in $(seq 100); do
    pactl info >/dev/null 2>&1 && break
    alive "$pulse" || fail "pulseaudio ended at start-up, see $out/pulseaudio.log"
    sleep 0.1
done
pactl info >/dev/null 2>&1 || fail "pulseaudio did not answer within 10 s, see $out/pulseaudio.log"
pactl set-default-sink "$sink"
pactl info | grep -qx "Default Sink: $sink" || fail "the null sink is not the default sink"

# Idle, a null sink renders in blocks of up to 2 s, so a new recording would get its first data
# only that much later. A low-latency listener kept on its monitor keeps it rendering in small
# blocks: every recording below then starts at once.
parec -d "$sink.monitor" --format=s16le --rate=44100 --channels=1 --latency-msec=20 >/dev/null 2>&1 &
pids+=($!)

# record <seconds> <name>: that many seconds of the sink's monitor into $work/<name>.raw, kept
# as $out/<name>.wav.
record() {
    local bytes
    bytes=$(awk -v s="$1" 'BEGIN { printf "%d", s * 44100 * 2 }')
    timeout 30 parec -d "$sink.monitor" --format=s16le --rate=44100 --channels=1 --latency-msec=20 \
        2>/dev/null | head -c "$bytes" >"$work/$2.raw" || true
    [ "$(stat -c %s "$work/$2.raw")" -eq "$bytes" ] || fail "the recording $2 is short"
    sox -t raw -r 44100 -e signed-integer -b 16 -c 1 -L "$work/$2.raw" "$out/$2.wav"
}

# measure <name> [reference wav]: prints "rms=<dBFS> loudest=<dBFS> span=<s> match=<r>".
# rms: over the whole recording; loudest: the loudest 50 ms window; span: from the first to
# the end of the last 50 ms window at AUDIBLE_DBFS or more; match: see MATCH_MIN (0 without a
# reference). Digital silence is reported as -120 dBFS.
measure() {
    local refdat=
    sox -t raw -r 44100 -e signed-integer -b 16 -c 1 -L "$work/$1.raw" -t dat "$work/$1.dat"
    if [ $# -gt 1 ]; then
        refdat=$work/reference.dat
        sox "$2" -r 44100 -c 1 -t dat "$refdat"
    fi
    awk -v audible="$AUDIBLE_DBFS" -v ref="$refdat" '
        function db(ms) { return ms > 1e-12 ? 10 * log(ms) / log(10) : -120 }
        # Pearson correlation of e[0..n) with the looped reference envelope from phase p.
        function corr(p,   k, x, y, sx, sy, sxx, syy, sxy, d) {
            for (k = 0; k < n; k++) {
                x = e[k]; y = f[(k + p) % m]
                sx += x; sy += y; sxx += x * x; syy += y * y; sxy += x * y
            }
            d = (n * sxx - sx * sx) * (n * syy - sy * sy)
            return d > 0 ? (n * sxy - sx * sy) / sqrt(d) : 0
        }
        BEGIN {
            if (ref != "") {
                while ((getline line < ref) > 0) {
                    if (line ~ /^;/) continue
                    split(line, part, " ")
                    fs[int(rn / 441)] += part[2] * part[2]; fc[int(rn / 441)]++; rn++
                }
                for (m = 0; m in fc; m++) f[m] = sqrt(fs[m] / fc[m])
            }
        }
        /^;/ { next }
        {
            v = $2 * $2; total += v
            es[int(count / 441)] += v; ec[int(count / 441)]++
            ws[int(count / 2205)] += v; wc[int(count / 2205)]++
            count++
        }
        END {
            loudest = -120; first = -1
            for (w = 0; w in wc; w++) {
                level = db(ws[w] / wc[w])
                if (level > loudest) loudest = level
                if (level >= audible) { if (first < 0) first = w; last = w }
            }
            span = first < 0 ? 0 : (last + 1 - first) * 0.05
            match_r = 0
            if (ref != "") {
                for (n = 0; n in ec; n++) e[n] = sqrt(es[n] / ec[n])
                for (p = 0; p < m; p++) { r = corr(p); if (r > match_r) match_r = r }
            }
            printf "rms=%.1f loudest=%.1f span=%.2f match=%.3f\n", db(total / count), loudest, span, match_r
        }' "$work/$1.dat"
}

# value <key> <measure output>
value() { sed -n "s/.*\<$1=\([^ ]*\).*/\1/p" <<<"$2"; }
# holds <awk condition on x and y> <x> <y>
holds() { awk -v x="$2" -v y="$3" "BEGIN { exit !($1) }"; }

# --- The X server and its notification area ---------------------------------------------------
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$out/xvfb.log" &
xvfb=$!
pids+=("$xvfb")
for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    alive "$xvfb" || fail "Xvfb ended at start-up, see $out/xvfb.log"
    sleep 0.1
done
[ -s "$work/display" ] || fail "Xvfb gave no display within 10 s"
DISPLAY=:$(head -n 1 "$work/display")
export DISPLAY

trayer --edge top --align right --widthtype pixel --width 100 --height 24 >"$out/trayer.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do
    xdotool search --classname '^trayer$' >/dev/null 2>&1 && break
    sleep 0.1
done
xdotool search --classname '^trayer$' >/dev/null 2>&1 || fail "trayer did not come up, see $out/trayer.log"

# --- The program, with one overdue alert: Defaut.wav, in a loop ---------------------------------
mkdir -p "$XDG_DATA_HOME/Zento"
ini=$XDG_DATA_HOME/Zento/Alertes.ini
printf '%s\r\n' '[Alerte1]' 'Info1=Le son doit boucler' 'Info2=01/01/2020' 'Info3=0' 'Info4=5' \
    'Info5=Defaut.wav' 'Info6=8438015' 'Info7=0' 'Info8=09:00' 'Info9=1' 'Info10=' \
    '[Param]' 'Nb=1' 'Fond=' 'Police=' 'Img=5' >"$ini"

started=$(date +%s.%N)
# What the sound effect does (file, loading, start, stop) goes to the log as well.
QT_QPA_PLATFORM=xcb QT_LOGGING_RULES='qt.multimedia.soundeffect=true;qt.multimedia.samplecache=true' \
    "$zento" >"$out/zento.log" 2>&1 &
app=$!
pids+=("$app")

popup=
for _ in $(seq 100); do
    popup=$(xdotool search --name '^Zento - Alerte$' 2>/dev/null | head -n 1) || true
    [ -n "$popup" ] && break
    alive "$app" || fail "zento ended before its popup came up"
    sleep 0.2
done
if [ -z "$popup" ]; then
    import -window root "$out/no-popup.png" || true
    fail "no popup \"Zento - Alerte\" within 20 s (the alert was due at start-up)"
fi
echo "popup up $(awk -v a="$started" -v b="$(date +%s.%N)" 'BEGIN { printf "%.1f", b - a }') s after start"

# --- While the popup is open --------------------------------------------------------------------
length=$(soxi -D "$sound" | awk '{ printf "%.2f", $1 }')
# Longer than the file by more than a second: a sound played once cannot fill it.
open_seconds=$(awk -v l="$length" 'BEGIN { printf "%.1f", l + 1.8 }')
record "$open_seconds" open
pactl list sink-inputs >"$out/sink-inputs.txt"
import -window root "$out/popup.png" || echo "note: no screenshot" >&2
open=$(measure open "$sound")
echo "popup open, ${open_seconds} s recorded: $open (Defaut.wav lasts $length s)"
rms=$(value rms "$open")
span=$(value span "$open")
match=$(value match "$open")
holds 'x >= y' "$rms" "$AUDIBLE_DBFS" ||
    fail "no sound while the popup is open: RMS $rms dBFS, below $AUDIBLE_DBFS dBFS (see $out/zento.log)"
# Played once, the chime is heard for less than its length: its end fades under AUDIBLE_DBFS.
holds 'x >= y + 0.5' "$span" "$length" ||
    fail "the sound is heard over $span s only, not past the $length s of Defaut.wav: it does not loop"
holds 'x >= y' "$match" "$MATCH_MIN" ||
    fail "the recording does not follow Defaut.wav in a loop (envelope match $match < $MATCH_MIN)"

# --- Answered with "Fermer" ---------------------------------------------------------------------
alive "$app" || fail "zento ended while its popup was open"
# The button's place is given in twips; the window's width gives the scale, whatever the DPI.
eval "$(xdotool getwindowgeometry --shell "$popup")"
x=$(awk -v w="$WIDTH" 'BEGIN { printf "%d", (240 + 1335 / 2) * w / 4905 }')
y=$(awk -v h="$HEIGHT" 'BEGIN { printf "%d", (2520 + 375 / 2) * h / 3660 }')
xdotool mousemove --window "$popup" "$x" "$y" click 1
for _ in $(seq 50); do
    grep -qi '\[Alerte1\]' "$ini" || break
    sleep 0.1
done
! grep -qi '\[Alerte1\]' "$ini" || fail "after \"Fermer\" the alert is still in Alertes.ini"
for _ in $(seq 20); do
    xdotool search --name '^Zento - Alerte$' >/dev/null 2>&1 || break
    sleep 0.1
done
! xdotool search --name '^Zento - Alerte$' >/dev/null 2>&1 || fail "the popup is still open after \"Fermer\""

record 1 answered
answered=$(measure answered)
echo "after \"Fermer\", 1 s recorded: $answered"
holds 'x < y' "$(value loudest "$answered")" "$SILENT_DBFS" ||
    fail "sound goes on after the popup was answered: $answered (a 50 ms window reaches $SILENT_DBFS dBFS)"
alive "$app" || fail "zento ended when its popup was answered"

echo "PASS: heard while the popup was open ($rms dBFS, looping), silent after \"Fermer\""
