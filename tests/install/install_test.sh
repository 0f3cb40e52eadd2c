#!/usr/bin/env bash
# End-to-end tests of the installation, run by ctest after a full build:
#   install_test.sh BUILD_DIR SOURCE_DIR files XML_ROOT PROGRAM...
#       installs BUILD_DIR into fresh prefixes and checks every installed file;
#       PROGRAM... are the programs expected in bin/, XML_ROOT the XML checker.
#   install_test.sh BUILD_DIR SOURCE_DIR launcher
#       runs the installed launcher with a stand-in for the game that prints
#       its working folder instead of opening a window.
set -euo pipefail

[ $# -ge 3 ] || { echo "usage: $0 BUILD_DIR SOURCE_DIR files|launcher [ARGS...]" >&2; exit 2; }
build=$1
source=$2
group=$3
shift 3

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
    local root=$1 prefix=$2 xml_root=$3
    shift 3
    local program file entry icon
    for program in "$@"; do
        [ -f "$root/bin/$program" ] && [ -x "$root/bin/$program" ] \
            || fail "bin/$program is missing or not executable"
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
        actual=$(exec_program "$(desktop_value "$entry" Exec)")
        [ "$actual" = "$prefix/bin/quizladder-launcher" ] \
            || fail "menu entry Exec names '$actual', expected '$prefix/bin/quizladder-launcher'"
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

run_files() {
    [ $# -ge 1 ] || { echo "usage: $0 BUILD_DIR SOURCE_DIR files XML_ROOT PROGRAM..." >&2; exit 2; }
    local xml_root=$1
    shift
    local name prefix destdir
    # name | prefix | DESTDIR
    while IFS='|' read -r name prefix destdir; do
        case_name=$name
        install_into "$prefix" "$destdir"
        check_installed_tree "$destdir$prefix" "$prefix" "$xml_root" "$@"
        echo "done [$name]"
    done <<EOF
plain prefix|$tmp/prefix|
prefix with blanks and shell characters|$tmp/my "games" \$HOME's 100%|
staged under DESTDIR for packaging|/opt/quizladder|$tmp/stage
EOF
}

# Runs the launcher named by the first argument with the environment given
# before it; its standard output and error land in $tmp/out and $tmp/err.
run_launcher() {
    local status=0
    (cd "$tmp/cwd" && env "$@" >"$tmp/out" 2>"$tmp/err") || status=$?
    return $status
}

# Checks that the last run played in FOLDER and left exactly the four quiz files there.
check_played_in() {
    local folder=$1 file
    if [ ! -d "$folder" ]; then
        fail "the play folder $folder was not created (stderr: $(cat "$tmp/err"))"
        return
    fi
    [ "$(cat "$tmp/out")" = "$(cd "$folder" && pwd -P)" ] \
        || fail "the game ran in '$(cat "$tmp/out")', expected $folder (stderr: $(cat "$tmp/err"))"
    [ "$(ls -A "$folder" | LC_ALL=C sort)" = "$(printf '%s\n' "${quiz_files[@]}" | LC_ALL=C sort)" ] \
        || fail "the play folder holds: $(ls -A "$folder" | tr '\n' ' ')"
}

run_launcher_cases() {
    local prefix="$tmp/my games" launcher game folder file status
    install_into "$prefix"
    launcher=$prefix/bin/quizladder-launcher
    game=$prefix/bin/quizladder
    # The stand-in for the game reports where it was started.
    printf '#!/bin/sh\npwd -P\n' >"$game"
    chmod +x "$game"
    mkdir -p "$tmp/cwd" "$tmp/home" "$tmp/links"
    local before
    before=$(cd "$prefix" && find . -type f -exec cksum {} + | sort)

    case_name="a fresh folder is filled once and the game plays in it"
    folder=$tmp/data/quizladder
    run_launcher HOME="$tmp/home" XDG_DATA_HOME="$tmp/data" "$launcher" || fail "the launcher failed: $(cat "$tmp/err")"
    check_played_in "$folder"
    for file in "${quiz_files[@]}"; do
        cmp -s "$source/quizzes/$file" "$folder/$file" || fail "$file in the play folder differs from quizzes/$file"
    done
    [ -z "$(ls -A "$tmp/home")" ] || fail "the launcher wrote into HOME: $(ls -A "$tmp/home")"
    [ -z "$(ls -A "$tmp/cwd")" ] || fail "the launcher wrote into the current folder: $(ls -A "$tmp/cwd")"
    echo "done [$case_name]"

    case_name="a changed counter and quiz are kept, a deleted quiz is restored"
    printf '1' >"$folder/tet0.txt"
    printf 'edited by the player\n' >>"$folder/test3.txt"
    cp "$folder/test3.txt" "$tmp/test3.edited"
    rm "$folder/test2.txt"
    run_launcher HOME="$tmp/home" XDG_DATA_HOME="$tmp/data" "$launcher" || fail "the launcher failed: $(cat "$tmp/err")"
    check_played_in "$folder"
    [ "$(cat "$folder/tet0.txt")" = "1" ] || fail "the counter was overwritten: '$(cat "$folder/tet0.txt")'"
    cmp -s "$tmp/test3.edited" "$folder/test3.txt" || fail "the edited test3.txt was overwritten"
    cmp -s "$source/quizzes/test2.txt" "$folder/test2.txt" || fail "the deleted test2.txt was not restored"
    echo "done [$case_name]"

    # name | HOME | XDG_DATA_HOME ("-" when unset) | expected play folder | how the launcher is started
    local name home xdg how program environment
    while IFS='|' read -r name home xdg folder how; do
        case_name=$name
        environment=(HOME="$home")
        [ "$xdg" = "-" ] || environment+=(XDG_DATA_HOME="$xdg")
        case $how in
            path) program=quizladder-launcher; environment+=(PATH="$prefix/bin:$PATH") ;;
            symlink) ln -sf "$launcher" "$tmp/links/ql"; program=$tmp/links/ql ;;
            menu) program=$(exec_program "$(desktop_value "$prefix/share/applications/quizladder.desktop" Exec)") ;;
            *) program=$launcher ;;
        esac
        run_launcher -u XDG_DATA_HOME "${environment[@]}" "$program" || fail "the launcher failed: $(cat "$tmp/err")"
        check_played_in "$folder"
        echo "done [$name]"
    done <<EOF
without XDG_DATA_HOME the folder is under HOME|$tmp/home-a|-|$tmp/home-a/.local/share/quizladder|direct
an empty XDG_DATA_HOME is ignored|$tmp/home-b||$tmp/home-b/.local/share/quizladder|direct
a relative XDG_DATA_HOME is ignored|$tmp/home-c|data|$tmp/home-c/.local/share/quizladder|direct
started through PATH|$tmp/home|$tmp/data-d|$tmp/data-d/quizladder|path
started through a symbolic link elsewhere|$tmp/home|$tmp/data-e|$tmp/data-e/quizladder|symlink
started as the menu entry says|$tmp/home|$tmp/data-f|$tmp/data-f/quizladder|menu
EOF
    [ -z "$(ls -A "$tmp/cwd")" ] || fail "the launcher wrote into the current folder: $(ls -A "$tmp/cwd")"

    case_name="the installation is left untouched"
    [ "$(cd "$prefix" && find . -type f -exec cksum {} + | sort)" = "$before" ] \
        || fail "files under the prefix changed while playing"
    echo "done [$case_name]"

    case_name="missing quizzes stop the launcher before anything is written"
    local broken=$tmp/broken
    cp -a "$prefix" "$broken"
    rm "$broken/share/quizladder/quizzes/test2.txt"
    status=0
    run_launcher HOME="$tmp/home" XDG_DATA_HOME="$tmp/data-g" "$broken/bin/quizladder-launcher" || status=$?
    [ "$status" -ne 0 ] || fail "the launcher succeeded without test2.txt"
    grep -q "test2.txt" "$tmp/err" || fail "the message does not name the missing file: '$(cat "$tmp/err")'"
    [ ! -s "$tmp/out" ] || fail "the game was started: '$(cat "$tmp/out")'"
    [ ! -e "$tmp/data-g" ] || fail "the launcher created $tmp/data-g"
    echo "done [$case_name]"
}

case $group in
    files) run_files "$@" ;;
    launcher) run_launcher_cases ;;
    *) echo "unknown group '$group'" >&2; exit 2 ;;
esac

if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed" >&2
    exit 1
fi
