#!/usr/bin/env bash
# Writes pairs' release files into the build tree, each once, by the tool that
# owns its format (doc/packaging.md): `package.sh source SOURCE BUILD` the
# source tarball; `package.sh binary SOURCE BUILD` the others, from one staged
# install, stripped, by the writers beside this script, after holdings.sh has
# found what the program holds. The facts the writers share, and the programs
# that made each file, for its bill of materials, it writes once, to
# BUILD/release.json (doc/packaging.md); each writer is given BUILD and the
# folders it packs.
set -euo pipefail
kind=$1
source_dir=$(realpath "$2")
build=$3
# Set by CMake: CHANGELOG.md's entries' dates, latest first, the compiler for
# the target (PAIRS_CXX_TARGET and PAIRS_SYSROOT empty for its own), its
# strip, the linker's map, the configuration to install, and the programs
# CMake itself ran; lists :-separated.
: "${PAIRS_VERSION:?set by CMake}" "${PAIRS_SUMMARY:?set by CMake}" "${PAIRS_DATES:?set by CMake}"
: "${PAIRS_CXX:?set by CMake}"
: "${PAIRS_CXX_TARGET?set by CMake}" "${PAIRS_SYSROOT?set by CMake}" "${PAIRS_STRIP:?set by CMake}"
: "${PAIRS_LINK_MAP:?set by CMake}" "${PAIRS_CONFIG:?set by CMake}" "${PAIRS_PROGRAMS:?set by CMake}"
here=$(dirname "$(realpath "$0")")
release=$build/release.json
umask 022
export LC_ALL=C
unset TAR_OPTIONS GZIP
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Every time stamp is the release's date, its CHANGELOG.md entry's, unless
# the packager sets SOURCE_DATE_EPOCH; each entry's date is its changelog's.
IFS=: read -ra dates <<<"$PAIRS_DATES"
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(date -u -d "${dates[0]}" +%s)}
export SOURCE_DATE_EPOCH

# The programs that the making of every release file runs, and of the source tarball.
common_programs=(bash sed grep cp)
source_programs=(tar gzip)
# In a git work tree of its own, the source tarball is made of the files git tracks.
in_git=""
if [[ $(cd "$source_dir" && git rev-parse --show-toplevel 2>/dev/null) -ef $source_dir ]]; then
  in_git=yes
  source_programs+=(git)
fi
# True where each program that the release file $1 needs (those after it, and
# the common ones) is installed; else says which is missing, and that $1 is
# not made. Sets paths to theirs.
have() {
  local program
  paths=()
  for program in "${common_programs[@]}" "${@:2}"; do
    if ! command -v "$program" >/dev/null; then
      echo "pairs: no $program here (doc/packaging.md names its package): $1 is not made" >&2
      return 1
    fi
    paths+=("$(command -v "$program")")
  done
}
# The same, noting the programs in release.json, for the bill of materials.
can_make() {
  have "$@" || return
  jq --arg file "$1" '.madeBy[$file] = $ARGS.positional' "$release" --args "${paths[@]}" \
    >"$work/release.json"
  mv "$work/release.json" "$release"
}

source_tarball=pairs-$PAIRS_VERSION.tar.gz
if [[ $kind == source ]]; then
  have "$source_tarball" "${source_programs[@]}" || exit 0
  top=$work/${source_tarball%.tar.gz}
  "$here/source.sh" "$source_dir" "$top" "$in_git"
  "$here/tarball.sh" "$build/$source_tarball" "$top"
  echo "pairs: made $build/$source_tarball"
  exit 0
fi

have "the .deb, the .rpm, the binary tarball or the bill of materials" jq || exit 1
# The processor the compiler builds for, and its names in packaging/architectures;
# dpkg-architecture, where there is one, knows any vendor's spelling of its triplet.
cxx=("$PAIRS_CXX" ${PAIRS_CXX_TARGET:+"--target=$PAIRS_CXX_TARGET"})
target=$("${cxx[@]}" -dumpmachine)
triplet=$(dpkg-architecture -t "$target" -qDEB_HOST_GNU_TYPE 2>/dev/null) || triplet=$target
if ! row=$(awk -v architecture="$triplet" -f "$here/architecture.awk" "$here/architectures"); then
  echo "pairs: no release file is made for $target's processor" >&2
  exit 1
fi
IFS=$'\t' read -r deb_arch rpm_arch _ _ elf_machine _ <<<"$row"
deb=pairs_${PAIRS_VERSION}_$deb_arch.deb
rpm=pairs-$PAIRS_VERSION-1.$rpm_arch.rpm
binary_tarball=pairs-$PAIRS_VERSION-$rpm_arch-linux.tar.gz
sbom=${binary_tarball%.tar.gz}.spdx.json
# Every binary release file is made with these too.
binary_programs=(jq readelf cmake)

stage=$work/stage
program=$stage/usr/bin/pairs
DESTDIR=$stage cmake --install "$build" --config "$PAIRS_CONFIG" --prefix /usr >/dev/null
if ! machine=$("$here/machine.sh" "$program" "$elf_machine"); then
  echo "pairs: $target built $machine code" >&2
  exit 1
fi
"$here/strip.sh" "$program" "$PAIRS_STRIP" "${cxx[@]}"
link=$("$here/link.sh" "$program")
shlibdeps=()
[[ $link != dynamic ]] || shlibdeps=(dpkg-shlibdeps)

# What the writers share, from CMake, this script and packaging/control.
IFS=: read -ra cmake_programs <<<"$PAIRS_PROGRAMS"
jq -n '$ARGS.named' --arg version "$PAIRS_VERSION" --arg summary "$PAIRS_SUMMARY" \
  --arg maintainer "$(sed -n 's/^Maintainer: //p' "$here/control")" \
  --arg source "$source_dir" --argjson dates "$(jq -n '$ARGS.positional' --args "${dates[@]}")" \
  --argjson files "$(jq -n '$ARGS.named' --arg deb "$deb" --arg rpm "$rpm" \
    --arg binaryTarball "$binary_tarball" --arg sourceTarball "$source_tarball" --arg sbom "$sbom")" \
  --arg debArchitecture "$deb_arch" --arg rpmArchitecture "$rpm_arch" \
  --argjson compiler "$(jq -n '$ARGS.positional' --args "${cxx[@]}")" \
  --arg sysroot "$PAIRS_SYSROOT" --arg linkMap "$PAIRS_LINK_MAP" \
  --argjson programs "$(jq -n '$ARGS.positional' --args "${cmake_programs[@]}")" >"$release"
[[ ! -f $build/$source_tarball ]] || can_make "$source_tarball" "${source_programs[@]}" || true
licenses=$work/licenses
"$here/holdings.sh" "$build" "$link" "$licenses"

# The .deb, the .rpm and the binary tarball at once, as each is mostly its
# compressor's work; each writer's process is kept, to wait for its end.
writers=()
if can_make "$deb" "${binary_programs[@]}" dpkg-gencontrol dpkg-deb gzip awk find md5sum \
  "${shlibdeps[@]}"; then
  "$here/deb.sh" "$build" "$stage" "$licenses" &
  writers+=("$!:$deb")
fi
if can_make "$rpm" "${binary_programs[@]}" rpmbuild awk; then
  "$here/rpm.sh" "$build" "$stage" "$licenses" &
  writers+=("$!:$rpm")
fi
if can_make "$binary_tarball" "${binary_programs[@]}" tar gzip; then
  top=$work/${binary_tarball%.tar.gz}
  cp -R "$stage/usr" "$top"
  mkdir -p "$top/share/doc"
  cp -R "$licenses" "$top/share/doc/pairs"
  "$here/tarball.sh" "$build/$binary_tarball" "$top" &
  writers+=("$!:$binary_tarball")
fi
for writer in "${writers[@]}"; do
  wait "${writer%%:*}"
  echo "pairs: made $build/${writer#*:}"
done
if can_make "$sbom" "${binary_programs[@]}" sha256sum tar dpkg-genbuildinfo dpkg-query; then
  "$here/sbom.sh" "$build"
  echo "pairs: made $build/$sbom"
fi
