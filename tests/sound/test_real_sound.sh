#!/usr/bin/env bash
# The real program is heard: an overdue alert with Defaut.wav in a loop comes up in its popup,
# the recording of a private PulseAudio null sink holds Defaut.wav playing past its own length
# while the popup is open, and silence once the popup is answered with "Fermer".
#
#   test_real_sound.sh <zento binary> <build folder>
#
# The desktop, home and helpers are those of the end-to-end tests; the recordings and the sound
# server's log are left beside their screenshots.
source "$(dirname "$0")/../e2e/lib.sh" "$@"

# Levels in dBFS of the RMS over a recording or over a 50 ms window. Defaut.wav itself is about
# -18 dBFS; 22 dB below still counts as heard (a softer output volume passes), while a null sink
# that plays nothing gives exact digital zeros.
readonly AUDIBLE_DBFS=-40
# After the answer every 50 ms window must stay below this: the chime's windows reach -11 dBFS.
readonly SILENT_DBFS=-60
# Loudness contour of the recording against Defaut.wav repeated (Pearson correlation of the
# 10 ms envelopes at the best phase). The loop gives 1.00; Carillon.wav looping gives 0.68 and
# Defaut.wav played once 0.45.
readonly MATCH_MIN=0.9

for tool in pulseaudio pactl parec sox soxi; do
    command -v "$tool" >/dev/null ||
        fail "missing $tool (Debian packages pulseaudio pulseaudio-utils sox; tools/setup.sh test installs them)"
done
sound=$BUILD/Wave/Defaut.wav
[ -f "$sound" ] || fail "$sound is missing: the build copies the sounds beside the program"
start_desktop

# --- The sound server -------------------------------------------------------------------------
# A per-user daemon in the private runtime folder (as root it warns, then runs normally), without
# its default script: only the null sink, made the default, and the local socket. Clients never
# start a daemon of their own if ours is gone: they fail instead.
sink=zento_sound_test
export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native PULSE_CLIENTCONFIG=$E2E_TMP/client.conf
echo 'autospawn = no' >"$PULSE_CLIENTCONFIG"
pulseaudio -n --daemonize=no --use-pid-file=no --exit-idle-time=-1 --disallow-exit --realtime=no \
    --high-priority=no --disable-shm=yes --log-target=stderr --log-level=notice \
    -L "module-null-sink sink_name=$sink rate=44100 channels=1" \
    -L "module-native-protocol-unix auth-anonymous=1 auth-cookie-enabled=0 socket=${PULSE_SERVER#unix:}" \
    >"$SHOTS/$E2E_TEST-pulseaudio.log" 2>&1 &
E2E_PIDS+=($!)
wait_until 10 "pulseaudio to answer (see $SHOTS/$E2E_TEST-pulseaudio.log)" pactl info
pactl set-default-sink "$sink"
[ "$(pactl get-default-sink)" = "$sink" ] || fail "the null sink is not the default sink"
# Idle, a null sink renders in blocks of up to 2 s, so a new recording would get its first data
# only that much later; a low-latency listener on its monitor keeps the blocks small.
parec -d "$sink.monitor" --format=s16le --rate=44100 --channels=1 --latency-msec=20 >/dev/null 2>&1 &
E2E_PIDS+=($!)

# record <seconds> <name>: that many seconds of the sink into $E2E_TMP/<name>.dat, kept as a WAV.
record() {
    local bytes raw=$E2E_TMP/$2.raw
    bytes=$(awk -v s="$1" 'BEGIN { printf "%d", s * 44100 * 2 }')
    timeout 30 parec -d "$sink.monitor" --format=s16le --rate=44100 --channels=1 --latency-msec=20 \
        2>/dev/null | head -c "$bytes" >"$raw" || true
    [ "$(stat -c %s "$raw")" -eq "$bytes" ] || fail "the recording $2 is short"
    sox -t raw -r 44100 -e signed-integer -b 16 -c 1 -L "$raw" "$SHOTS/$E2E_TEST-$2.wav"
    sox "$SHOTS/$E2E_TEST-$2.wav" -t dat "$E2E_TMP/$2.dat"
}

# measure <name> [reference wav]: prints "<rms> <loudest> <span> <match>": the level of the whole
# recording and of its loudest 50 ms window (dBFS, digital silence being -120), the seconds from
# the first to the end of the last 50 ms window at AUDIBLE_DBFS or more, and the envelope match
# with the reference (see MATCH_MIN; 0 without one).
measure() {
    local ref=/dev/null
    if [ $# -gt 1 ]; then
        ref=$E2E_TMP/reference.dat
        sox "$2" -r 44100 -c 1 -t dat "$ref"
    fi
    awk -v audible="$AUDIBLE_DBFS" '
        function db(ms) { return ms > 1e-12 ? 10 * log(ms) / log(10) : -120 }
        /^;/ { next }
        # Sums of squares over 10 ms (441 samples): f[] of the reference, e[] of the recording.
        FILENAME != ARGV[2] { f[int(m / 441)] += $2 * $2; m++; next }
        { e[int(n / 441)] += $2 * $2; n++; total += $2 * $2 }
        END {
            loudest = -120; first = -1; fn = int((m + 440) / 441); en = int((n + 440) / 441)
            for (w = 0; w * 5 < en; w++) {
                level = db((e[5 * w] + e[5 * w + 1] + e[5 * w + 2] + e[5 * w + 3] + e[5 * w + 4]) / 2205)
                if (level > loudest) loudest = level
                if (level >= audible) { if (first < 0) first = w; last = w }
            }
            # Pearson correlation of the envelopes, the reference looped from phase p.
            best = 0
            for (p = 0; p < fn; p++) {
                sx = sy = sxx = syy = sxy = 0
                for (k = 0; k < en; k++) {
                    x = sqrt(e[k] / 441); y = sqrt(f[(k + p) % fn] / 441)
                    sx += x; sy += y; sxx += x * x; syy += y * y; sxy += x * y
                }
                d = (en * sxx - sx * sx) * (en * syy - sy * sy)
                if (d > 0 && (en * sxy - sx * sy) / sqrt(d) > best) best = (en * sxy - sx * sy) / sqrt(d)
            }
            printf "%.1f %.1f %.2f %.3f\n", db(total / n), loudest,
                first < 0 ? 0 : (last + 1 - first) * 0.05, best
        }' "$ref" "$E2E_TMP/$1.dat"
}

# holds <awk condition on x and y> <x> <y>
holds() { awk -v x="$2" -v y="$3" "BEGIN { exit !($1) }"; }

# --- The program, with one overdue alert: Defaut.wav, in a loop ---------------------------------
printf '%s\n' '[Alerte1]' 'Info1=Le son doit boucler' 'Info2=01/01/2020' 'Info3=0' 'Info4=5' \
    'Info5=Defaut.wav' 'Info6=8438015' 'Info7=0' 'Info8=09:00' 'Info9=1' 'Info10=' \
    '[Param]' 'Nb=1' 'Fond=' 'Police=' 'Img=5' | write_store
# What the sound effect does (file, loading, start, stop) goes to the log as well.
export QT_LOGGING_RULES='qt.multimedia.soundeffect=true;qt.multimedia.samplecache=true'
start_zento
popup=$(wait_window "Zento - Alerte" 20 "$ZENTO_PID")

# --- While the popup is open --------------------------------------------------------------------
length=$(soxi -D "$sound" | awk '{ printf "%.2f", $1 }')
# Longer than the file by more than a second: a sound played once cannot fill it.
open_seconds=$(awk -v l="$length" 'BEGIN { printf "%.1f", l + 1.8 }')
record "$open_seconds" open
shot popup
levels=$(measure open "$sound")
read -r rms _ span match <<<"$levels"
log "popup open, $open_seconds s recorded: $rms dBFS, heard over $span s, match $match ($length s of sound)"
holds 'x >= y' "$rms" "$AUDIBLE_DBFS" ||
    fail "no sound while the popup is open: RMS $rms dBFS, below $AUDIBLE_DBFS dBFS"
# Played once, the chime is heard for less than its length: its end fades under AUDIBLE_DBFS.
holds 'x >= y + 0.5' "$span" "$length" ||
    fail "the sound is heard over $span s only, not past the $length s of Defaut.wav: it does not loop"
holds 'x >= y' "$match" "$MATCH_MIN" ||
    fail "the recording does not follow Defaut.wav in a loop (envelope match $match < $MATCH_MIN)"

# --- Answered with "Fermer" ---------------------------------------------------------------------
expect_alive "$ZENTO_PID"
before=$(file_sum "$E2E_STORE")
click_twips "$popup" 0 0 240 2520 1335 375
park_pointer
wait_file_change "$E2E_STORE" "$before" 5
! has_section Alerte1 || fail "after \"Fermer\" the alert is still in Alertes.ini"
wait_hidden "$popup" 2 "the popup after \"Fermer\""
record 1 answered
levels=$(measure answered)
read -r _ loudest _ _ <<<"$levels"
holds 'x < y' "$loudest" "$SILENT_DBFS" ||
    fail "sound goes on after the popup was answered: a 50 ms window reaches $loudest dBFS"
expect_alive "$ZENTO_PID"
log "heard while the popup was open ($rms dBFS, looping), silent after \"Fermer\""
finish
