# shellcheck shell=bash
# shellcheck disable=SC2034 # the scripts that source .ci/lib.sh use its variables
# shellcheck disable=SC2016 # the documents' commands expand their own $
# The commands the documents give, and how CI checks that they still give
# them and runs them; sourced by .ci/lib.sh, whose fail it uses.

# README's commands, the benchmark's in bench/README.md, and the release
# files' (their prerequisites, the C library's source, and a rebuild from the
# bill of materials) in doc/packaging.md, which CI runs as they stand there.
prerequisites_command='apt-get update && apt-get install -y cmake make g++ libgtest-dev'
bench_prerequisites_command='apt-get install -y valgrind time'
run_command='cmake -B build && cmake --build build && ./build/pairs'
test_command='cmake -B build && cmake --build build && ctest --test-dir build --output-on-failure'
bench_command='cmake -B build && cmake --build build && bench/startup.sh'
package_prerequisites_command='apt-get install -y dpkg-dev rpm jq'
package_command='cmake -B build && cmake --build build --target release'
source_command="(cd build && apt-get source --download-only \"\$(dpkg-deb -f pairs_*.deb \
Built-Using | sed 's/ (= /=/; s/)\$//')\")"
recorded_command='jq -r --arg arch "$(dpkg --print-architecture)" -f packaging/recorded-packages.jq'
recorded_command+=' "$sbom" >../recorded'
rebuild_command='cmake -B build -DBUILD_TESTING=OFF && cmake --build build --target package'
compare_command='jq -r -f packaging/checksums.jq "$sbom" | (cd build && sha256sum -c)'

# CONTRIBUTING.md's one check run alone, on the release files.
one_check_command='.ci/check-packages'

# doc/packaging.md's signing of a release, and its checking, as users check it.
sign_command='PAIRS_SIGNING_KEY=FINGERPRINT cmake --build build --target release'
export_key_command='gpg --armor --export "$PAIRS_SIGNING_KEY" >build/pairs-signing-key.asc'
sqv_commands=('sqv --keyring pairs-signing-key.asc SHA256SUMS.asc SHA256SUMS'
  'sqv --keyring pairs-signing-key.asc pairs-*[0-9].tar.gz.asc pairs-*[0-9].tar.gz')
gpgv_commands=('gpg --dearmor <pairs-signing-key.asc >pairs-signing-key.gpg'
  'gpgv --keyring ./pairs-signing-key.gpg SHA256SUMS.asc SHA256SUMS'
  'gpgv --keyring ./pairs-signing-key.gpg pairs-*[0-9].tar.gz.asc pairs-*[0-9].tar.gz')
checksums_command='sha256sum -c SHA256SUMS'

# Fails unless the document $1 still gives the command $2, alone on a line.
doc_gives() {
  grep -qxF "$2" "$1" || fail "$1 no longer gives the command: $2"
}

# Runs the command $2 that the document $1 gives, with the arguments after
# it, as the log shows on standard error, and with no standard input.
run_documented() {
  doc_gives "$1" "$2"
  echo "+ ${*:2}" >&2
  eval "${*:2}" </dev/null
}
