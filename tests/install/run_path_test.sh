#!/usr/bin/env bash
# The programs must not look for libraries in the folder they are started
# from: an empty or "." entry in their run path would let a play folder
# supply libraries. Usage: run_path_test.sh PROGRAM...
set -euo pipefail
status=0
for program in "$@"; do
  paths=$(readelf -d "$program" | sed -n 's/.*(\(RPATH\|RUNPATH\)).*\[\(.*\)\]$/\2/p')
  [ -n "$paths" ] || continue
  if [[ ":$paths:" == *"::"* || ":$paths:" == *":.:"* ]]; then
    echo "$program: run path '$paths' includes the current folder" >&2
    status=1
  fi
done
exit $status
