#!/usr/bin/env bash
# Sets up a Debian 12 machine for Zento, builds it, then starts it or runs its tests.
#   bash tools/setup.sh run    install the build dependencies, build, start Zento
#   bash tools/setup.sh test   the same set-up, build, run the whole test suite
# Run as root, or as a user who may use sudo.
set -euo pipefail
mode=${1:-run}
case "$mode" in run | test) ;; *)
    echo "usage: bash tools/setup.sh run|test" >&2
    exit 2
    ;;
esac
cd "$(dirname "$0")/.."

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

packages=(build-essential cmake pkg-config libical-dev
    qt6-base-dev qt6-multimedia-dev qt6-svg-dev qt6-translations-l10n libgl-dev
    qt6-qpa-plugins gstreamer1.0-plugins-base gstreamer1.0-plugins-good
    fonts-dejavu-core tzdata)
if [ "$mode" = test ]; then
    # Unit and widget tests, benchmarks; the real program under a private X server with a
    # notification area; real sound through a private sound server; sanitizers and fuzzing;
    # the installed files checked as distributions check them.
    packages+=(libgtest-dev libgmock-dev libbenchmark-dev
        xvfb xauth x11-utils xdotool trayer imagemagick
        pulseaudio pulseaudio-utils sox
        clang libclang-rt-14-dev
        desktop-file-utils appstream man-db)
fi

"${as_root[@]}" apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${packages[@]}"

build=${ZENTO_BUILD_DIR:-build}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" -j"$(nproc)"

if [ "$mode" = run ]; then
    exec "$build/zento"
fi
ctest --test-dir "$build" --output-on-failure -j"$(nproc)"
# The same unit and widget tests built with AddressSanitizer and UndefinedBehaviorSanitizer,
# then the store's readers fuzzed for a bounded time.
for extra in tools/sanitize.sh tools/fuzz.sh; do
    if [ -f "$extra" ]; then
        bash "$extra"
    fi
done
