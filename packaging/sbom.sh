#!/usr/bin/env bash
# Writes the bill of materials that BUILD/release.json names into BUILD, in
# SPDX 2.3, by jq (sbom.jq): the release files that release.json says were
# made, with their checksums, and the source tarball they were made from,
# with the commit its COMMIT names; pairs and what its program holds; and
# what built them (build-record.sh), on which system; in a namespace named by
# the files' checksums. Usage: sbom.sh BUILD
set -euo pipefail
build=$1
: "${SOURCE_DATE_EPOCH:?set by package.sh}"
here=$(dirname "$0")
fact() { jq -r "$1" "$build/release.json"; }
sbom=$(fact .files.sbom)
source_tarball=$(fact .files.sourceTarball)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# The binary release files made, in the order package.sh made them.
mapfile -t files < <(fact '.madeBy | keys_unsorted[]' | grep -vxF -e "$source_tarball" -e "$sbom")
(cd "$build" && sha256sum "${files[@]}" "$source_tarball") >"$work/checksums"
commit=$(tar -xOzf "$build/$source_tarball" "${source_tarball%.tar.gz}/COMMIT" 2>/dev/null) ||
  commit=""
"$here/build-record.sh" "$build" "${files[@]}" "$source_tarball" >"$work/record"
# The system the build ran on, by its os-release: Debian, version 12, codename bookworm.
# shellcheck source=/dev/null # the system's own
os() { (. /etc/os-release && echo "${!1-}"); }
distributor=$(os NAME)
os_version=$(os VERSION_ID)
system=$(jq -n --arg id "$(os ID)" --arg version "${os_version:-$(os VERSION_CODENAME)}" \
  --arg codename "$(os VERSION_CODENAME)" --arg name "$(os PRETTY_NAME)" \
  --arg supplier "${distributor%% *}" '$ARGS.named')
maintainer=$(fact .maintainer)
domain=${maintainer#*@}
checksum=$(sha256sum <"$work/checksums" | cut -c1-64)
jq -n -f "$here/sbom.jq" --arg name "${sbom%.spdx.json}" --arg version "$(fact .version)" \
  --arg namespace "https://${domain%>}/spdx/${sbom%.spdx.json}-$checksum" \
  --arg created "$(date -u -d "@$SOURCE_DATE_EPOCH" +%FT%TZ)" --arg tool "$(jq --version)" \
  --rawfile checksums "$work/checksums" --arg source "$source_tarball" --arg commit "$commit" \
  --slurpfile holdings "$build/holdings.json" --rawfile record "$work/record" \
  --argjson system "$system" >"$build/$sbom"
