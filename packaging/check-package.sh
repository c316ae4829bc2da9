#!/bin/sh
# CI's check of the Debian package: builds it (make deb, from the build of
# make test), unpacks it with dpkg-deb -x, runs the unpacked programs, and
# checks that it holds the files make install lays out, under /usr, and that
# the desktop entry and the manual pages pass desktop-file-validate and
# man --warnings (installed by `sh setup.sh --deps check`).
set -eu
cd "$(dirname "$0")/.."
BUILD=${BUILD:-build}

make deb BUILD="$BUILD"
deb=$(ls -t "$BUILD"/zanvek_*.deb | head -n 1)
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
dpkg-deb -x "$deb" "$tmp/root"
fail() { echo "check-package: $*" >&2; exit 1; }

echo "== $deb"
dpkg-deb -f "$deb" Package Version Architecture Depends Recommends
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "Depends lacks the Qt 6 libraries"

bin=$tmp/root/usr/bin
version=$(sed -n 's/^project(zanvek VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[ "$("$bin/zanvek-cli" --version)" = "zanvek-cli $version" ] || fail "zanvek-cli --version"
mkdir "$tmp/work"
cp "$tmp/root/usr/share/doc/zanvek/examples/"* "$tmp/work/"
(cd "$tmp/work" && "$bin/zanvek-cli" asm blink.a51 > listing.txt) || fail "zanvek-cli asm blink.a51"
[ -s "$tmp/work/blink.Bin" ] && [ -s "$tmp/work/blink.Hex" ] || fail "asm wrote no blink.Bin/blink.Hex"
echo "zanvek-cli asm blink.a51: $(wc -c < "$tmp/work/blink.Bin") bytes of code"
[ "$("$bin/zanvek" --version)" = "zanvek $version" ] || fail "zanvek --version"
[ "$("$bin/tolvane" --version)" = "tolvane $version" ] || fail "tolvane --version"

# The same files as make install, under /usr.
make install BUILD="$BUILD" PREFIX=/usr DESTDIR="$tmp/installed" > /dev/null
(cd "$tmp/root" && find . ! -type d | sort) > "$tmp/in-package"
(cd "$tmp/installed" && find . ! -type d | sort) > "$tmp/in-install"
diff "$tmp/in-install" "$tmp/in-package" || fail "the package and make install differ (< install, > package)"

desktop-file-validate "$tmp/root/usr/share/applications/zanvek.desktop" || fail "desktop-file-validate"
for page in "$tmp/root/usr/share/man/man1/"*.1; do
  # The pages are UTF-8 (the menus are quoted in Russian).
  warnings=$(LC_ALL=C.UTF-8 man --warnings -l "$page" 2>&1 > /dev/null)
  [ -z "$warnings" ] || fail "man --warnings $(basename "$page"): $warnings"
done
echo "check-package: $(wc -l < "$tmp/in-package") files; programs, desktop entry and manual pages pass"
