#!/usr/bin/env bash
# The Debian package as a player gets it, made from the build in a scratch
# folder: its fields, what it holds, and the programs, menu entry, metainfo and
# manuals unpacked from it (nothing is installed here). Then an install into an
# odd prefix, and the run paths.
#   package_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build=$1 source=$2 tmp=$(mktemp -d) failures=0
# An install rewrites the build's list of installed files: the list of a real one is put back.
[ ! -e "$build/install_manifest.txt" ] || cp "$build/install_manifest.txt" "$tmp/manifest"
trap 'if [ -e "$tmp/manifest" ]; then cp "$tmp/manifest" "$build/install_manifest.txt"; else rm -f "$build/install_manifest.txt"; fi; rm -rf "$tmp"' EXIT
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1 || { cat "$tmp/cpack.log" >&2; exit 1; }
deb=$(ls "$tmp"/out/*.deb)
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(basename "$deb")" = "quizladder_$(field Version)_$(dpkg --print-architecture).deb" ] || fail "named $(basename "$deb")"
while IFS='|' read -r name pattern; do  # field | a pattern its value must match
    [[ $(field "$name") =~ $pattern ]] || fail "$name is '$(field "$name")', expected /$pattern/"
done <<'FIELDS'
Section|^games$
Maintainer|^[^<]+ <[^@]+@[^>]+>$
Depends|(^|, )libqt6widgets6 \(>= [0-9.]+\)
Depends|(^|, )fonts-liberation2(,|$)
Depends|(^|, )qt6-qpa-plugins(,|$)
FIELDS
description=$(field Description)
[[ $(head -n 1 <<<"$description") =~ ^[a-z].{10,78}[^.]$ ]] && [ "$(wc -l <<<"$description")" -ge 4 ] \
    || fail "Description wants a summary line and a long description: '$description'"

dpkg-deb --contents "$deb" >"$tmp/contents"
awk '$2 != "root/root" || $6 !~ /^\.\/(usr\/)?$|^\.\/usr\// { print "FAIL: " $0; bad = 1 } END { exit bad }' \
    "$tmp/contents" >&2 || fail "files not owned by root or outside /usr"
for path in games/quizladder games/quizcheck games/quizedit share/applications/quiz{ladder,edit}.desktop \
    share/icons/hicolor/scalable/apps/quiz{ladder,edit}.svg share/metainfo/org.example.quiz{ladder,edit}.metainfo.xml \
    share/doc/quizladder/copyright \
    share/doc/quizladder/changelog.gz share/quizladder/quizzes/tet0.txt \
    share/man/{,ru/}man6/quizladder.6.gz share/man/{,ru/}man1/quiz{check,edit}.1.gz \
    share/doc/quizladder/examples/questions.csv; do
    grep -q " \./usr/$path\$" "$tmp/contents" || fail "the package lacks /usr/$path"
done

root=$tmp/root
dpkg-deb -x "$deb" "$root"
for program in quizladder quizcheck quizedit; do
    out=$(env -u DISPLAY -u WAYLAND_DISPLAY "$root/usr/games/$program" --version) || fail "$program --version failed"
    [[ $out == *"$(field Version)"* ]] || fail "$program --version says '$out'"
done
"$root/usr/games/quizladder" --no-such-option 2>"$tmp/err" && status=0 || status=$?
[ "$status" = 2 ] && grep -q -- --no-such-option "$tmp/err" || fail "an unknown option: status $status, '$(cat "$tmp/err")'"
diff -r "$source/quizzes" "$root/usr/share/quizladder/quizzes" >&2 || fail "the packaged quizzes differ from quizzes/"
(cd "$root/usr/share/quizladder/quizzes" && "$root/usr/games/quizcheck" >"$tmp/check") \
    || fail "quizcheck finds errors in the bundled quizzes: $(cat "$tmp/check")"
# quizedit gives every bundled quiz back byte for byte, and makes a quiz that passes quizcheck of the sample sheet.
for quiz in "$source"/quizzes/test?.txt "$root/usr/share/doc/quizladder/examples/questions.csv"; do
    "$root/usr/games/quizedit" --convert "$quiz" --output "$tmp/converted.txt" >"$tmp/convert.log" \
        || fail "quizedit cannot convert ${quiz#"$root"}: $(cat "$tmp/convert.log")"
    [[ $quiz == *.csv ]] || cmp -s "$quiz" "$tmp/converted.txt" || fail "quizedit changes ${quiz#"$source/"}"
done
"$root/usr/games/quizcheck" "$tmp/converted.txt" >"$tmp/check" || fail "quizcheck on the converted sheet: $(cat "$tmp/check")"
entry=$root/usr/share/applications/quizladder.desktop
grep -qx 'Exec=/usr/games/quizladder --user-folder %f' "$entry" || fail "the menu entry does not start the game"
sed -n '/^\[Desktop Action fullscreen\]/,$p' "$entry" | grep -qx 'Exec=/usr/games/quizladder --user-folder --fullscreen %f' \
    && grep -qx 'Actions=fullscreen;' "$entry" || fail "the menu entry lacks its full-screen action"
desktop-file-validate "$entry" >&2 || fail "desktop-file-validate"
editor=$root/usr/share/applications/quizedit.desktop
grep -qx 'Exec=/usr/games/quizedit %f' "$editor" && grep -qx 'Name=Редактор викторин' "$editor" \
    && grep -qx 'Categories=Education;' "$editor" || fail "the editor's menu entry: $(cat "$editor")"
desktop-file-validate "$editor" >&2 || fail "desktop-file-validate (the editor)"
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml >&2 || fail "appstreamcli validate"
for page in "$root"/usr/share/man/{,ru/}man?/*.gz; do
    locales=(C.UTF-8)  # the English pages also in the plain C and POSIX locales, where troff knows no Cyrillic
    [[ $page == */ru/* ]] || locales+=(C POSIX)
    for locale in "${locales[@]}"; do
        warnings=$(LANG=$locale LC_ALL=$locale MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
        [ -z "$warnings" ] || fail "man warns about ${page#"$root"} in $locale: $warnings"
    done
done
lintian --fail-on error "$deb" >&2 || fail "lintian reports errors"

# A prefix with blanks and shell characters: the menu entry quotes it as menus decode it.
prefix="$tmp/my \"games\" \$HOME's 100%"
DESTDIR=$tmp/stage cmake --install "$build" --prefix "$prefix" >"$tmp/install.log" 2>&1 || { cat "$tmp/install.log" >&2; exit 1; }
entry="$tmp/stage$prefix/share/applications/quizladder.desktop"
[ -x "$tmp/stage$prefix/games/quizladder" ] || fail "no program under the odd prefix"
grep -qxF "Exec=\"$tmp/my \\\\\"games\\\\\" \\\\\$HOME's 100%%/games/quizladder\" --user-folder %f" "$entry" \
    || fail "the menu entry under an odd prefix: $(grep Exec= "$entry")"
grep -qxF "Exec=\"$tmp/my \\\\\"games\\\\\" \\\\\$HOME's 100%%/games/quizedit\" %f" "${entry%/*}/quizedit.desktop" \
    || fail "the editor's menu entry under an odd prefix: $(grep Exec= "${entry%/*}/quizedit.desktop")"
desktop-file-validate "$entry" "${entry%/*}/quizedit.desktop" >&2 || fail "desktop-file-validate (odd prefix)"

# No empty or "." entry in a run path: the play folder must not supply libraries.
for program in "$build/quizladder" "$build/quizcheck" "$build/quizedit" "$root"/usr/games/*; do
    paths=$(readelf -d "$program" | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]$/\2/p')
    [[ -z $paths || (":$paths:" != *"::"* && ":$paths:" != *":.:"*) ]] || fail "$program: run path '$paths'"
done
[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "package checked: $(basename "$deb")"
