#!/usr/bin/env bash
# End-to-end test of the installation, run by ctest after a full build:
#   install_test.sh BUILD_DIR SOURCE_DIR XML_ROOT BINDIR PROGRAM...
# installs BUILD_DIR into fresh prefixes, odd ones among them, and checks every
# installed file; PROGRAM... are the programs expected in BINDIR, XML_ROOT the
# XML checker.
set -euo pipefail

[ $# -ge 5 ] || { echo "usage: $0 BUILD_DIR SOURCE_DIR XML_ROOT BINDIR PROGRAM..." >&2; exit 2; }
build=$1
source=$2
xml_root=$3
bindir=$4
shift 4

quiz_files=(tet0.txt test1.txt test2.txt test3.txt)
case_name=setup
tmp=$(mktemp -d)

# Every cmake --install rewrites the build's install_manifest.txt; the list of a
# real installation is put back afterwards, so it still tells what to uninstall.
manifest=$build/install_manifest.txt
[ ! -e "$manifest" ] || cp -p "$manifest" "$tmp/manifest.saved"
finish() {
    if [ -e "$tmp/manifest.saved" ]; then
        cp -p "$tmp/manifest.saved" "$manifest"
    else
        rm -f "$manifest"
    fi
    rm -rf "$tmp"
}
trap finish EXIT
failures=0

fail() {
    echo "FAIL [$case_name]: $*" >&2
    failures=$((failures + 1))
}

# Installs the build into PREFIX, staged under DESTDIR when one is given.
install_into() {
    local prefix=$1 destdir=${2:-}
    if ! DESTDIR=$destdir cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1; then
        cat "$tmp/install.log" >&2
        echo "FAIL: cmake --install into $prefix failed" >&2
        exit 1
    fi
}

# The value of KEY in the [Desktop Entry] group of FILE; fails unless the key
# is there exactly once.
desktop_value() {
    local file=$1 key=$2 values
    values=$(awk -v key="$key" '
        /^\[/ { group = $0; next }
        group == "[Desktop Entry]" && index($0, key "=") == 1 { print substr($0, length(key) + 2) }
    ' "$file")
    if [ -z "$values" ] || [ "$(printf '%s\n' "$values" | wc -l)" -ne 1 ]; then
        echo "<key $key missing or repeated>"
        return
    fi
    printf '%s\n' "$values"
}

# The program named by an Exec value that holds one argument, decoded as a
# menu decodes it: first the string escapes of the entry, then the double
# quotes of the command line, then %% for a percent sign. A sequence that a
# menu would reject yields a text in angle brackets that names no program.
exec_program() {
    local value=$1 plain='' program='' i c
    for ((i = 0; i < ${#value}; i++)); do
        c=${value:i:1}
        if [ "$c" = '\' ]; then
            i=$((i + 1))
            case ${value:i:1} in
                '\') c='\' ;;
                s) c=' ' ;;
                t) c=$'\t' ;;
                n) c=$'\n' ;;
                r) c=$'\r' ;;
                *) echo "<invalid string escape in $value>"; return ;;
            esac
        fi
        plain+=$c
    done
    if [[ $plain == \"*\" ]]; then
        plain=${plain:1:${#plain}-2}
        for ((i = 0; i < ${#plain}; i++)); do
            c=${plain:i:1}
            case $c in
                '\')
                    i=$((i + 1))
                    c=${plain:i:1}
                    case $c in
                        '"' | '`' | '$' | '\') ;;
                        *) echo "<invalid quoting in $value>"; return ;;
                    esac
                    ;;
                '"' | '`' | '$') echo "<unescaped $c in $value>"; return ;;
            esac
            program+=$c
        done
    elif [[ $plain == *[[:space:]\"\'\\\>\<~\|\&\;\$\*\?\#\(\)\`]* ]]; then
        echo "<reserved character outside quotes in $value>"
        return
    else
        program=$plain
    fi
    printf '%s\n' "${program//%%/%}"
}

has_cyrillic() {
    printf '%s' "$1" | LC_ALL=C grep -q $'[\xd0\xd1][\x80-\xbf]'
}

check_installed_tree() {
    local root=$1 prefix=$2
    shift 2
    local program file entry icon
    for program in "$@"; do
        [ -f "$root/$bindir/$program" ] && [ -x "$root/$bindir/$program" ] \
            || fail "$bindir/$program is missing or not executable"
    done
    for file in "${quiz_files[@]}"; do
        cmp -s "$source/quizzes/$file" "$root/share/quizladder/quizzes/$file" \
            || fail "share/quizladder/quizzes/$file is missing or differs from quizzes/$file"
    done

    entry=$root/share/applications/quizladder.desktop
    if [ ! -f "$entry" ]; then
        fail "share/applications/quizladder.desktop is missing"
    else
        iconv -f UTF-8 -t UTF-8 "$entry" >/dev/null 2>&1 || fail "the menu entry is not valid UTF-8"
        [ "$(head -n 1 "$entry")" = "[Desktop Entry]" ] || fail "the menu entry does not start with [Desktop Entry]"
        local key expected actual
        while IFS='|' read -r key expected; do
            actual=$(desktop_value "$entry" "$key")
            [ "$actual" = "$expected" ] || fail "menu entry $key is '$actual', expected '$expected'"
        done <<EOF
Type|Application
Icon|quizladder
Terminal|false
EOF
        for key in Name 'Name[ru]' Comment 'Comment[ru]'; do
            actual=$(desktop_value "$entry" "$key")
            has_cyrillic "$actual" || fail "menu entry $key is '$actual', expected a Russian text"
        done
        actual=$(desktop_value "$entry" Categories)
        [[ ";$actual" == *";Game;"* ]] || fail "menu entry Categories is '$actual', expected Game; among them"
        actual=$(desktop_value "$entry" Exec)
        [[ $actual == *" --user-folder %f" ]] || fail "menu entry Exec is '$actual', expected --user-folder %f at its end"
        actual=$(exec_program "${actual% --user-folder %f}")
        [ "$actual" = "$prefix/$bindir/quizladder" ] \
            || fail "menu entry Exec names '$actual', expected '$prefix/$bindir/quizladder'"
        if command -v desktop-file-validate >/dev/null; then
            desktop-file-validate "$entry" >&2 || fail "desktop-file-validate rejects the menu entry"
        fi
    fi

    icon=$root/share/icons/hicolor/scalable/apps/quizladder.svg
    if [ ! -f "$icon" ]; then
        fail "share/icons/hicolor/scalable/apps/quizladder.svg is missing"
    else
        cmp -s "$source/data/quizladder.svg" "$icon" || fail "the installed icon differs from data/quizladder.svg"
        actual=$("$xml_root" "$icon") || fail "the icon is not well-formed XML"
        [ "$actual" = "{http://www.w3.org/2000/svg}svg" ] \
            || fail "the icon's root element is '$actual', expected an SVG <svg> element"
    fi
}

# name | prefix | DESTDIR
while IFS='|' read -r name prefix destdir; do
    case_name=$name
    install_into "$prefix" "$destdir"
    check_installed_tree "$destdir$prefix" "$prefix" "$@"
    echo "done [$name]"
done <<EOF
plain prefix|$tmp/prefix|
prefix with blanks and shell characters|$tmp/my "games" \$HOME's 100%|
staged under DESTDIR for packaging|/opt/quizladder|$tmp/stage
EOF

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
