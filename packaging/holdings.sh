#!/usr/bin/env bash
# Finds, once, what the program holds, which every release file declares, and
# writes it to holdings.json in the build tree: pairs' own code, under
# REUSE.toml's copyright and licence, and, linked statically, the C library
# and GCC's C++ runtime that the linker's map names, each with the Debian
# package that installed it (owners.sh). Gathers their licences' texts and a
# NOTICE of them in the folder LICENCES. Usage: holdings.sh BUILD LINK
# LICENCES, where LINK is static, static-pie or dynamic, and BUILD holds
# package.sh's release.json.
set -euo pipefail
build=$1
link=$2
licenses=$3
here=$(dirname "$0")
fact() { jq -r "$1" "$build/release.json"; }
source_dir=$(fact .source)
link_map=$(fact .linkMap)
sysroot=$(fact .sysroot)
version=$(fact .version)
declare -A name=([libc]="GNU C Library" [libstdc++]="GCC runtime libraries (libstdc++, libgcc)")
declare -A spdx=([libc]=LGPL-2.1-or-later [libstdc++]="GPL-3.0-or-later WITH GCC-exception-3.1")
declare -A text=([libc]=LGPL-2.1 [libstdc++]=GPL-3)
# The version a library states of itself, where no package installed it.
declare -A states=([libc]='release version [0-9.]*[0-9]' [libstdc++]='GCC: ([^)]*) [0-9.]*[0-9]')
exception_end='^requirements of the license of GCC\.$'
reuse_field() { sed -n "s/^SPDX-$1 = \"\(.*\)\"\$/\1/p" "$source_dir/REUSE.toml"; }
mkdir "$licenses"
# Its mode the umask's, not the tree's: the .rpm records each file's mode, and a
# read-only tree's, or one checked out under umask 077, would change it.
cp --no-preserve=mode "$source_dir/LICENSE" "$licenses"
libraries=()
if [[ $link != dynamic ]]; then
  libraries=(libc libstdc++)
fi

declare -A archive owner
for library in "${libraries[@]}"; do
  path=$(grep -o "[^ (]*/$library\.a(" "$link_map" | sed -n '1s/($//p')
  if [[ -z $path ]]; then
    echo "pairs: $link_map names no $library.a; no file made" >&2
    exit 1
  fi
  archive[$library]=$(realpath -ms "$path")
done
# Their packages in one look-up, as each reads all of dpkg's database.
while IFS=$'\t' read -r path package; do
  owner[$path]=$package
done < <(for path in "${archive[@]}"; do echo "$path"; done | "$here/owners.sh" --sysroot "$sysroot")

for library in "${libraries[@]}"; do
  path=${archive[$library]}
  package=${owner[$path]}
  stated=""
  if [[ -z $package ]]; then
    echo "pairs: no Debian package installed $path; its source is unknown" >&2
    stated=$(grep -aoE "${states[$library]}" "$path" | sed -n '1s/.* //p') || true
  fi
  cp "/usr/share/common-licenses/${text[$library]}" "$licenses"
  if [[ $library == libstdc++ ]]; then
    # From the copyright file of the package that installed it, or else of the machine's GCC.
    doc=$sysroot/usr/share/doc/$(jq -r .name <<<"$package")
    sed -n "/^GCC RUNTIME LIBRARY EXCEPTION$/,/$exception_end/{p;/$exception_end/q}" \
      {"$doc",/usr/share/doc/gcc-*-base}/copyright >"$licenses/GCC-exception-3.1" 2>/dev/null || true
    if [[ ! -s $licenses/GCC-exception-3.1 ]]; then
      echo "pairs: no copyright file here gives the GCC Runtime Library Exception" \
        "(Debian: gcc-N-base); no file made" >&2
      exit 1
    fi
  fi
  jq -n '$ARGS.named' --arg id "$library" --arg name "${name[$library]}" \
    --arg version "${stated:-unknown}" --arg license "${spdx[$library]}" \
    --arg licenseText "${text[$library]}" --argjson package "${package:-null}"
done | jq -s -f "$here/holdings.jq" --arg link "$link" \
  --arg copyright "$(reuse_field FileCopyrightText)" --arg license "$(reuse_field License-Identifier)" \
  >"$build/holdings.json"

if ((${#libraries[@]})); then
  {
    printf 'pairs %s is under the MIT licence: see LICENSE.\n\n' "$version"
    jq -r --arg program "Its program" --arg version "$version" -f "$here/notice.jq" \
      "$build/holdings.json"
    echo "Their licences' texts are in the files beside this one."
  } >"$licenses/NOTICE"
fi
