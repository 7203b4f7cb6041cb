#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package of a build with CPack and checks its fields, its dependencies (found
# by dpkg-shlibdeps from the libraries the program links) and its files, then runs the program
# it holds.
# Usage: check-package.sh BUILD_DIR VERSION
set -euo pipefail
build=$1 version=$2

out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || {
    cat "$out/cpack.log"
    exit 1
}
deb=$out/tinkora_${version}-1_$(dpkg --print-architecture).deb
[[ -f $deb ]] || {
    echo "FAIL: no $deb" >&2
    cat "$out/cpack.log"
    exit 1
}
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

[[ $(dpkg-deb -f "$deb" Package) == tinkora ]] || fail "the package is not named tinkora"
[[ $(dpkg-deb -f "$deb" Version) == "$version-1" ]] || fail "the package is not version $version-1"
depends=$(dpkg-deb -f "$deb" Depends)
# libpulse0 holds libpulse-simple, for --play.
libraries=(libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libpulse0)
for library in "${libraries[@]}"; do
    [[ ", $depends" == *", $library ("* ]] || fail "Depends lacks $library: $depends"
done
# Without a platform plugin the window cannot open; libqt6gui6 only recommends them.
[[ ", $depends," == *", qt6-qpa-plugins,"* ]] || fail "Depends lacks qt6-qpa-plugins: $depends"
# Qt's own texts (right-click menus) in French.
[[ ", $depends," == *", qt6-translations-l10n,"* ]] ||
    fail "Depends lacks qt6-translations-l10n: $depends"

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in ./usr/bin/tinkora ./usr/bin/tinkora-send \
    ./usr/share/applications/org.tinkora.Tinkora.desktop \
    ./usr/share/metainfo/org.tinkora.Tinkora.metainfo.xml \
    ./usr/share/icons/hicolor/scalable/apps/org.tinkora.Tinkora.svg \
    ./usr/share/icons/hicolor/{32x32,48x48,64x64,128x128,256x256}/apps/org.tinkora.Tinkora.png \
    ./usr/share/man/man1/tinkora.1.gz ./usr/share/man/man1/tinkora-send.1.gz; do
    grep -qxF "$file" <<<"$contents" || fail "the package lacks $file"
done
outside=$(grep -v '^\./usr/' <<<"$contents" | grep -vx '\./' || true)
[[ -z $outside ]] || fail "files outside /usr: $outside"

dpkg-deb -x "$deb" "$out/root"
printed=$("$out/root/usr/bin/tinkora" --version 2>&1) || fail "tinkora --version failed: $printed"
[[ $printed == "tinkora $version" ]] || fail "tinkora --version printed '$printed'"

[[ $failures -eq 0 ]] || exit 1
echo "$(basename "$deb") checked; Depends: $depends"
