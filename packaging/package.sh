#!/usr/bin/env bash
# Writes pairs' release files into the build tree, each once, by the tool that
# owns its format (doc/packaging.md): `package.sh source SOURCE BUILD` the
# source tarball; `package.sh binary SOURCE BUILD` the others, from one staged
# install, stripped, by the writers beside this script, after holdings.sh has
# found what the program holds. CMake sets PAIRS_VERSION, PAIRS_SUMMARY, the
# target's PAIRS_CXX, PAIRS_CXX_TARGET, PAIRS_STRIP and PAIRS_SYSROOT,
# PAIRS_LINK_MAP, the linker's map, and PAIRS_CONFIG, the configuration; the
# writers read the PAIRS_ variables exported here too. BUILD/programs keeps,
# for the bill of materials, the programs that made each release file.
set -euo pipefail
kind=$1
here=$(dirname "$(realpath "$0")")
export PAIRS_SOURCE_DIR=$2
export PAIRS_BUILD=$3
umask 022
export LC_ALL=C
unset TAR_OPTIONS GZIP
version=$PAIRS_VERSION
PAIRS_MAINTAINER=$(sed -n 's/^Maintainer: //p' "$here/control")
PAIRS_WORK=$(mktemp -d)
export PAIRS_MAINTAINER PAIRS_WORK
trap 'rm -rf "$PAIRS_WORK"' EXIT
# Every time stamp is the release's date, its CHANGELOG.md entry's, unless
# the packager sets SOURCE_DATE_EPOCH; each entry's date is its changelog's.
sed -n 's/^## [^ ]* (\(.*\))$/\1/p' "$PAIRS_SOURCE_DIR/CHANGELOG.md" >"$PAIRS_WORK/dates"
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(date -u -d "$(head -1 "$PAIRS_WORK/dates")" +%s)}
export SOURCE_DATE_EPOCH

# Runs the writer $2 of the release file $1 where each program it needs
# (those after $2, and the common ones) is installed, noting them for its bill
# of materials; else says which is missing, and that $1 is not made.
write() {
  local program
  for program in "${common_programs[@]}" "${@:3}"; do
    if ! command -v "$program" >/dev/null; then
      echo "pairs: no $program here (doc/packaging.md names its package): $1 is not made"
      return 0
    fi
    printf '%s\t%s\n' "$1" "$(command -v "$program")" >>"$PAIRS_WORK/programs-of-$1"
  done
  "$here/$2" "$1"
  echo "$1" >>"$PAIRS_WORK/made"
}
# Keeps in BUILD/programs the programs that made each file made here, in place
# of an earlier run's.
keep_programs() {
  { grep -Fvf <(sed 's/$/\t/' "$PAIRS_WORK/made") "$PAIRS_BUILD/programs" 2>/dev/null || true
    (cd "$PAIRS_WORK" && sed 's/^/programs-of-/' made | xargs -r -d '\n' cat); } >"$PAIRS_WORK/kept"
  mv "$PAIRS_WORK/kept" "$PAIRS_BUILD/programs"
}
# The programs that the making of every release file runs.
common_programs=(bash sed grep cp)

source_tarball=pairs-$version.tar.gz
if [[ $kind == source ]]; then
  # In a git work tree of its own, the files git tracks, as they are in the
  # tree, and COMMIT, which names the commit they are (and says if they have
  # changed since); elsewhere, as in an unpacked source tarball, which holds
  # its COMMIT, all but .git and build*/.
  cd "$PAIRS_SOURCE_DIR"
  top=$PAIRS_WORK/${source_tarball%.tar.gz}
  mkdir "$top"
  git=()
  if [[ $(git rev-parse --show-toplevel 2>/dev/null) -ef . ]]; then
    git=(git)
    git ls-files -z >"$PAIRS_WORK/files"
    changed=$(git diff --quiet HEAD || echo ", with changes not committed")
    echo "$(git rev-parse HEAD)$changed" >"$top/COMMIT"
  else
    echo "pairs: $PAIRS_SOURCE_DIR is no git work tree; packing all its files but .git and build*/"
    find . -path ./.git -prune -o -path './build*' -prune -o ! -type d -printf '%P\0' \
      >"$PAIRS_WORK/files"
  fi
  # The directories first, writable: cp --parents would give them a read-only
  # tree's modes, and then could not write into them.
  xargs -0 dirname -z <"$PAIRS_WORK/files" | (cd "$top" && xargs -0 mkdir -p)
  xargs -0 cp --parents --no-dereference --preserve=mode -t "$top" <"$PAIRS_WORK/files"
  write "$source_tarball" tarball.sh tar gzip "${git[@]}"
  keep_programs
  exit 0
fi

# The processor the compiler builds for, and its names in packaging/architectures;
# dpkg-architecture, where there is one, knows any vendor's spelling of its triplet.
cxx=("$PAIRS_CXX" ${PAIRS_CXX_TARGET:+"--target=$PAIRS_CXX_TARGET"})
target=$("${cxx[@]}" -dumpmachine)
triplet=$(dpkg-architecture -t "$target" -qDEB_HOST_GNU_TYPE 2>/dev/null) || triplet=$target
if ! row=$(awk -v architecture="$triplet" -f "$here/architecture.awk" "$here/architectures"); then
  echo "pairs: no release file is made for $target's processor" >&2
  exit 1
fi
IFS=$'\t' read -r PAIRS_DEB_ARCH PAIRS_RPM_ARCH _ _ elf_machine _ <<<"$row"
export PAIRS_DEB_ARCH PAIRS_RPM_ARCH
deb=pairs_${version}_$PAIRS_DEB_ARCH.deb
rpm=pairs-$version-1.$PAIRS_RPM_ARCH.rpm
binary_tarball=pairs-$version-$PAIRS_RPM_ARCH-linux.tar.gz
sbom=${binary_tarball%.tar.gz}.spdx.json
declare -p version deb rpm binary_tarball source_tarball sbom | cut -d' ' -f3- \
  >"$PAIRS_BUILD/artifacts"
if ! command -v jq >/dev/null; then
  echo "pairs: no jq here (Debian: jq), which records what the program holds: none but" \
    "the source tarball is made" >&2
  exit 1
fi
# Every binary release file is made with these too.
common_programs+=(jq readelf cmake)

stage=$PAIRS_WORK/stage
program=$stage/usr/bin/pairs
DESTDIR=$stage cmake --install "$PAIRS_BUILD" --config "$PAIRS_CONFIG" --prefix /usr >/dev/null
machine=$(readelf -h "$program" | sed -n 's/^ *\(Machine\|Flags\): *//p' | paste -sd' ')
# shellcheck disable=SC2053 # packaging/architectures gives a pattern
if [[ $machine != $elf_machine ]]; then
  echo "pairs: $target built $machine code" >&2
  exit 1
fi
# Stripped as dh_strip strips, .comment too, by the target's strip; LLVM 14's
# refuses a static program GNU ld links, and the compiler's binutils' does it.
if ! "$PAIRS_STRIP" --remove-section=.comment "$program" 2>/dev/null; then
  "$("${cxx[@]}" -print-prog-name=strip)" --remove-section=.comment "$program"
fi
case $(readelf -lhW "$program") in
*INTERP*) link=dynamic ;;
*"DYN ("*) link=static-pie ;;
*) link=static ;;
esac
"$here/holdings.sh" "$link"

shlibdeps=()
if [[ $link == dynamic ]]; then
  shlibdeps=(dpkg-shlibdeps)
fi
# The .deb and the .rpm at once, as each is mostly its compressor's work.
write "$deb" deb.sh dpkg-gencontrol dpkg-deb gzip awk find md5sum "${shlibdeps[@]}" &
deb_writer=$!
write "$rpm" rpm.sh rpmbuild awk
wait "$deb_writer"
top=$PAIRS_WORK/${binary_tarball%.tar.gz}
cp -R "$stage/usr" "$top"
mkdir -p "$top/share/doc"
cp -R "$PAIRS_WORK/licenses" "$top/share/doc/pairs"
write "$binary_tarball" tarball.sh tar gzip
keep_programs
write "$sbom" sbom.sh jq sha256sum tar dpkg-genbuildinfo dpkg-query
