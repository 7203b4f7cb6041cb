#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The package as it ships: built from the release preset (hardening on), checked with lintian
# (no error, no warning) and the sources with reuse (every file says its licence).
# Usage: check-release.sh SOURCE_DIR
set -euo pipefail
cd "$1"

cmake --preset release >/dev/null
cmake --build --preset release
(cd build-release && cpack -G DEB >/dev/null)
deb=$(ls build-release/tinkora_*.deb)
report=$(lintian --pedantic "$deb" 2>&1 | grep -v 'running with root privileges' || true)
failures=0
if grep -E '^(E|W):' <<<"$report"; then
    echo "FAIL: lintian reports errors or warnings on $deb" >&2
    failures=$((failures + 1))
fi
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in ./usr/bin/tinkora-device ./usr/share/man/man1/tinkora-device.1.gz \
    ./usr/share/doc/tinkora/copyright ./usr/share/doc/tinkora/changelog.Debian.gz \
    ./usr/share/doc/tinkora/examples/au-clair-de-la-lune.csv \
    ./usr/share/doc/tinkora/examples/frere-jacques.rtttl \
    ./usr/share/doc/tinkora/examples/ah-vous-dirai-je-maman.mid; do
    grep -qxF "$file" <<<"$contents" || { echo "FAIL: the package lacks $file" >&2; failures=$((failures + 1)); }
done
if ! reuse lint >/tmp/reuse-lint.log 2>&1; then
    cat /tmp/reuse-lint.log >&2
    echo "FAIL: reuse lint" >&2
    failures=$((failures + 1))
fi
[[ $failures -eq 0 ]] || exit 1
echo "$(basename "$deb"): lintian and reuse lint clean"
