#!/usr/bin/env bash
# Writes the .rpm named $1 into the build tree by rpmbuild, from
# packaging/pairs.spec and the staged install: the licences' texts and NOTICE
# under %license, a License that names what the program holds, and
# CHANGELOG.md as its changelog.
set -euo pipefail
rpm=$1
here=$(dirname "$0")
work=$PAIRS_WORK
holdings=$PAIRS_BUILD/holdings.json
# rpm 4.20 renamed the macro that clamps file times, and warns of the old name.
clamp="clamp_mtime_to_source_date_epoch 1"
rpm_version=$(rpmbuild --version | grep -o '[0-9.]*$')
if [[ $(printf '%s\n' 4.20 "$rpm_version" | sort -V | head -1) == 4.20 ]]; then
  clamp="build_mtime_policy clamp_to_source_date_epoch"
fi
sed -n 's/^ //p' "$here/control" >"$work/description"
date -u -f "$work/dates" '+%a %b %d %Y' >"$work/rpm-stamps"
awk -v format=rpm -v maintainer="$PAIRS_MAINTAINER" -f "$here/changelog.awk" \
  "$work/rpm-stamps" "$PAIRS_SOURCE_DIR/CHANGELOG.md" >"$work/rpm-changelog"
if ! rpmbuild -bb --target "$PAIRS_RPM_ARCH" --define "$clamp" --define "_topdir $work/rpm" \
  --define "_dbpath $work/rpmdb" --define "pairs_work $work" \
  --define "pairs_version $PAIRS_VERSION" --define "pairs_summary $PAIRS_SUMMARY" \
  --define "packager $PAIRS_MAINTAINER" --define "pairs_licence $(jq -r .license "$holdings")" \
  --define "pairs_vendor $(jq -r .pairs.holder "$holdings")" "$here/pairs.spec" \
  >"$PAIRS_BUILD/rpmbuild.log" 2>&1; then
  cat "$PAIRS_BUILD/rpmbuild.log"
  exit 1
fi
cp "$work"/rpm/RPMS/*/"$rpm" "$PAIRS_BUILD/$rpm"
