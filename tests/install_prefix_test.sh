#!/usr/bin/env bash
# make install into a temporary prefix (with a blank and a quote in its name):
# the installed rilk, run with no -p, must find and show a picture there;
# make uninstall must then leave no file and none of rilk's own folders.
# The install is recorded in a manifest of its own, so that the build's
# install_manifest.txt, which make uninstall reads, stays as it was.
set -euo pipefail
source_dir=$1
build=$2

work=$(mktemp -d "${TMPDIR:-/tmp}/rilk-install-XXXXXX")
manifest=$build/install_manifest_Unspecified.txt
trap 'rm -rf "$work" "$manifest"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

prefix="$work/a prefix's place"
cmake --install "$build" --prefix "$prefix" --component Unspecified >/dev/null

# Browse once: a picture, then its labels.
status=0
(cd "$work" && "$prefix/bin/rilk" -t -l </dev/null >"$work/out" 2>&1) || status=$?
[ "$status" -eq 0 ] || fail "installed rilk: status $status: $(cat "$work/out")"
grep -q '^Translation: ' "$work/out" || fail "installed rilk printed no labels: $(cat "$work/out")"
sed '/^Translation: /,$d' "$work/out" | grep -q '[^ ]' ||
    fail "installed rilk showed no picture: $(cat "$work/out")"
# Where the pictures go is the build's setting (the Debian package's differs).
picturedir=$(sed -n 's/^RILK_PICTUREDIR:[A-Z]*=//p' "$build/CMakeCache.txt")
[ -f "$prefix/$picturedir/Hiragana/a.1.pbm" ] || fail "no pictures under <prefix>/$picturedir/"

cmake -DMANIFEST="$manifest" -DLAYOUT="$build/install-dirs" -P "$source_dir/tools/uninstall.cmake" \
    >/dev/null
left=$(cd "$prefix" && find . -type f -o -type l -o -type d -name rilk)
[ -z "$left" ] || fail "make uninstall left: $left"
echo "installed under a temporary prefix: rilk found its pictures; uninstalled"
