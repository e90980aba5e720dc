#!/usr/bin/env bash
# Strips the program $1 in place as the release files ship it, as dh_strip
# strips, .comment too: by the strip $2 (default strip); where that is LLVM
# 14's, which refuses a static program GNU ld links, by the strip of the
# binutils of the compiler given after it (default c++).
set -euo pipefail
program=$1
strip=${2:-strip}
cxx=("${@:3}")
((${#cxx[@]})) || cxx=(c++)
if ! "$strip" --remove-section=.comment "$program" 2>/dev/null; then
  "$("${cxx[@]}" -print-prog-name=strip)" --remove-section=.comment "$program"
fi
