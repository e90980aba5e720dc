#!/usr/bin/env bash
# Writes the .deb named $1 into the build tree from the staged install: the
# program and its man page; Debian's changelog, and copyright file
# (copyright.jq), which declares what the program holds; lintian's overrides
# for a static program; and the control file, which dpkg-gencontrol completes
# from packaging/control and the substitution variables of substvars.jq.
set -euo pipefail
deb=$1
here=$(dirname "$0")
holdings=$PAIRS_BUILD/holdings.json
substvars=$PAIRS_WORK/substvars
root=$PAIRS_WORK/deb
doc=$root/usr/share/doc/pairs
link=$(jq -r .link "$holdings")
cp -R "$PAIRS_WORK/stage" "$root"
mkdir -p "$doc"

date -u -f "$PAIRS_WORK/dates" '+%a, %d %b %Y %H:%M:%S +0000' >"$PAIRS_WORK/deb-stamps"
awk -v format=deb -v maintainer="$PAIRS_MAINTAINER" -f "$here/changelog.awk" \
  "$PAIRS_WORK/deb-stamps" "$PAIRS_SOURCE_DIR/CHANGELOG.md" >"$PAIRS_WORK/changelog"
gzip -9n <"$PAIRS_WORK/changelog" >"$doc/changelog.gz"
jq -r -f "$here/copyright.jq" "$holdings" \
  --arg notice "$(jq -r --arg program usr/bin/pairs -f "$here/notice.jq" "$holdings")" \
  --arg license "$(sed '0,/^Copyright /d' "$PAIRS_SOURCE_DIR/LICENSE" | sed '1{/^$/d}')" \
  --arg exception "$(cat "$PAIRS_WORK/licenses/GCC-exception-3.1" 2>/dev/null)" >"$doc/copyright"

jq -r -f "$here/substvars.jq" "$holdings" >"$substvars"
if [[ $link == dynamic ]]; then
  # dpkg-shlibdeps wants a debian/control, of which it reads nothing here.
  mkdir "$PAIRS_WORK/debian"
  touch "$PAIRS_WORK/debian/control"
  (cd "$PAIRS_WORK" && dpkg-shlibdeps -T"$substvars" "$root/usr/bin/pairs")
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
DEB_HOST_ARCH=$PAIRS_DEB_ARCH dpkg-gencontrol -c"$here/control" -l"$PAIRS_WORK/changelog" \
  -P"$root" -T"$substvars" -O -V"pairs:Summary=$PAIRS_SUMMARY" >"$PAIRS_WORK/control"
mkdir "$root/DEBIAN"
mv "$PAIRS_WORK/control" "$root/DEBIAN/control"
(cd "$root" && find usr -type f | sort | xargs md5sum >DEBIAN/md5sums)
dpkg-deb --root-owner-group -Zxz --build "$root" "$PAIRS_BUILD/$deb" >/dev/null
