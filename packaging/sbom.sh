#!/usr/bin/env bash
# Writes the bill of materials named $1 into the build tree, in SPDX 2.3, by
# jq (sbom.jq): the release files made before it, with their checksums, and
# the source tarball they were made from, with the commit its COMMIT names;
# pairs and what its program holds; and what built them (build-record.sh), on
# which system; in a namespace named by the files' checksums. The files'
# names are read from BUILD/artifacts.
set -euo pipefail
sbom=$1
here=$(dirname "$0")
# The release files' names, as package.sh wrote them, and those made, in that order.
deb="" rpm="" binary_tarball="" source_tarball=""
# shellcheck source=/dev/null # package.sh writes it
source "$PAIRS_BUILD/artifacts"
mapfile -t files < <(printf '%s\n' "$deb" "$rpm" "$binary_tarball" | grep -Fxf "$PAIRS_WORK/made")
(cd "$PAIRS_BUILD" && sha256sum "${files[@]}" "$source_tarball") >"$PAIRS_WORK/checksums"
commit=$(tar -xOzf "$PAIRS_BUILD/$source_tarball" "${source_tarball%.tar.gz}/COMMIT" 2>/dev/null) ||
  commit=""
"$here/build-record.sh" "${files[@]}" "$source_tarball" >"$PAIRS_WORK/record"
# The system the build ran on, by its os-release: Debian, version 12, codename bookworm.
system=$(. /etc/os-release && jq -n --arg id "$ID" --arg version "${VERSION_ID:-$VERSION_CODENAME}" \
  --arg codename "$VERSION_CODENAME" --arg name "$PRETTY_NAME" --arg supplier "${NAME%% *}" \
  '$ARGS.named')
domain=${PAIRS_MAINTAINER#*@}
checksum=$(sha256sum <"$PAIRS_WORK/checksums" | cut -c1-64)
jq -n -f "$here/sbom.jq" --arg name "${sbom%.spdx.json}" --arg version "$PAIRS_VERSION" \
  --arg namespace "https://${domain%>}/spdx/${sbom%.spdx.json}-$checksum" \
  --arg created "$(date -u -d "@$SOURCE_DATE_EPOCH" +%FT%TZ)" --arg tool "$(jq --version)" \
  --rawfile checksums "$PAIRS_WORK/checksums" --arg source "$source_tarball" --arg commit "$commit" \
  --slurpfile holdings "$PAIRS_BUILD/holdings.json" --rawfile record "$PAIRS_WORK/record" \
  --argjson system "$system" >"$PAIRS_BUILD/$sbom"
