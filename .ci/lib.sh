# shellcheck shell=bash
# shellcheck disable=SC2034 # the scripts that source this use its variables
# What the CI scripts share; sourced by them from the top of the tree.

# The program's whole output.
listing=$'0 0\n0 1\n0 2\n1 1\n1 2\n2 2'

# README's commands, the benchmark's in bench/README.md and the release files'
# in doc/packaging.md, which CI runs as they stand there.
prerequisites_command='apt-get update && apt-get install -y cmake make g++ libgtest-dev'
bench_prerequisites_command='apt-get install -y valgrind time'
run_command='cmake -B build && cmake --build build && ./build/pairs'
test_command='cmake -B build && cmake --build build && ctest --test-dir build --output-on-failure'
bench_command='cmake -B build && cmake --build build && bench/startup.sh'
package_command='cmake -B build && cmake --build build --target package package_source'
source_command="(cd build && apt-get source --download-only \"\$(dpkg-deb -f pairs_*.deb \
Built-Using | sed 's/ (= /=/; s/)\$//')\")"

# PAIRS_CI_ON names the system CI runs on, where it is not the machine's
# own: a failure says where it happened.
fail() {
  echo "${0#./}${PAIRS_CI_ON:+ (on $PAIRS_CI_ON)}: $*" >&2
  exit 1
}

# An archive that cannot be installed from is no fault of the project's: this
# status tells .ci/on-debian to skip that release, saying so.
archive_failure_status=75
archive_failed() {
  echo "${0#./}${PAIRS_CI_ON:+ (on $PAIRS_CI_ON)}: the archive failed: $*" >&2
  exit "$archive_failure_status"
}

# Notes a step, or part of one, left out for want of root, for .ci/run to
# name at the end. Root can install and do everything, so as root a step is
# never left out: its want is a fault of CI's own.
leave_out() {
  ((EUID != 0)) || fail "as root, CI would have left out: $*"
  echo "left out: $*"
  echo "$*" >>"${PAIRS_CI_LEFT_OUT:-/dev/null}"
}

# Points apt, by APT_CONFIG, at lists and downloads of its own in $1, and at
# the architecture $2 alone, if given: the machine's dpkg is left as it is.
own_apt() {
  mkdir -p "$1/lists/partial"
  printf '%s\n' "Dir::State::Lists \"$1/lists\"; Dir::State::status \"/dev/null\";" \
    "Dir::Cache \"$1\"; Dir::Cache::pkgcache \"\"; Dir::Cache::srcpkgcache \"\";" \
    ${2:+"APT::Architecture \"$2\"; APT::Architectures \"$2\";"} >"$1/apt.conf"
  export APT_CONFIG=$1/apt.conf
}

installed() { [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null) == *' installed' ]]; }

# Sets version and the release files' names (deb, rpm, binary_tarball,
# source_tarball, the bill of materials sbom, and all five in artifacts) from
# what the build in $1 made, which package.sh wrote as shell assignments.
read_artifacts() {
  [[ -f $1/artifacts ]] || fail "$1 has made no release files"
  version="" deb="" rpm="" binary_tarball="" source_tarball="" sbom=""
  # shellcheck source=/dev/null
  source "$1/artifacts"
  artifacts=("$deb" "$rpm" "$binary_tarball" "$source_tarball" "$sbom")
}

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

# Debian's release architectures: name, rpm's, cross compilers' triplet,
# qemu's name, and a pattern for the machine and flags of readelf -h. arch_facts
# sets arch, rpm_arch, triplet, qemu and elf_machine for the one named $1.
architectures="amd64 x86_64 x86_64-linux-gnu x86_64 Advanced Micro Devices X86-64 *
arm64 aarch64 aarch64-linux-gnu aarch64 AArch64 *
armhf armv7hl arm-linux-gnueabihf arm ARM *hard-float*
armel armv5tel arm-linux-gnueabi arm ARM *soft-float*
i386 i686 i686-linux-gnu i386 Intel 80386 *
ppc64el ppc64le powerpc64le-linux-gnu ppc64le PowerPC64 *
riscv64 riscv64 riscv64-linux-gnu riscv64 RISC-V *
s390x s390x s390x-linux-gnu s390x IBM S/390 *"
foreign_architectures=(arm64 armhf armel i386 ppc64el riscv64 s390x)
arch_facts() {
  read -r arch rpm_arch triplet qemu elf_machine < <(grep "^$1 " <<<"$architectures") ||
    fail "no such architecture: $1"
}

# Fails unless the program at $1 (named $2 in messages) is static and prints
# the listing, byte for byte.
check_static_listing() {
  [[ $("$1" && echo .) == "$listing"$'\n.' ]] || fail "$2 gave the wrong listing"
  [[ $(readelf -l "$1" | grep -o -e INTERP -e LOAD | sort -u) == LOAD ]] || fail "$2 is not static"
}

# Fails unless the program at $1 (named $2 in messages) is static, stripped
# of symbols and of .comment, $elf_machine code, and prints the listing.
check_shipped_program() {
  local sections
  check_static_listing "$1" "$2"
  # shellcheck disable=SC2053 # the pattern is one
  [[ $(readelf -h "$1" | sed -n 's/^ *\(Machine\|Flags\): *//p' | xargs) == $elf_machine ]] ||
    fail "$2 is not $arch code"
  sections=$(readelf -S "$1")
  [[ $sections != *.symtab* ]] || fail "$2 is not stripped"
  [[ $sections != *.comment* ]] || fail "$2 has a .comment section"
}

# Fails unless $1 was compressed by gzip -n: no file name or time stamp.
check_gzip_header() {
  [[ $(od -An -tx1 -N8 "$1") == " 1f 8b 08 00 00 00 00 00" ]] ||
    fail "$1's gzip header holds a file name or time stamp"
}

# Fails, naming each warning, if the log at $1 holds a deprecation warning
# from the tool named $2.
fail_on_deprecation() {
  local warnings
  warnings=$(grep -E 'DeprecationWarning|is deprecated' "$1") || return 0
  fail "$2 warns of a deprecation: $warnings"
}
