#!/usr/bin/env bash
# Builds the Debian package into a temporary folder, unpacks it there with
# dpkg-deb -x (nothing is installed) and checks its files and its wrapper:
# the wrapper's -p comes first, so a user's later -p wins, and the program's
# exit status passes through. Skipped (77) where dpkg-dev is missing.
set -euo pipefail
source_dir=$1

for tool in dpkg-deb dpkg-shlibdeps dpkg-gencontrol; do
    command -v "$tool" >/dev/null || { echo "no $tool: skipped"; exit 77; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/rilk-deb-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

"$source_dir/tools/make_deb" "$source_dir" "$work/build" "$work" >/dev/null
debs=("$work"/rilk_*.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one package, found: ${debs[*]}"
deb=${debs[0]}

# Every file but the pictures, and the pictures by count.
expected='usr/bin/rilk
usr/libexec/rilk/rilk
usr/share/doc/rilk/LICENSE-catalogue
usr/share/doc/rilk/LICENSE-pictures
usr/share/doc/rilk/README.md.gz
usr/share/doc/rilk/changelog.gz
usr/share/doc/rilk/copyright
usr/share/man/man1/rilk.1.gz'
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {sub("^\\./", "", $6); print $6}' | sort)
actual=$(grep -Ev '^usr/share/rilk/(large/)?[A-Za-z2]*/[^/]*\.pbm$' <<<"$files" || true)
[ "$actual" = "$expected" ] || fail "unexpected files:
$(diff <(echo "$expected") <(echo "$actual") || true)"
pictures=$(grep -c '^usr/share/rilk/[A-Za-z2]*/[^/]*\.pbm$' <<<"$files")
[ "$pictures" -eq 1367 ] || fail "$pictures pictures instead of 1367"
large=$(grep -c '^usr/share/rilk/large/[A-Za-z2]*/[^/]*\.pbm$' <<<"$files")
[ "$large" -eq 1367 ] || fail "$large large pictures instead of 1367"
dpkg-deb -f "$deb" Depends | grep -q '^libc6 (>= ' || fail "Depends: $(dpkg-deb -f "$deb" Depends)"

root=$work/root-x
dpkg-deb -x "$deb" "$root"
wrapper='#!/bin/sh
exec /usr/libexec/rilk/rilk -p /usr/share/rilk/ "$@"'
[ "$(cat "$root/usr/bin/rilk")" = "$wrapper" ] || fail "wrapper: $(cat "$root/usr/bin/rilk")"
! readelf -S "$root/usr/libexec/rilk/rilk" | grep -q '\.symtab' || fail "binary not stripped"

# The wrapper run from the unpacked tree, its paths moved there.
sed "s|/usr/|$root/usr/|g" "$root/usr/bin/rilk" >"$work/rilk"
chmod +x "$work/rilk"
while IFS='|' read -r want args; do
    status=0
    # shellcheck disable=SC2086
    "$work/rilk" $args </dev/null >"$work/out" 2>&1 || status=$?
    [ "$status" -eq "$want" ] || fail "rilk $args: status $status, want $want: $(cat "$work/out")"
done <<EOF
0|-t -l +j
255|-x
255|-t -l -g
255|-t -l -p $work/nowhere
EOF
# The last case above: the user's -p named a missing place, and was used.
grep -q 'Try using option -p.' "$work/out" || fail "a later -p did not win over the wrapper's"
echo "package ${deb##*/}: files, wrapper and statuses as expected"
