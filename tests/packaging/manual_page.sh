# The manual pages list the options --help lists, in its order, with the same values (the
# English page: the same options), and man reads them without a warning.
source "$(dirname "$0")/../e2e/lib.sh" "$@"
man_dir=$2
export MANWIDTH=80

# "--date JJ/MM/AAAA" for each option line of --help, and of each .TP head of a page.
page_options() { awk 'tp && /^\\fB\\-/ { print } { tp = /^\.TP/ }' "$1" | sed 's/\\f[BIR]//g; s/\\-/-/g'; }

help=$("$ZENTO" --help | sed -n 's/^ \{2,6\}\(--[a-z-]*\( [^ ]\+\)\{0,2\}\)\( \{2,\}.*\)\?$/\1/p')
[ "$(wc -l <<<"$help")" -ge 10 ] || fail "--help lists only: $help"
diff <(echo "$help") <(page_options "$man_dir/fr/zento.1") >&2 ||
    fail "the French manual page and --help list other options (< --help, > page)"
diff <(cut -d' ' -f1 <<<"$help") <(page_options "$man_dir/en/zento.1" | cut -d' ' -f1) >&2 ||
    fail "the English manual page and --help list other options (< --help, > page)"

for page in "$man_dir"/*/zento.1; do
    warnings=$(man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "man warns about $page: $warnings"
    man -l "$page" | grep -q 'Alertes.ini~' || fail "$page does not name Alertes.ini~"
done
