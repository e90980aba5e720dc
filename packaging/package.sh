#!/usr/bin/env bash
# Writes pairs' release files into the build tree, each once, by the tool
# that owns its format, with a .sha256 file beside it:
#   package.sh binary SOURCE BUILD: the .deb (dpkg-deb), the .rpm (rpmbuild,
#     from pairs.spec here) and the binary tarball (GNU tar and gzip), from
#     one staged install of the build;
#   package.sh source SOURCE BUILD: the source tarball (GNU tar and gzip), of
#     the files git tracks.
# The build's package and package_source targets run it, with the version
# and summary in PAIRS_VERSION and PAIRS_SUMMARY. It also writes BUILD/artifacts,
# the four files' names as shell assignments. A file whose tool is missing
# is not made, and the script says so once.
set -euo pipefail
kind=$1 source_dir=$2 build=$3
version=$PAIRS_VERSION
umask 022
export LC_ALL=C
unset TAR_OPTIONS GZIP

# Until the project has a public address, a placeholder in a domain kept
# for examples.
contact="pairs developers <pairs@example.org>"
description='pairs writes every pair of whole numbers (i, j) with 0 <= i <= j < 3 to
standard output, one pair per line as "i j", in ascending order, flushing
each line as it is written. It takes no options and reads no input.'

deb=pairs_${version}_amd64.deb
rpm=pairs-${version}-1.x86_64.rpm
binary_tarball=pairs-${version}-x86_64-linux.tar.gz
source_tarball=pairs-${version}.tar.gz
declare -p version deb rpm binary_tarball source_tarball | cut -d' ' -f3- >"$build/artifacts"

# Every time stamp is the release's date, CHANGELOG.md's latest, unless the
# packager sets SOURCE_DATE_EPOCH.
release_date=$(sed -n 's/^## [^ ]* (\(.*\))$/\1/p' "$source_dir/CHANGELOG.md" | head -1)
SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(date -u -d "$release_date" +%s)}
export SOURCE_DATE_EPOCH

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A field of REUSE.toml's one annotation, which covers every file.
reuse_field() {
  sed -n "s/^SPDX-$1 = \"\(.*\)\"\$/\1/p" "$source_dir/REUSE.toml"
}

have() {
  command -v "$1" >/dev/null || { echo "pairs: no $1 ($2): $3 is not made" && return 1; }
}

# Writes $1 from the paths after $2, relative to the directory $2: sorted,
# owned by root, modes free of the umask, every time the release's.
write_tar_gz() {
  local output=$1 directory=$2
  shift 2
  tar --create --file=- --directory="$directory" --format=gnu --sort=name \
    --owner=root:0 --group=root:0 --mode=u+w,go-w,a+rX --mtime="@$SOURCE_DATE_EPOCH" "$@" |
    gzip -9n >"$build/$output"
  (cd "$build" && sha256sum "$output" >"$output.sha256")
}

# CHANGELOG.md in Debian's ($1 = deb) or RPM's changelog format.
changelog() {
  awk -v format="$1" -v contact="$contact" '
    function sign() { if (format == "deb" && version != "") printf "\n -- %s  %s\n", contact, stamp }
    /^## / {
      sign()
      if (version != "") print ""
      version = $2
      cmd = "date -u -d " substr($3, 2, 10) " +\"" \
        (format == "deb" ? "%a, %d %b %Y %H:%M:%S +0000" : "%a %b %d %Y") "\""
      if ((cmd | getline stamp) <= 0) exit 1
      close(cmd)
      if (format == "deb") printf "pairs (%s) unstable; urgency=medium\n\n", version
      else printf "* %s %s - %s-1\n", stamp, contact, version
      next
    }
    version == "" || /^$/ { next }
    format == "deb" && /^- / { $0 = "  * " substr($0, 3) }
    format == "deb" && /^  [^*]/ { $0 = "  " $0 }
    { print }
    END { sign() }' "$source_dir/CHANGELOG.md"
}

if [[ $kind == source ]]; then
  have tar "GNU tar" "$source_tarball" && have gzip gzip "$source_tarball" || exit 0
  # In a git work tree of its own, the files git tracks, as they are in
  # the tree; elsewhere, as in an unpacked source tarball, every file but
  # .git and the build trees.
  cd "$source_dir"
  if [[ $(git rev-parse --show-toplevel 2>/dev/null) -ef . ]]; then
    git -c core.quotePath=false ls-files >"$work/files"
  else
    echo "pairs: $source_dir is no git work tree; packing all its files but .git and build*/"
    find . -path ./.git -prune -o -path './build*' -prune -o ! -type d -printf '%P\n' >"$work/files"
  fi
  # Each directory before what it holds, each level in name order, as
  # GNU tar's --sort=name gives them: sorted with / below every character.
  awk -F/ 'BEGIN { print "." } { for (i = 1; i < NF; i++) print (dir = i > 1 ? dir "/" $i : $i); print }' \
    "$work/files" | tr / '\001' | sort -u | tr '\001' / >"$work/list"
  top=${source_tarball%.tar.gz}
  write_tar_gz "$source_tarball" . --no-recursion --verbatim-files-from --files-from="$work/list" \
    --transform="s|^|$top/|S;s|/\\.\$||S"
  exit 0
fi

have strip binutils "any binary package" || exit 0
stage=$work/stage
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
# Stripped as dh_strip strips, .comment and all: it names the compilers that
# built the static libraries, and lintian asks a stripped program not to keep
# it. binutils' strip, since LLVM 14's refuses a static program GNU ld links.
strip --remove-section=.comment "$stage/usr/bin/pairs"
case $(readelf -lhW "$stage/usr/bin/pairs") in
*INTERP*) link=dynamic ;;
*"DYN ("*) link=static-pie ;;
*) link=static ;;
esac

if have dpkg-deb dpkg "$deb" && have gzip gzip "$deb" &&
  { [[ $link != dynamic ]] || have dpkg-shlibdeps dpkg-dev "$deb"; }; then
  root=$work/deb
  cp -R "$stage" "$root"
  doc=$root/usr/share/doc/pairs
  mkdir -p "$doc" "$root/DEBIAN"
  changelog deb | gzip -9n >"$doc/changelog.gz"
  # Debian's copyright file: REUSE.toml's copyright and licence for every
  # file, the licence under Debian's name, its text LICENSE's below the
  # copyright line, indented one space, "." for each empty line.
  {
    printf 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n'
    printf 'Upstream-Name: pairs\n\nFiles: *\n'
    echo "Copyright: $(reuse_field FileCopyrightText)"
    echo "License: $(reuse_field License-Identifier | sed 's/^MIT$/Expat/')"
    sed '0,/^Copyright /d' "$source_dir/LICENSE" | sed '1{/^$/d}; s/^$/./; s/^/ /'
  } >"$doc/copyright"
  if [[ $link != dynamic ]]; then
    mkdir -p "$root/usr/share/lintian/overrides"
    {
      echo "# pairs is linked statically on purpose: starting up is all the work it"
      echo "# does, and a dynamic link spends it loading libstdc++ (bench/README.md)."
      [[ $link == static ]] || printf '%s\n' \
        "# A static PIE is a shared object with no dependencies: lintian before 2.136" \
        "# takes it for a shared library that lacks them, and from 2.136 calls it a" \
        "# static binary. Whichever lintian reads this, one of the two is unused." \
        "pairs: shared-library-lacks-prerequisites [usr/bin/pairs]"
      echo "pairs: statically-linked-binary [usr/bin/pairs]"
    } >"$root/usr/share/lintian/overrides/pairs"
  else
    mkdir -p "$work/shlibs/debian" && touch "$work/shlibs/debian/control"
    depends=$(cd "$work/shlibs" && dpkg-shlibdeps -O "$root/usr/bin/pairs" | sed -n 's/^shlibs:Depends=//p')
  fi
  (cd "$root" && find usr -type f | sort | xargs md5sum >DEBIAN/md5sums)
  # Installed-Size as dpkg-gencontrol counts it: each file's size in KiB,
  # rounded up, and 1 for each directory.
  installed_kib=$(find "$root" -path "$root/DEBIAN" -prune -o -printf '%y %s\n' |
    awk '{ kib += $1 == "d" ? 1 : int(($2 + 1023) / 1024) } END { print kib }')
  cat >"$root/DEBIAN/control" <<EOF
Package: pairs
Version: $version
Architecture: amd64
Maintainer: $contact
Installed-Size: $installed_kib
${depends:+Depends: $depends
}Section: utils
Priority: optional
Description: $PAIRS_SUMMARY
$(sed 's/^$/./; s/^/ /' <<<"$description")
EOF
  dpkg-deb --root-owner-group -Zxz --build "$root" "$build/$deb" >/dev/null
  (cd "$build" && sha256sum "$deb" >"$deb.sha256")
fi

if have rpmbuild "Debian: rpm; Fedora: rpm-build" "$rpm"; then
  # rpm 4.20 renamed the macro that clamps file times, and warns of the old name.
  clamp=(--define "clamp_mtime_to_source_date_epoch 1")
  rpm_version=$(rpmbuild --version | grep -o '[0-9][0-9.]*$')
  if [[ $(printf '%s\n' 4.20 "$rpm_version" | sort -V | head -1) == 4.20 ]]; then
    clamp=(--define "build_mtime_policy clamp_to_source_date_epoch")
  fi
  changelog rpm >"$work/changelog"
  echo "$description" >"$work/description"
  cp "$source_dir/LICENSE" "$work/LICENSE"
  rpmbuild -bb "${clamp[@]}" --define "_topdir $work/rpm" --define "pairs_work $work" \
    --define "pairs_version $version" --define "pairs_summary $PAIRS_SUMMARY" \
    --define "pairs_licence $(reuse_field License-Identifier)" \
    --define "pairs_vendor $(reuse_field FileCopyrightText | sed 's/^[-0-9, ]* //')" \
    --define "packager $contact" "$source_dir/packaging/pairs.spec" >"$build/rpmbuild.log" 2>&1 ||
    { cat "$build/rpmbuild.log" && exit 1; }
  cp "$work/rpm/RPMS/x86_64/$rpm" "$build/$rpm"
  (cd "$build" && sha256sum "$rpm" >"$rpm.sha256")
fi

if have tar "GNU tar" "$binary_tarball" && have gzip gzip "$binary_tarball"; then
  top=${binary_tarball%.tar.gz}
  cp -R "$stage/usr" "$work/$top"
  install -D -m 0644 "$source_dir/LICENSE" "$work/$top/share/doc/pairs/LICENSE"
  write_tar_gz "$binary_tarball" "$work" "$top"
fi
