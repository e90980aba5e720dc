#!/usr/bin/env bash
# Writes the .deb that BUILD/release.json names into BUILD from the install
# staged in STAGE: the program and its man page; Debian's changelog, and
# copyright file (copyright.jq), which declares what the program holds, with
# GCC's exception from LICENCES; lintian's overrides for a static program;
# and the control file, which dpkg-gencontrol completes from
# packaging/control and the substitution variables of substvars.jq.
# Usage: deb.sh BUILD STAGE LICENCES
set -euo pipefail
build=$1
stage=$2
licenses=$3
: "${SOURCE_DATE_EPOCH:?set by package.sh, for dpkg-deb}"
here=$(dirname "$0")
fact() { jq -r "$1" "$build/release.json"; }
deb=$(fact .files.deb)
source_dir=$(fact .source)
maintainer=$(fact .maintainer)
holdings=$build/holdings.json
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
substvars=$work/substvars
root=$work/deb
doc=$root/usr/share/doc/pairs
link=$(jq -r .link "$holdings")
cp -R "$stage" "$root"
mkdir -p "$doc"

fact '.dates[]' | date -u -f - '+%a, %d %b %Y %H:%M:%S +0000' >"$work/deb-stamps"
awk -v format=deb -v maintainer="$maintainer" -f "$here/changelog.awk" \
  "$work/deb-stamps" "$source_dir/CHANGELOG.md" >"$work/changelog"
gzip -9n <"$work/changelog" >"$doc/changelog.gz"
jq -r -f "$here/copyright.jq" "$holdings" --arg notice "$(jq -r --arg program usr/bin/pairs \
  --arg version "$(fact .version)" -f "$here/notice.jq" "$holdings")" \
  --arg license "$(sed '0,/^Copyright /d' "$source_dir/LICENSE" | sed '1{/^$/d}')" \
  --arg exception "$(cat "$licenses/GCC-exception-3.1" 2>/dev/null)" >"$doc/copyright"

jq -r -f "$here/substvars.jq" "$holdings" >"$substvars"
if [[ $link == dynamic ]]; then
  # dpkg-shlibdeps wants a debian/control, of which it reads nothing here.
  mkdir "$work/debian"
  touch "$work/debian/control"
  (cd "$work" && dpkg-shlibdeps -T"$substvars" "$root/usr/bin/pairs")
else
  # The overrides that apply, with their reasons; one, if the .deb has a Static-Built-Using.
  conditions="static|$link"
  if grep -q '^pairs:Static-Built-Using=.' "$substvars"; then
    conditions+="|static-built-using"
  fi
  mkdir -p "$root/usr/share/lintian/overrides"
  sed -nE "s/^($conditions): //p" "$here/lintian-overrides" >"$root/usr/share/lintian/overrides/pairs"
fi

# Installed-Size counts the files to install, before DEBIAN/ holds any. To
# standard output (-O), dpkg-gencontrol neither lists the .deb in a
# debian/files nor locks the control template for it by opening it for
# writing, which in a read-only tree fails.
DEB_HOST_ARCH=$(fact .debArchitecture) dpkg-gencontrol -c"$here/control" -l"$work/changelog" \
  -P"$root" -T"$substvars" -O -V"pairs:Summary=$(fact .summary)" >"$work/control"
mkdir "$root/DEBIAN"
mv "$work/control" "$root/DEBIAN/control"
(cd "$root" && find usr -type f | sort | xargs md5sum >DEBIAN/md5sums)
dpkg-deb --root-owner-group -Zxz --build "$root" "$build/$deb" >/dev/null
