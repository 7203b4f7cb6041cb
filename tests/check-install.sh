#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs a build into a scratch DESTDIR, as a package would, and checks what a desktop gets:
# the programs, the menu entry, the icons, the AppStream metainfo and the man page.
# Usage: check-install.sh BUILD_DIR VERSION "PROGRAM..."
set -euo pipefail
build=$1 version=$2
read -ra programs <<<"$3"
id=org.tinkora.Tinkora

dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR=$dest cmake --install "$build" --prefix /usr >/dev/null
usr=$dest/usr
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
# A validator that is missing fails the check: skipping would pass files nobody looked at.
have() { command -v "$1" >/dev/null; }
need() { have "$1" || fail "$1 is not installed (scripts/install-deps installs it)"; }
need desktop-file-validate
need appstreamcli
need groff

# Nothing but programs, desktop data and their documentation: no library or header slips in.
while IFS= read -r file; do
    case ${file#"$usr"/} in
    bin/* | share/applications/* | share/metainfo/* | share/icons/hicolor/* | share/man/man1/*) ;;
    share/doc/tinkora/copyright | share/doc/tinkora/changelog.Debian.gz) ;;
    share/doc/tinkora/examples/* | share/lintian/overrides/tinkora) ;;
    *) fail "unexpected file $file" ;;
    esac
done < <(find "$dest" -type f)

for program in "${programs[@]}"; do
    [[ -x $usr/bin/$program ]] || fail "$program is not installed in /usr/bin"
done
printed=$("$usr/bin/tinkora" --version 2>&1) || fail "tinkora --version failed: $printed"
[[ $printed == "tinkora $version" ]] || fail "tinkora --version printed '$printed'"

desktop=$usr/share/applications/$id.desktop
if [[ -f $desktop ]]; then
    ! have desktop-file-validate || desktop-file-validate "$desktop" || fail "$desktop is not valid"
    exec_line=$(sed -n 's/^Exec=//p' "$desktop")
    [[ -x $usr/bin/${exec_line%% *} ]] || fail "Exec=$exec_line names no installed program"
    [[ $(sed -n 's/^Icon=//p' "$desktop") == "$id" ]] || fail "the menu entry shows another icon"
else
    fail "no menu entry $desktop"
fi

# The icon of two computers joined by a cable, drawn at every size a menu or dock asks for.
icons=$usr/share/icons/hicolor
grep -q '<svg' "$icons/scalable/apps/$id.svg" 2>/dev/null || fail "no scalable icon"
for size in 32 48 64 128 256; do
    png=$icons/${size}x${size}/apps/$id.png
    if [[ ! -f $png ]]; then
        fail "no ${size}x${size} icon (rsvg-convert draws them: librsvg2-bin)"
        continue
    fi
    # The PNG header holds the width and height as 32-bit big-endian numbers at bytes 16 to 23.
    read -r width height < <(od -An -tu1 -j16 -N8 "$png" |
        awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
    [[ $width == "$size" && $height == "$size" ]] || fail "$png is ${width}x$height"
done

metainfo=$usr/share/metainfo/$id.metainfo.xml
if [[ -f $metainfo ]]; then
    if have appstreamcli; then
        appstreamcli validate --no-net "$metainfo" >/dev/null ||
            fail "$(appstreamcli validate --no-net "$metainfo")"
        # Across files: the metainfo's menu entry is there too.
        appstreamcli validate-tree --no-net "$dest" >/dev/null ||
            fail "$(appstreamcli validate-tree --no-net "$dest")"
    fi
    newest=$(grep -o '<release version="[^"]*"' "$metainfo" | head -n1 | cut -d'"' -f2)
    [[ $newest == "$version" ]] || fail "the metainfo's newest release is $newest, not $version"
else
    fail "no metainfo $metainfo"
fi

# Each program's page, of this version, with its options and no groff warning.
# Not grep -q on a pipe: leaving early breaks it and, with pipefail, fails the check.
check_man() {
    local page=$1 title=$2
    shift 2
    local man=$usr/share/man/man1/$page.1.gz
    if [[ ! -f $man ]]; then
        fail "no man page $man"
        return
    fi
    zcat "$man" | grep "^\.TH $title 1 .*\"Tinkora $version\"" >/dev/null ||
        fail "$page.1 is not of $version"
    for word in "$@"; do
        zcat "$man" | sed 's/\\-/-/g' | grep -- "$word" >/dev/null || fail "$page.1 says nothing of $word"
    done
    if have groff; then
        warnings=$(zcat "$man" | LC_ALL=C.UTF-8 groff -man -K utf8 -Tutf8 -ww -z 2>&1)
        [[ -z $warnings ]] || fail "groff on $page.1: $warnings"
    fi
}
check_man tinkora TINKORA --com1 --com2 --list --help --version /dev/serial/by-id dialout
check_man tinkora-send TINKORA-SEND --port --from --gap --wait --dry-run --skip-rests --wav \
    --help --version dialout RTTTL MIDI --track --channel --tempo --notes \
    /usr/share/doc/tinkora/examples tinkora-device
check_man tinkora-device TINKORA-DEVICE --link --eeprom --wav --help --version tinkora-send
for example in au-clair-de-la-lune.csv frere-jacques.rtttl ah-vous-dirai-je-maman.mid \
    ah-vous-dirai-je-maman.csv; do
    [[ -f $usr/share/doc/tinkora/examples/$example ]] || fail "the example $example is not installed"
done

[[ $failures -eq 0 ]] || exit 1
echo "installed tree checked: ${programs[*]}, menu entry, icons, metainfo, man page"
