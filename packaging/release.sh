#!/usr/bin/env bash
# Writes SHA256SUMS into the build tree given, the checksums of every release
# file that BUILD/release.json names, in sha256sum's format; and, where
# PAIRS_SIGNING_KEY names a key in the signer's GnuPG keyring (GNUPGHOME is
# honoured), gpg's detached, ASCII-armoured signatures of it and of the
# source tarball, SHA256SUMS.asc and SOURCE_TARBALL.asc, the form uscan
# checks. With no key, it says that the release is unsigned; a signing that
# fails leaves no signature behind. Usage: release.sh BUILD.
set -euo pipefail
build=$1
# Set by the signer, or not at all: the key to sign with.
: "${PAIRS_SIGNING_KEY=}"
key=$PAIRS_SIGNING_KEY
# The release files, as package.sh named them.
mapfile -t files < <(jq -r '.files | .deb, .rpm, .binaryTarball, .sbom, .sourceTarball' \
  "$build/release.json")
source_tarball=${files[4]}
cd "$build"
signatures=(SHA256SUMS.asc "$source_tarball.asc")
rm -f SHA256SUMS "${signatures[@]}"
# A release lacks no file: where one was not made, no SHA256SUMS is either.
if ! sha256sum "${files[@]}" >SHA256SUMS; then
  rm SHA256SUMS
  exit 1
fi
if [[ -z $key ]]; then
  echo "pairs: no PAIRS_SIGNING_KEY given: the release is unsigned (doc/packaging.md)"
  exit 0
fi
# With no terminal to ask on, a key that wants a passphrase fails at once,
# where gpg-agent would otherwise wait for one.
pinentry=()
[[ -t 0 ]] || pinentry=(--pinentry-mode error)
for file in SHA256SUMS "$source_tarball"; do
  if ! gpg --batch --yes "${pinentry[@]}" --local-user "$key" --armor --detach-sign \
    --output "$file.asc" "$file"; then
    rm -f "${signatures[@]}"
    echo "pairs: gpg could not sign $file with the key $key; no signature is made" >&2
    exit 1
  fi
done
echo "pairs: SHA256SUMS and $source_tarball signed with the key $key"
