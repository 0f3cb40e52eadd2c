#!/usr/bin/env bash
# The game links none of the converters, the editor and quiz documents: they
# live in quizedit and add nothing to the game's start. Their symbols are
# looked for in both programs: quizedit has them (so the patterns find what
# they are meant to), the game has none.
#   game_links.sh GAME EDITOR
set -euo pipefail
game=$1 editor=$2
patterns='convert::|quizedit::|quiz::(readDocument|writeDocument|QuizDocument|writeFileWhole)'

editorSymbols=$(nm -C "$editor")
gameSymbols=$(nm -C "$game")
for part in 'convert::' 'quizedit::' 'quiz::readDocument' 'quiz::writeDocument' 'quiz::writeFileWhole'; do
  grep -qF "$part" <<<"$editorSymbols" || { echo "quizedit has no $part: the check looks for the wrong names" >&2; exit 1; }
done
if found=$(grep -E "$patterns" <<<"$gameSymbols"); then
  echo "the game links what only quizedit needs:" >&2
  head -n 20 <<<"$found" >&2
  exit 1
fi
echo "the game links none of the converters, the editor and quiz documents"
