#!/usr/bin/env bash
# Builds the Debian packages with make deb into a temporary folder, without
# their tests (DEB_BUILD_OPTIONS=nocheck: this suite is what they would run),
# and checks the binary package against the build it came from: its files
# are those the package build's make install wrote (its install manifest),
# as debhelper leaves them, and every installed path that debian/copyright
# names is there; its version is the program's; then it is unpacked (nothing
# is installed) and its wrapper run from there: a user's later -p wins, and
# the program's exit status passes through. Skipped (77) where dpkg-dev or
# debhelper is missing.
set -euo pipefail
source_dir=$1

for tool in dpkg-buildpackage dpkg-deb dh; do
    command -v "$tool" >/dev/null || { echo "no $tool: skipped"; exit 77; }
done

work=$(mktemp -d "${TMPDIR:-/tmp}/rilk-deb-XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# make check's own make options (its jobs) are not for this make.
env -u MAKEFLAGS -u MFLAGS -u MAKELEVEL DEB_BUILD_OPTIONS=nocheck \
    make -C "$source_dir" deb DEB_DIR="$work/out" JOBS=2 >"$work/make.log" 2>&1 ||
    fail "make deb: $(cat "$work/make.log")"
debs=("$work"/out/rilk_*.deb)
[ ${#debs[@]} -eq 1 ] || fail "expected one package, found: ${debs[*]}"
deb=${debs[0]}
manifests=("$work"/out/rilk-*/obj-*/install_manifest.txt)
[ ${#manifests[@]} -eq 1 ] || fail "expected one install manifest, found: ${manifests[*]}"

# What make install wrote, against the package's files with debhelper's
# compression undone and without the two files debhelper adds.
files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {sub("^\\.", "", $6); print $6}' | LC_ALL=C sort)
installed=$(LC_ALL=C sort "${manifests[0]}")
docdir=$(grep '/README\.md$' <<<"$installed" | sed 's|/README\.md$||')
packaged=$(grep -vxF -e "$docdir/changelog.gz" -e "$docdir/copyright" <<<"$files" |
           sed 's/\.gz$//' | LC_ALL=C sort)
[ "$packaged" = "$installed" ] || fail "the package's files are not those make install wrote:
$(diff <(echo "$installed") <(echo "$packaged") | head -20 || true)"
[ "$(grep -c '\.pbm$' <<<"$files")" -ge 2734 ] || fail "only $(grep -c '\.pbm$' <<<"$files") pictures"
while read -r named; do
    grep -q "^${named%/}\(/\|$\)" <<<"$files" || fail "debian/copyright names $named, which the package lacks"
done < <(grep -o '/usr/[^ ,)]*[^ ,).]' "$source_dir/debian/copyright" | sort -u)
# The C++ runtime is linked into the program, so the C library is all it needs.
depends=$(dpkg-deb -f "$deb" Depends)
[[ $depends =~ ^libc6\ \(\>=\ [0-9.]+\)$ ]] || fail "Depends: $depends"

root=$work/root
dpkg-deb -x "$deb" "$root"
# The wrapper run from the unpacked tree, the package's paths moved there.
wrapper=$(grep '/bin/rilk$' <<<"$files") || fail "no bin/rilk"
sed "s|'/|'$root/|g" "$root$wrapper" >"$work/rilk"
chmod +x "$work/rilk"
version=$(dpkg-deb -f "$deb" Version)
said=$("$work/rilk" -v | tail -1)
[[ $said =~ ^\ *Rilk\ v${version%-*}$ ]] ||
    fail "the package's version is $version (debian/changelog), the program says: $said"
while IFS='|' read -r want args; do
    status=0
    # shellcheck disable=SC2086
    "$work/rilk" $args </dev/null >"$work/out.txt" 2>&1 || status=$?
    [ "$status" -eq "$want" ] || fail "rilk $args: status $status, want $want: $(cat "$work/out.txt")"
done <<EOF
0|-t -l +j
255|-x
255|-t -l -g
255|-t -l -p $work/nowhere
EOF
# The last case above: the user's -p named a missing place, and was used.
grep -q 'Try using option -p.' "$work/out.txt" || fail "a later -p did not win over the wrapper's"
echo "package ${deb##*/}: the files make install wrote, its version, wrapper and statuses as expected"
