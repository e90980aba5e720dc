#!/usr/bin/env bash
# Finds what built the release, for its bill of materials: the Debian package
# of each program the build ran, both as it called it and as that resolves
# (c++, an alternative, is g++'s, then g++-12's), and of each file the program
# was compiled or linked against (owners.sh). Prints each as a JSON object a
# line, with its relationship to what it built, `of`; a program that no
# package installed, by the version it gives. Reads PAIRS_WORK/programs, the
# programs that made each release file, one a line: the file, a tab, the path;
# of those, the programs of the files made so far, which PAIRS_WORK/made names.
set -euo pipefail
here=$(dirname "$0")
cxx=("$PAIRS_CXX" ${PAIRS_CXX_TARGET:+"--target=$PAIRS_CXX_TARGET"})

# Prints the path $1 and, where it is a link, each path it leads to in turn.
resolve() {
  local path=$1
  local target
  echo "$path"
  while [[ -L $path ]]; do
    target=$(readlink "$path")
    if [[ $target != /* ]]; then
      target=$(dirname "$path")/$target
    fi
    path=$(realpath -ms "$target")
    echo "$path"
  done
}

# The programs that built pairs: those CMake ran, and those the compiler runs
# as -### shows them, with the linker, which GCC's collect2 runs.
IFS=: read -ra called <<<"$PAIRS_PROGRAMS"
mapfile -t -O "${#called[@]}" called < <("${cxx[@]}" -### "$PAIRS_SOURCE_DIR/main.cpp" \
  -o /dev/null 2>&1 | sed -n 's/^ "\{0,1\}\([^" ]*\).*/\1/p')
called+=("$("${cxx[@]}" -print-prog-name=ld)")
{
  for program in "${called[@]}"; do
    if path=$(command -v "$program"); then
      printf 'pairs\t%s\n' "$path"
    fi
  done
  sed 's/$/\t/' "$PAIRS_WORK/made" | grep -Ff - "$PAIRS_WORK/programs"
} | sort -u >"$PAIRS_WORK/built"
# The files pairs was compiled against, from the compiler's dependency file
# (less its target and main.cpp), and linked against, from the linker's map.
{
  sed -e 's/\\ /\x01/g' -e 's/ \\$//' "$PAIRS_OBJECT.d" | tr ' ' '\n' | grep . | tail -n +3 |
    tr '\001' ' '
  sed -n 's|^LOAD \(/.*\)|\1|p' "$PAIRS_LINK_MAP"
} | xargs -d '\n' realpath -ms | sort -u >"$PAIRS_WORK/inputs"

declare -A package
while IFS=$'\t' read -r path owner; do
  package[$path]=$owner
done < <(while IFS=$'\t' read -r _ program; do
  resolve "$program"
done <"$PAIRS_WORK/built" | cat - "$PAIRS_WORK/inputs" | sort -u | "$here/owners.sh")

while IFS=$'\t' read -r of program; do
  mapfile -t paths < <(resolve "$program")
  owned=""
  for path in "${paths[@]}"; do
    if [[ -n ${package[$path]} ]]; then
      printf 'BUILD_TOOL_OF\t%s\t%s\n' "$of" "${package[$path]}"
      owned=yes
    fi
  done
  if [[ -z $owned ]]; then
    echo "pairs: no Debian package installed $program; its source is unknown" >&2
    version=$("$program" --version 2>/dev/null | grep -oE '[0-9]+(\.[0-9]+)+' | head -1) || true
    tool=$(jq -nc --arg name "${program##*/}" --arg version "${version:-unknown}" '{$name, $version}')
    printf 'BUILD_TOOL_OF\t%s\t%s\n' "$of" "$tool"
  fi
done <"$PAIRS_WORK/built" >"$PAIRS_WORK/relations"
unowned=0
while IFS= read -r path; do
  if [[ -n ${package[$path]} ]]; then
    printf 'BUILD_DEPENDENCY_OF\tpairs\t%s\n' "${package[$path]}"
  else
    unowned=$((unowned + 1))
  fi
done <"$PAIRS_WORK/inputs" >>"$PAIRS_WORK/relations"
if ((unowned)); then
  echo "pairs: no Debian package installed $unowned of the files it was compiled or linked" \
    "against; the bill of materials names none of them" >&2
fi
sort -u "$PAIRS_WORK/relations" | while IFS=$'\t' read -r relationship of owner; do
  jq -c --arg relationship "$relationship" --arg of "$of" '. + {$relationship, $of}' <<<"$owner"
done
