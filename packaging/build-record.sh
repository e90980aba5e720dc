#!/usr/bin/env bash
# Finds what built the release files named after BUILD, for their bill of
# materials, and prints each a line: its relationship to what it built, a tab,
# what it built, a tab, and its JSON object:
# - BUILD_TOOL_OF the release file it made, or of pairs: the Debian package
#   that installed each program the build ran, as it called it or as that
#   resolves (c++, an alternative, is g++-12's), by owners.sh; or a program
#   that no package installed, by the version it gives;
# - BUILD_DEPENDENCY_OF pairs: every package of the installed closure of
#   those and of packaging/control's Build-Depends, as dpkg-genbuildinfo finds
#   it (its Installed-Build-Depends, with build-essential and the essential
#   packages), and the packages a cross build's sysroot was made of.
# Reads BUILD/release.json: the programs that made each release file, the
# compiler and the programs CMake ran. Usage: build-record.sh BUILD FILE...
set -euo pipefail
build=$1
shift
: "${SOURCE_DATE_EPOCH:?set by package.sh}"
here=$(dirname "$0")
release=$build/release.json
fact() { jq -r "$1" "$release"; }
mapfile -t cxx < <(fact '.compiler[]')
sysroot=$(fact .sysroot)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The programs that built pairs: those CMake ran, and those the compiler runs
# as -### shows them, with the linker, which GCC's collect2 runs.
mapfile -t called < <(fact '.programs[]')
mapfile -t -O "${#called[@]}" called < <("${cxx[@]}" -### "$(fact .source)/main.cpp" \
  -o /dev/null 2>&1 | sed -n 's/^ "\{0,1\}\([^" ]*\).*/\1/p')
called+=("$("${cxx[@]}" -print-prog-name=ld)")
{
  for program in "${called[@]}"; do
    if path=$(command -v "$program"); then
      printf 'pairs\t%s\n' "$path"
    fi
  done
  for file; do
    jq -r '.madeBy[$ARGS.positional[0]][]?' "$release" --args "$file" | sed "s/^/$file\t/"
  done
} | sort -u >"$work/built"
# Each as called and as it resolves, and the package of each path.
declare -A resolved package
cut -f2 "$work/built" | sort -u >"$work/called"
while IFS=$'\t' read -r path real; do
  resolved[$path]=$real
done < <(paste "$work/called" <(xargs -d '\n' realpath -m <"$work/called"))
while IFS=$'\t' read -r path owner; do
  package[$path]=$owner
done < <(printf '%s\n' "${!resolved[@]}" "${resolved[@]}" | sort -u | "$here/owners.sh" --sysroot "$sysroot")

while IFS=$'\t' read -r of program; do
  mapfile -t tools < <(printf '%s\n' "${package[$program]}" "${package[${resolved[$program]}]}" |
    sed '/^$/d')
  if ((${#tools[@]} == 0)); then
    echo "pairs: no Debian package installed $program; its source is unknown" >&2
    version=$("$program" --version 2>/dev/null | grep -oE '[0-9]+(\.[0-9]+)+' | head -1) || true
    tools=("$(jq -nc --arg name "${program##*/}" --arg version "${version:-unknown}" \
      '{$name, $version}')")
  fi
  for tool in "${tools[@]}"; do
    printf 'BUILD_TOOL_OF\t%s\t%s\n' "$of" "$tool"
  done
done <"$work/built" >"$work/relations"

# dpkg-genbuildinfo finds the closure of a source package's Build-Depends,
# here the declared ones and the tools' packages, for a .buildinfo, which it
# dates by the clock, and whose Source, Version and one release file's
# checksum it needs: of it, only the closure is kept.
depends=$({ sed -n 's/^Build-Depends: //p' "$here/control"
  cut -f3 "$work/relations" | jq -r 'select(.architecture) | .name'; } | paste -sd,)
printf 'Source: pairs\nBuild-Depends: %s\n\nPackage: pairs\nArchitecture: any\n' "$depends" \
  >"$work/buildinfo.control"
printf 'pairs (%s) unstable; urgency=medium\n\n  * Released.\n\n -- %s  %s\n' "$(fact .version)" \
  "$(fact .maintainer)" "$(date -uR -d "@$SOURCE_DATE_EPOCH")" >"$work/buildinfo.changelog"
echo "$1 - -" >"$work/buildinfo.files"
dpkg-genbuildinfo --build=any -O -c"$work/buildinfo.control" \
  -l"$work/buildinfo.changelog" -f"$work/buildinfo.files" -u"$build" |
  sed -n '/^Installed-Build-Depends:/,/^[^ ]/s/^ \([^ ]*\) .*/\1/p' |
  cat - <(printf '%s\n' ${sysroot:+"$sysroot"/debs/*.deb}) | "$here/owners.sh" --packages |
  sed 's/^/BUILD_DEPENDENCY_OF\tpairs\t/' >>"$work/relations"
sort -u "$work/relations"
