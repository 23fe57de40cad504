# An install into a private prefix holds what a desktop needs, and the checkers of the
# distributions accept the desktop entries and the AppStream metadata.
source "$(dirname "$0")/../e2e/lib.sh" "$@"
screenshots=$3 usr=$TMP/usr id=example.olvani.Zento
cmake --install "$2" --prefix "$usr" >/dev/null
DESTDIR="$TMP" cmake --install "$2" --prefix /usr --component autostart >/dev/null

(cd "$usr" && ls bin/zento "share/applications/$id.desktop" "share/metainfo/$id.metainfo.xml" \
    share/zento/Wave/Defaut.wav share/icons/hicolor/{scalable/apps/zento.svg,48x48/apps/zento.png} \
    share/man/{,fr/}man1/zento.1.gz share/doc/zento/copyright >/dev/null) # ls names what is missing
autostart=$TMP/etc/xdg/autostart/$id.desktop # the autostart component's place, validated below
# A plain install leaves the autostart entry out (it only goes where it is asked for).
[ ! -e "$usr/etc" ] || fail "a plain install wrote $(find "$usr/etc" -type f)"

out=$(desktop-file-validate "$usr/share/applications/$id.desktop" "$autostart" 2>&1) && [ -z "$out" ] ||
    fail "desktop-file-validate says: $out"
for entry in "$usr/share/applications/$id.desktop" "$autostart"; do
    exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry" | sort -u)
    [ "$exec_name" = zento ] || fail "$entry runs $exec_name"
    icon=$(sed -n 's/^Icon=//p' "$entry")
    [ -f "$usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "$entry names a missing icon $icon"
done
while read -r option; do
    "$ZENTO" --help | grep -q -- "^  $option " || fail "the desktop entry runs zento $option, unknown to --help"
done < <(sed -n 's/^Exec=zento //p' "$usr/share/applications/$id.desktop")

metainfo=$usr/share/metainfo/$id.metainfo.xml
# --no-net: the screenshots and the home page are on the project's site. Only one remark is
# expected: the placeholder domain's top level, "example", is not one the validator knows.
out=$(appstreamcli validate --no-net "$metainfo" 2>&1) && ! grep -v cid-maybe-not-rdns <<<"$out" | grep -q '^[EWI]:' ||
    fail "appstreamcli validate says: $out"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "the metainfo does not launch $id.desktop"
release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | sed -n 1p)
[ "Zento $release" = "$("$ZENTO" --version)" ] || fail "the newest release is $release, not $("$ZENTO" --version)"
while read -r shot; do
    [ -f "$screenshots/$shot" ] || fail "the screenshot $shot is not in $screenshots"
done < <(sed -n 's|.*<image>.*/\([^/<]*\)</image>.*|\1|p' "$metainfo")
