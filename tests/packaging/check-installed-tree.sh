#!/usr/bin/env bash
# Checks the installed program as a user gets it, from `cmake --install` in a scratch prefix or from
# the Debian package in /usr:
#   check-installed-tree.sh CASE BUILD_DIR PREFIX PROJECT_VERSION
# install:  deletes PREFIX and installs the build there, for the other cases to read.
# commands: the installed executable's --help and --list work with no display and no library
#           path, and it finds its window module where the tree puts it.
# desktop, metainfo, manpage: the validators and linters desktop environments, software centres
#           and Debian apply, plus the links between the files (icon names, launchable, release).
set -euo pipefail
case=$1 build=$2 prefix=$3 version=$4
executable=$prefix/bin/kavrin-rgb-studio
desktop=$prefix/share/applications/kavrin-rgb-studio.desktop
metainfo=$prefix/share/metainfo/com.kavrin.rgbstudio.metainfo.xml

fail() {
    echo "FAIL ($case): $*" >&2
    exit 1
}

present() { # file...
    local file
    for file; do
        [ -f "$file" ] || fail "not installed: ${file#"$prefix"/}"
    done
}

run() { # arguments...: the installed executable as a user over SSH would start it
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM -u LD_LIBRARY_PATH "$executable" "$@"
}

# The value of a desktop entry key, or of an XML element's text.
desktop_key() { sed -n "s/^$1=//p" "$desktop"; }
xml_text() { sed -n "s:.*<$1[^>]*>\([^<]*\)</$1>.*:\1:p" "$metainfo" | head -n 1; }

case $case in
install)
    rm -rf "$prefix"
    cmake --install "$build" --prefix "$prefix" >/dev/null
    present "$executable" "$prefix/lib/udev/rules.d/60-kavrin-rgb-studio.rules"
    ;;
commands)
    usage=$(run --help) || fail "--help exited with status $?"
    grep -q -- "^--list " <<<"$usage" || fail "--help printed no usage: $usage"
    listing=$(run --list) || fail "--list exited with status $?"
    [[ $listing == "["* ]] || fail "--list printed no JSON array: $listing"
    # A module that loads says that there is no display; one that is not found says so instead.
    error=$(run --demo 2>&1 >/dev/null) && fail "--demo without a display succeeded"
    [[ $error == 无法打开窗口：* ]] || fail "the window module did not load: $error"
    ;;
desktop)
    present "$desktop"
    desktop-file-validate "$desktop"
    present "$prefix/share/icons/hicolor/scalable/apps/$(desktop_key Icon).svg"
    [ -x "$prefix/bin/$(desktop_key Exec)" ] || fail "Exec names no installed executable"
    ;;
metainfo)
    present "$metainfo"
    appstreamcli validate --no-net "$metainfo"
    present "$prefix/share/applications/$(xml_text launchable)" \
        "$prefix/share/icons/hicolor/scalable/apps/$(xml_text icon).svg"
    release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$metainfo" | head -n 1)
    [ "$release" = "$version" ] || fail "newest release is $release, the project is $version: add its release entry"
    ;;
manpage)
    page=$prefix/share/man/man1/kavrin-rgb-studio.1
    present "$page"
    mandoc -T lint -W warning "$page"
    ;;
*) fail "unknown case" ;;
esac
echo "PASS ($case)"
