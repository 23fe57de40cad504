# The real program is heard by a private PulseAudio null sink: Defaut.wav looping past its length
# while an overdue alert's popup is open, silence after "Fermer". Recordings stay by the screenshots.
source "$(dirname "$0")/../e2e/lib.sh" "$@"
# Levels in dBFS of 50 ms windows: Defaut.wav's reach -11, a silent null sink's zeros. The match of
# the 10 ms envelopes with Defaut.wav looped: 1.00; Carillon.wav looped 0.68, Defaut.wav once 0.45.
AUDIBLE=-40 SILENT=-60 MATCH=0.9
sound=$2/Wave/Defaut.wav
[ -f "$sound" ] || fail "no $sound: the build copies the sounds beside the program"
start_desktop

# A daemon of our own with only a null sink, its socket in the private runtime folder.
sink=zento_sound_test
export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse/native PULSE_CLIENTCONFIG=$TMP/client.conf
echo 'autospawn = no' >"$PULSE_CLIENTCONFIG"
spawn pulseaudio -n --daemonize=no --use-pid-file=no --exit-idle-time=-1 --disallow-exit --realtime=no \
    --high-priority=no --disable-shm=yes --log-target=stderr \
    -L "module-null-sink sink_name=$sink rate=44100 channels=1" \
    -L "module-native-protocol-unix auth-anonymous=1 auth-cookie-enabled=0 socket=${PULSE_SERVER#unix:}" \
    >"$TMP/pulseaudio.log" 2>&1
wait_for 10 "pulseaudio to answer" pactl info
pactl set-default-sink $sink
rec=(parec -d "$sink.monitor" --format=s16le --rate=44100 --channels=1 --latency-msec=20)
# A listener at low latency keeps the idle null sink's blocks small (else up to 2 s).
spawn "${rec[@]}" >/dev/null 2>&1

# hear <seconds> <name> [reference]: records the sink and prints the loudest 50 ms, the seconds
# from the first to the end of the last audible 50 ms, and the match with the reference looped.
hear() {
    local ref=/dev/null bytes=$(awk -v s="$1" 'BEGIN { printf "%d", s * 88200 }') # 16-bit, 44.1 kHz
    timeout 30 "${rec[@]}" 2>/dev/null | head -c "$bytes" >"$TMP/$2.raw" || true
    [ "$(stat -c %s "$TMP/$2.raw")" = "$bytes" ] || fail "the recording $2 is short"
    sox -t raw -r 44100 -e signed-integer -b 16 -c 1 -L "$TMP/$2.raw" "$SHOTS/$TEST-$2.wav"
    [ $# -lt 3 ] || { ref=$TMP/reference.dat && sox "$3" -r 44100 -c 1 -t dat "$ref"; }
    sox "$SHOTS/$TEST-$2.wav" -t dat - | awk -v audible=$AUDIBLE '
        function db(ms) { return ms > 1e-12 ? 10 * log(ms) / log(10) : -120 }
        /^;/ { next }
        FILENAME != "-" { f[int(m / 441)] += $2 * $2; m++; next }
        { e[int(n / 441)] += $2 * $2; n++ }
        END {
            en = int(n / 441); fn = int(m / 441); loudest = -120; first = -1
            for (k = 0; k < en; k++) w[int(k / 5)] += e[k]
            for (k = 0; k < en / 5; k++) {
                l = db(w[k] / 2205); if (l > loudest) loudest = l
                if (l >= audible) { if (first < 0) first = k; last = k }
            }
            for (p = 0; p < fn; p++) { # the reference looped from each phase p
                sx = sy = sxx = syy = sxy = 0
                for (k = 0; k < en; k++) {
                    x = sqrt(e[k]); y = sqrt(f[(k + p) % fn])
                    sx += x; sy += y; sxx += x * x; syy += y * y; sxy += x * y
                }
                d = (en * sxx - sx * sx) * (en * syy - sy * sy)
                if (d > 0 && (en * sxy - sx * sy) / sqrt(d) > best) best = (en * sxy - sx * sy) / sqrt(d)
            }
            printf "%.1f %.2f %.3f\n", loudest, first < 0 ? 0 : (last + 1 - first) * 0.05, best
        }' "$ref" -
}
holds() { awk "BEGIN { exit !($1) }"; }

alert 1 "Le son doit boucler" 01/01/2020 09:00 8438015 0 Defaut.wav | sed 's/^Info9=0/Info9=1/' | write_store
QT_LOGGING_RULES='qt.multimedia.soundeffect=true' start_zento # for the log on failure
popup=$(window popup 20)
length=$(soxi -D "$sound")
# Longer than the sound by more than a second: played once, it cannot fill the recording.
read -r loudest span match <<<"$(hear "$(awk -v l="$length" 'BEGIN { print l + 1.8 }')" open "$sound")"
log "popup open: loudest $loudest dBFS, heard over $span s (the sound lasts $length s), match $match"
holds "$span >= $length + 0.5" || fail "heard over $span s only, not past the $length s of Defaut.wav"
holds "$match >= $MATCH" || fail "the recording does not follow Defaut.wav looped (match $match)"

fermer "$popup"
read -r loudest _ _ <<<"$(hear 1 answered)"
holds "$loudest < $SILENT" || fail "sound goes on after Fermer: a 50 ms window reaches $loudest dBFS"
