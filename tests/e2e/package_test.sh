#!/usr/bin/env bash
# The Debian package as a user gets it: made by cpack from the build, unpacked
# with dpkg-deb into a scratch directory, it holds the program, its images,
# the desktop entry, the icon and the manual page; the entry and the page pass
# their validators, the page lists the controls the program prints, and the
# unpacked program, run from another directory, finds its own images (no
# image message before the banner) and ends on q with status 0.
. "$(dirname "$0")/lib.sh"

command -v dpkg-deb >/dev/null || { echo "SKIP: dpkg-deb is not installed"; exit 77; }

build=$(dirname "$CAUSTICS_BIN")
[ -f "$build/CPackConfig.cmake" ] || fail "no CPackConfig.cmake in $build, the directory of CAUSTICS_BIN"
cpack --config "$build/CPackConfig.cmake" -G DEB -B "$E2E_TMP/package" >"$E2E_TMP/cpack.log" 2>&1 ||
    fail "cpack failed: $(cat "$E2E_TMP/cpack.log")"
deb=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' "$E2E_TMP/cpack.log")
[ -f "$deb" ] || fail "cpack named no package: $(cat "$E2E_TMP/cpack.log")"
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(basename "$deb")" = "caustics_$(field Version)_$(field Architecture).deb" ] || fail "package file named $(basename "$deb")"
field Depends | grep -q 'libglut' || fail "dpkg-shlibdeps did not fill Depends: '$(field Depends)'"

root=$E2E_TMP/root
dpkg-deb -x "$deb" "$root"
share=$root/usr/share
for name in $(sed -n 's/^"\([^"]*\)".*/\1/p' "${CAUSTICS_SOURCE_DIR:?}/scenery/texture_files.inc"); do
    [ -s "$share/caustics/$name" ] || fail "the package lacks usr/share/caustics/$name"
done
icon=$share/icons/hicolor/64x64/apps/caustics.png
[ "$(identify -format %wx%h "$icon" 2>&1)" = 64x64 ] || fail "no 64 x 64 PNG icon at ${icon#"$root"/}"

report=$(desktop-file-validate "$share/applications/caustics.desktop" 2>&1) && [ -z "$report" ] ||
    fail "desktop-file-validate: ${report:-the entry is missing}"
page=$share/man/man6/caustics.6.gz
[ -f "$page" ] || fail "the package lacks usr/share/man/man6/caustics.6.gz"
MANWIDTH=200 man -E ascii --warnings -l "$page" >"$E2E_TMP/page.txt" 2>"$E2E_TMP/man.err"
[ ! -s "$E2E_TMP/man.err" ] || fail "man --warnings: $(cat "$E2E_TMP/man.err")"

CAUSTICS_BIN=$root/usr/bin/caustics
start_xvfb
start_demo "$E2E_TMP/elsewhere"
[ "$(head -n 2 "$DEMO_OUT")" = $'\nQUARRY7 FINAL PROJECT: Under-water Caustics' ] ||
    fail "the unpacked program did not start with its banner: $(head -n 4 "$DEMO_OUT")"
# Every key the banner lists is in the manual page with the same words.
keys=0
while IFS= read -r line; do
    effect=${line#\'?\' - }
    grep -qF -- "$effect" "$E2E_TMP/page.txt" || fail "the manual page lacks the control '$line'"
    keys=$((keys + 1))
done < <(grep "^'.' - " "$DEMO_OUT")
[ "$keys" -gt 20 ] || fail "the banner listed only $keys keys"
send_keys q
status=$(wait_exit)
[ "$status" = 0 ] || fail "q ended the unpacked program with status $status, not 0"

echo "package: $(basename "$deb") unpacked and run from elsewhere; desktop entry and manual page valid; $keys keys documented"
