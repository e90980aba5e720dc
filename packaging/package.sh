#!/usr/bin/env bash
# Writes pairs' release files into the build tree, each once, by the tool that
# owns its format, with a .sha256 file beside it (doc/packaging.md): `binary
# SOURCE BUILD` the .deb, the .rpm and the binary tarball, from one staged
# install; `source SOURCE BUILD` the source tarball. CMake sets PAIRS_VERSION,
# PAIRS_SUMMARY, the target's PAIRS_CXX, PAIRS_CXX_TARGET, PAIRS_STRIP and
# PAIRS_SYSROOT, and PAIRS_LINK_MAP, the linker's map of the program.
set -euo pipefail
kind=$1 source_dir=$2 build=$3 version=$PAIRS_VERSION
umask 022 && export LC_ALL=C && unset TAR_OPTIONS GZIP

# Until the project has a public address, a placeholder in a domain kept for examples.
contact="pairs developers <pairs@example.org>"
description='pairs writes every pair of whole numbers (i, j) with 0 <= i <= j < 3 to
standard output, one pair per line as "i j", in ascending order, flushing
each line as it is written. It takes no options and reads no input.'

# The processor the compiler builds for, by Debian's, rpm's and readelf's names.
cxx=("$PAIRS_CXX" ${PAIRS_CXX_TARGET:+"--target=$PAIRS_CXX_TARGET"})
target=$("${cxx[@]}" -dumpmachine)
case ${target%-gnu} in
x86_64-*linux) arch=(amd64 x86_64 "Advanced Micro Devices X86-64") ;;
aarch64-*linux) arch=(arm64 aarch64 AArch64) ;;
arm*-*linux-gnueabihf) arch=(armhf armv7hl ARM) ;;
arm*-*linux-gnueabi) arch=(armel armv5tel ARM) ;;
i[3-6]86-*linux) arch=(i386 i686 "Intel 80386") ;;
powerpc64le-*linux) arch=(ppc64el ppc64le PowerPC64) ;;
riscv64-*linux) arch=(riscv64 riscv64 RISC-V) ;;
s390x-*linux) arch=(s390x s390x "IBM S/390") ;;
*) [[ $kind == source ]] ||
  { echo "pairs: no Debian or rpm name for $target's processor; no file made" >&2 && exit 1; } ;;
esac
deb=pairs_${version}_${arch[0]-}.deb rpm=pairs-${version}-1.${arch[1]-}.rpm
binary_tarball=pairs-${version}-${arch[1]-}-linux.tar.gz source_tarball=pairs-${version}.tar.gz
sbom=${binary_tarball%.tar.gz}.spdx.json
declare -p version deb rpm binary_tarball source_tarball sbom | cut -d' ' -f3- >"$build/artifacts"

# Every time stamp is the release's date, its CHANGELOG.md entry's, unless
# the packager sets SOURCE_DATE_EPOCH.
release_date=$(sed -n 's/^## [^ ]* (\(.*\))$/\1/p' "$source_dir/CHANGELOG.md" | head -1)
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(date -u -d "$release_date" +%s)}
work=$(mktemp -d) && trap 'rm -rf "$work"' EXIT

# A field of REUSE.toml's one annotation, which covers every file.
reuse_field() { sed -n "s/^SPDX-$1 = \"\(.*\)\"\$/\1/p" "$source_dir/REUSE.toml"; }
copyright=$(reuse_field FileCopyrightText) licence=$(reuse_field License-Identifier)
vendor=$(sed 's/^[-0-9, ]* //' <<<"$copyright")
# True if the tool $1 (from the package $2) is here; else says $3 is not made.
have() { command -v "$1" >/dev/null || { echo "pairs: no $1 ($2): $3 is not made" && false; }; }
checksum() { (cd "$build" && sha256sum "$1" >"$1.sha256") && made+=("$1"); }

# Writes $1 from the paths after $2, relative to the directory $2: in name
# order, owned by root, modes free of the umask, every time the release's.
write_tar_gz() {
  tar --create --file=- --directory="$2" --format=gnu --sort=name --owner=root:0 \
    --group=root:0 --mode=u+w,go-w,a+rX --mtime="@$SOURCE_DATE_EPOCH" "${@:3}" |
    gzip -9n >"$build/$1"
  checksum "$1"
}

# CHANGELOG.md in Debian's ($1 = deb) or RPM's changelog format.
changelog() {
  awk -v format="$1" -v contact="$contact" '
    function sign() { if (format == "deb" && version) printf "\n -- %s  %s\n", contact, stamp }
    /^## / {
      sign()
      if (version) print ""
      version = $2
      date = "date -u -d " substr($3, 2, 10) " +\"" \
        (format == "deb" ? "%a, %d %b %Y %H:%M:%S +0000" : "%a %b %d %Y") "\""
      if ((date | getline stamp) <= 0) exit 1
      close(date)
      if (format == "deb") printf "pairs (%s) unstable; urgency=medium\n\n", version
      else printf "* %s %s - %s-1\n", stamp, contact, version
      next
    }
    !version || /^$/ { next }
    format == "deb" { sub(/^- /, "  * ") || sub(/^  /, "    ") }
    { print }
    END { sign() }' "$source_dir/CHANGELOG.md"
}

if [[ $kind == source ]]; then
  # In a git work tree of its own, the files git tracks, as they are in the
  # tree; elsewhere, as in an unpacked source tarball, all but .git and build*/.
  cd "$source_dir"
  if [[ $(git rev-parse --show-toplevel 2>/dev/null) -ef . ]]; then
    git -c core.quotePath=false ls-files >"$work/files"
  else
    echo "pairs: $source_dir is no git work tree; packing all its files but .git and build*/"
    find . -path ./.git -prune -o -path './build*' -prune -o ! -type d -printf '%P\n' >"$work/files"
  fi
  # Each directory before what it holds, each level in name order, as tar's
  # --sort=name walks a tree: sorted with / below every other character.
  awk -F/ 'BEGIN { print "." }
    { for (i = 1; i < NF; i++) print (d = i > 1 ? d "/" $i : $i); print }' "$work/files" |
    tr / '\001' | sort -u | tr '\001' / >"$work/list"
  write_tar_gz "$source_tarball" . --no-recursion --verbatim-files-from --files-from="$work/list" \
    --transform="s|^|${source_tarball%.tar.gz}/|S;s|/\\.\$||S"
  exit 0
fi

stage=$work/stage program=$work/stage/usr/bin/pairs
DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
machine=$(readelf -h "$program" | sed -n 's/^ *Machine: *//p')
[[ $machine == "${arch[2]}" ]] || { echo "pairs: $target built $machine code" >&2 && exit 1; }
# Stripped as dh_strip strips, .comment too, by the target's strip; LLVM 14's
# refuses a static program GNU ld links, and the compiler's binutils' does it.
"$PAIRS_STRIP" --remove-section=.comment "$program" 2>/dev/null ||
  "$("${cxx[@]}" -print-prog-name=strip)" --remove-section=.comment "$program"
case $(readelf -lhW "$program") in
*INTERP*) link=dynamic ;;
*"DYN ("*) link=static-pie ;;
*) link=static ;;
esac

# What the program holds of others' code, found once, here, for every file
# below: if static, the C library and GCC's C++ runtime that the linker's map
# names, each with the Debian package that installed it (from a sysroot, one
# of the packages it was made from, kept in its debs/), that package's source,
# and the upstream version; with no package, the one the library states.
declare -A name=([libc]="GNU C Library" [libstdc++]="GCC runtime libraries (libstdc++, libgcc)")
declare -A spdx=([libc]=LGPL-2.1-or-later [libstdc++]="GPL-3.0-or-later WITH GCC-exception-3.1")
declare -A text=([libc]=LGPL-2.1 [libstdc++]=GPL-3)
declare -A states=([libc]='release version [0-9.]*[0-9]' [libstdc++]='GCC: ([^)]*) [0-9.]*[0-9]')
owner() {
  local format='${Package} ${Version} ${source:Package} ${source:Version}\n' deb
  [[ -n $PAIRS_SYSROOT && $1 == "$PAIRS_SYSROOT"/* ]] ||
    { dpkg-query -W -f="$format" "$(dpkg -S "$1" | sed 's/: .*//')" && return; }
  for deb in "$PAIRS_SYSROOT"/debs/*.deb; do
    dpkg-deb -c "$deb" | grep " \.${1#"$PAIRS_SYSROOT"}$" >/dev/null &&
      dpkg-deb --show --showformat="$format" "$deb"
  done
}
# The writers below take from here the licences' texts (the build machine's,
# and the GCC Runtime Library Exception from the copyright file of the package
# that installed GCC's runtime, or else of the machine's GCC), a notice of
# each library, the sources for Debian's Built-Using, and the SBOM's rows.
licenses=$work/licenses exception=$work/licenses/GCC-exception-3.1 all=$licence
libraries=() rows=() static_sources=() end='^requirements of the license of GCC\.$'
[[ $link == dynamic ]] || libraries=(libc libstdc++)
mkdir "$licenses" && cp "$source_dir/LICENSE" "$licenses"
for library in "${libraries[@]}"; do
  path=$(grep -o "[^ (]*/$library\.a(" "$PAIRS_LINK_MAP" | sed -n '1s/($//p')
  [[ -n $path ]] ||
    { echo "pairs: $PAIRS_LINK_MAP names no $library.a; no file made" >&2 && exit 1; }
  path=$(realpath -ms "$path") package="" from="" at=""
  read -r package package_version from at < <(owner "$path" 2>/dev/null) || true
  upstream=$(sed 's/^[0-9]*://; s/-[^-]*$//' <<<"$package_version")
  [[ -n $package ]] || { echo "pairs: no Debian package installed $path; its source is unknown" >&2
    upstream=$(grep -aoE "${states[$library]}" "$path" | sed -n '1s/.* //p') || true; }
  cp "/usr/share/common-licenses/${text[$library]}" "$licenses"
  [[ $library != libstdc++ ]] || sed -n "/^GCC RUNTIME LIBRARY EXCEPTION$/,/$end/{p;/$end/q}" \
    {"${PAIRS_SYSROOT-}/usr/share/doc/${package:-?}",/usr/share/doc/gcc-*-base}/copyright \
    >"$exception" 2>/dev/null || true
  where=${from:+Debian source package $from $at}
  printf -- '- %s %s\n  Licence: %s\n  Source: %s\n' "${name[$library]}" "${upstream:=unknown}" \
    "${spdx[$library]}" "${where:-unknown: no Debian package installed it}"
  [[ -z $from ]] || echo "  From: https://snapshot.debian.org/package/$from/${at//+/%2B}/"
  rows+=("${name[$library]}" "$upstream" "${spdx[$library]}" "$from" "$at")
  all+=" AND ${spdx[$library]}"
  [[ -z $from ]] || static_sources+=("$from (= $at)")
  [[ -z $from || $library != libc ]] || built_using="$from (= $at)"
done >"$work/holds"
[[ $link == dynamic || -s $exception ]] || { echo "pairs: no copyright file here gives the GCC" \
  "Runtime Library Exception (Debian: gcc-N-base); no file made" >&2 && exit 1; }
# What the program named $1 holds, and how to relink it.
holdings() {
  printf '%s is linked statically, and so also holds:\n\n%s\n\n' "$1" "$(<"$work/holds")"
  printf "To relink it with other versions of them, build it from pairs' source\n%s\n" \
    "tarball, $source_tarball, as its README.md says."
}
if ((${#libraries[@]})); then
  { printf 'pairs %s is under the MIT licence: see LICENSE.\n\n' "$version"
    holdings "Its program" && echo "Their licences' texts are in the files beside this one."
  } >"$licenses/NOTICE"
fi
made=()

if have dpkg-deb dpkg "$deb" &&
  { [[ $link != dynamic ]] || have dpkg-shlibdeps dpkg-dev "$deb"; }; then
  root=$work/deb doc=$work/deb/usr/share/doc/pairs overrides=$work/deb/usr/share/lintian/overrides
  cp -R "$stage" "$root"
  mkdir -p "$root/DEBIAN" "$doc"
  changelog deb | gzip -9n >"$doc/changelog.gz"
  # Debian's copyright file: REUSE.toml's copyright and licence (under
  # Debian's name), and LICENSE's text below its copyright line, indented;
  # then what the program holds: their licences by reference, the exception whole.
  indent() { sed 's/^$/./; s/^/ /'; }
  { printf 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n'
    printf 'Upstream-Name: pairs\n'
    ((${#libraries[@]} == 0)) || holdings usr/bin/pairs | indent | sed '1s/^ /Comment: /'
    printf '\nFiles: *\nCopyright: %s\nLicense: %s\n' "$copyright" "${licence/#MIT/Expat}"
    sed '0,/^Copyright /d' "$source_dir/LICENSE" | sed '1{/^$/d}' | indent
    for library in "${libraries[@]}"; do
      printf '\nLicense: %s\n On Debian systems, its GNU licence is in %s.\n' "$(sed \
        's/-or-later/+/; s/ WITH \(.*\)/ with \1 exception/' <<<"${spdx[$library]}")" \
        "/usr/share/common-licenses/${text[$library]}"
    done
    ((${#libraries[@]} == 0)) || indent <"$exception" | sed '1s/^/ .\n/'
  } >"$doc/copyright"
  # Static-Built-Using names each library's source; Built-Using, as Debian's
  # own static packages do, the C library's alone.
  static_built_using=$(IFS=, && echo "${static_sources[*]}" | sed 's/,/, /g')
  if [[ $link != dynamic ]]; then
    mkdir -p "$overrides"
    { echo "# pairs is linked statically on purpose: starting up is all the work it"
      echo "# does, and a dynamic link spends it loading libstdc++ (bench/README.md)."
      [[ $link == static ]] || printf '%s\n' \
        "# lintian before 2.136 takes a static PIE for a shared library that lacks" \
        "# its dependencies, and from 2.136 for a static binary: one tag is unused." \
        "pairs: shared-library-lacks-prerequisites [usr/bin/pairs]"
      echo "pairs: statically-linked-binary [usr/bin/pairs]"
      [[ -z $static_built_using ]] || printf '%s\n' \
        "# lintian 2.116 (Debian 12) knows no Static-Built-Using, which dpkg does" \
        "# (deb-control(5)); from Debian 13 lintian knows it: this override is unused." \
        "pairs: unknown-field Static-Built-Using"
    } >"$overrides/pairs"
  else
    mkdir -p "$work/shlibs/debian" && touch "$work/shlibs/debian/control"
    depends=$(cd "$work/shlibs" && dpkg-shlibdeps -O "$root/usr/bin/pairs" |
      sed -n 's/^shlibs:Depends=//p')
  fi
  (cd "$root" && find usr -type f | sort | xargs md5sum >DEBIAN/md5sums)
  # Installed-Size as dpkg-gencontrol counts it: each file's KiB, rounded up,
  # and 1 for each directory.
  installed_kib=$(find "$root" -path "$root/DEBIAN" -prune -o -printf '%y %s\n' |
    awk '{ kib += $1 == "d" ? 1 : int(($2 + 1023) / 1024) } END { print kib }')
  cat >"$root/DEBIAN/control" <<EOF
Package: pairs
Version: $version
Architecture: ${arch[0]}
Maintainer: $contact
Installed-Size: $installed_kib
${depends:+Depends: $depends
}${built_using:+Built-Using: $built_using
}${static_built_using:+Static-Built-Using: $static_built_using
}Section: utils
Priority: optional
Description: $PAIRS_SUMMARY
$(indent <<<"$description")
EOF
  dpkg-deb --root-owner-group -Zxz --build "$root" "$build/$deb" >/dev/null
  checksum "$deb"
fi

if have rpmbuild "Debian: rpm; Fedora: rpm-build" "$rpm"; then
  # rpm 4.20 renamed the macro that clamps file times, and warns of the old name.
  clamp="clamp_mtime_to_source_date_epoch 1"
  rpm_version=$(rpmbuild --version | grep -o '[0-9.]*$')
  [[ $(printf '%s\n' 4.20 "$rpm_version" | sort -V | head -1) != 4.20 ]] ||
    clamp="build_mtime_policy clamp_to_source_date_epoch"
  changelog rpm >"$work/changelog"
  echo "$description" >"$work/description"
  rpmbuild -bb --target "${arch[1]}" --define "$clamp" --define "_topdir $work/rpm" \
    --define "_dbpath $work/rpmdb" --define "pairs_work $work" --define "pairs_version $version" \
    --define "pairs_summary $PAIRS_SUMMARY" --define "packager $contact" \
    --define "pairs_licence $all" --define "pairs_vendor $vendor" \
    "$source_dir/packaging/pairs.spec" >"$build/rpmbuild.log" 2>&1 ||
    { cat "$build/rpmbuild.log" && exit 1; }
  cp "$work"/rpm/RPMS/*/"$rpm" "$build/$rpm"
  checksum "$rpm"
fi

top=${binary_tarball%.tar.gz}
cp -R "$stage/usr" "$work/$top"
mkdir -p "$work/$top/share/doc" && cp -R "$licenses" "$work/$top/share/doc/pairs"
write_tar_gz "$binary_tarball" "$work" "$top"

# The bill of materials, in SPDX 2.3, written by jq: the files made above,
# pairs, and what its program holds, in a namespace named by those files.
if have jq jq "$sbom"; then
  (cd "$build" && cat "${made[@]/%/.sha256}") >"$work/files"
  domain=${contact#*@}
  namespace=https://${domain%>}/spdx/$top-$(sha256sum <"$work/files" | cut -c1-64)
  jq -n --arg name "$top" --arg version "$version" --arg licence "$licence" --arg all "$all" \
    --arg created "$(date -u -d "@$SOURCE_DATE_EPOCH" +%FT%TZ)" --arg namespace "$namespace" \
    --rawfile files "$work/files" '
    def id: "SPDXRef-" + (gsub("\\+"; "p") | gsub("[^A-Za-z0-9.]+"; "-"));
    def package($name; $version; $licence): {name: $name, SPDXID: ($name | id),
      versionInfo: $version, downloadLocation: "NOASSERTION", filesAnalyzed: false,
      licenseConcluded: $licence, licenseDeclared: $licence};
    def relate($from; $type; $to):
      {spdxElementId: ($from | id), relationshipType: $type, relatedSpdxElement: ($to | id)};
    ($files | split("\n")[:-1] | map(split("  "))) as $files
    | ($ARGS.positional | [range(0; length; 5) as $i | .[$i:$i + 5]]) as $libraries | {
      spdxVersion: "SPDX-2.3", dataLicense: "CC0-1.0", SPDXID: "SPDXRef-DOCUMENT", name: $name,
      documentNamespace: $namespace, creationInfo: {created: $created, creators: ["Tool: jq"]},
      packages: ([$files[] | package(.[1]; $version; $all)
          + {checksums: [{algorithm: "SHA256", checksumValue: .[0]}]}]
        + [package("pairs"; $version; $licence)]
        + [$libraries[] | package(.[0]; .[1]; .[2]) + if .[3] == ""
          then {sourceInfo: "unknown: no Debian package installed it"}
          else {sourceInfo: "Debian source package \(.[3]) \(.[4])", externalRefs: [{
            referenceCategory: "PACKAGE-MANAGER", referenceType: "purl",
            referenceLocator: "pkg:deb/debian/\(.[3])@\(.[4] | @uri)?arch=source"}]} end]),
      relationships: [($files[] | relate("DOCUMENT"; "DESCRIBES"; .[1]),
        relate(.[1]; "CONTAINS"; "pairs")), ($libraries[] | relate("pairs"; "STATIC_LINK"; .[0]))]
    }' --args "${rows[@]}" >"$build/$sbom"
  checksum "$sbom"
fi
