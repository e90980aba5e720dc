#!/usr/bin/env bash
# Writes the .rpm that BUILD/release.json names into BUILD by rpmbuild, from
# packaging/pairs.spec and the install staged in STAGE: the licences' texts
# and NOTICE of LICENCES under %license, a License that names what the
# program holds, and CHANGELOG.md as its changelog.
# Usage: rpm.sh BUILD STAGE LICENCES
set -euo pipefail
build=$1
stage=$2
licenses=$3
: "${SOURCE_DATE_EPOCH:?set by package.sh, for rpmbuild}"
here=$(dirname "$0")
fact() { jq -r "$1" "$build/release.json"; }
rpm=$(fact .files.rpm)
maintainer=$(fact .maintainer)
holdings=$build/holdings.json
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# rpm 4.20 renamed the macro that clamps file times, and warns of the old name.
clamp="clamp_mtime_to_source_date_epoch 1"
rpm_version=$(rpmbuild --version | grep -o '[0-9.]*$')
if [[ $(printf '%s\n' 4.20 "$rpm_version" | sort -V | head -1) == 4.20 ]]; then
  clamp="build_mtime_policy clamp_to_source_date_epoch"
fi
sed -n 's/^ //p' "$here/control" >"$work/description"
fact '.dates[]' | date -u -f - '+%a %b %d %Y' >"$work/rpm-stamps"
awk -v format=rpm -v maintainer="$maintainer" -f "$here/changelog.awk" \
  "$work/rpm-stamps" "$(fact .source)/CHANGELOG.md" >"$work/rpm-changelog"
if ! rpmbuild -bb --target "$(fact .rpmArchitecture)" --define "$clamp" \
  --define "_topdir $work/rpm" --define "_dbpath $work/rpmdb" --define "pairs_work $work" \
  --define "pairs_stage $stage" --define "pairs_licenses $licenses" \
  --define "pairs_version $(fact .version)" --define "pairs_summary $(fact .summary)" \
  --define "packager $maintainer" --define "pairs_licence $(jq -r .license "$holdings")" \
  --define "pairs_vendor $(jq -r .pairs.holder "$holdings")" "$here/pairs.spec" \
  >"$build/rpmbuild.log" 2>&1; then
  cat "$build/rpmbuild.log"
  exit 1
fi
cp "$work"/rpm/RPMS/*/"$rpm" "$build/$rpm"
