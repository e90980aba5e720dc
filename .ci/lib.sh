# shellcheck shell=bash
# shellcheck disable=SC2034 # the scripts that source this use its variables
# shellcheck disable=SC2016 # apt-get's and dpkg-query's formats expand their own $
# What the CI scripts share; sourced by them from the top of the tree, it
# gives each a directory of its own for temporary files, $work, and the
# commands the documents give (.ci/documented.sh).

# The program's whole output.
listing=$'0 0\n0 1\n0 2\n1 1\n1 2\n2 2'
# shellcheck source=.ci/documented.sh
source .ci/documented.sh

work=$(mktemp -d)
# Read-only files too, as .ci/check-odd-trees makes.
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT

# The system CI runs on, where it is not the machine's own: set by .ci/on-debian.
: "${PAIRS_CI_ON=}"
# Says what went wrong on standard error, from this script and, where CI runs
# on a system that is not the machine's own, on the system PAIRS_CI_ON names.
complain() {
  echo "${0#./}${PAIRS_CI_ON:+ (on $PAIRS_CI_ON)}: $*" >&2
}
# Names a command that failed where set -e ends the script, with its line,
# so that no script ends in silence. (Not errtrace: that would also name
# failures a command substitution goes on from.)
trap 'complain "line $LINENO: failed: $BASH_COMMAND"' ERR

fail() {
  complain "$@"
  exit 1
}

# Runs the command after $1 with its output in $work/log, which on failure it
# shows, and fails saying $1.
quietly() {
  local failure=$1
  shift
  if ! "$@" </dev/null >"$work/log" 2>&1; then
    cat "$work/log"
    fail "$failure"
  fi
}

# An archive that cannot be installed from is no fault of the project's: this
# status tells .ci/on-debian to skip that release, saying so.
archive_failure_status=75
archive_failed() {
  complain "the archive failed: $*"
  exit "$archive_failure_status"
}

# Notes a check, or part of one, that this run does not make, and why ($*),
# for .ci/run to name at the end: a tool too old here, or one the archive lacks.
not_checked() {
  echo "not checked: $*"
  echo "$*" >>"${PAIRS_CI_LEFT_OUT:-/dev/null}"
}
# The same, loudly, for what the archive's fault kept from being checked:
# $1, for the reason $2.
skipped() {
  echo "!!! SKIPPED $1: $2 (the archive's fault; nothing checked)"
  echo "$1: $2 (the archive's fault)" >>"${PAIRS_CI_LEFT_OUT:-/dev/null}"
}
# The same, for want of root. Root can install and do everything, so as root
# a step is never left out: its want is a fault of CI's own.
leave_out() {
  ((EUID != 0)) || fail "as root, CI would have left out: $*"
  not_checked "$@"
}

# The archive this machine's apt installs the release named $1 from. apt
# writes a line for each of the release's indexes, one write each: sed reads
# them all, where head's early end could kill apt by SIGPIPE, failing the pipe.
archive() {
  apt-get indextargets --format '$(REPO_URI)' "Release: $1" 'Target-Of: deb' | sed -n 1p
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

# The field named $1 of the os-release file $2, by default this machine's.
os_release() {
  # shellcheck source=/dev/null
  (. "${2:-/etc/os-release}" && echo "${!1-}")
}

installed() { [[ $(dpkg-query -W -f='${Status}' "$1" 2>/dev/null) == *' installed' ]]; }

# Sets version and the release files' names (deb, rpm, binary_tarball,
# source_tarball, the bill of materials sbom, and all five in artifacts) from
# the release.json that the package target wrote in the build tree $1. In
# this tree's build/, where there is none, it makes them first, as CI does,
# by the release-files preset; a build tree it finds is taken as it is.
release_files() {
  if [[ ! -f $1/release.json && $(realpath -m "$1") == "$PWD/build" ]]; then
    echo "+ cmake --workflow --preset release-files (build/ has no release files)"
    quietly "the release-files preset failed" cmake --workflow --preset release-files
  fi
  [[ -f $1/release.json ]] || fail "$1 has made no release files"
  { read -r version && read -r deb && read -r rpm && read -r binary_tarball &&
    read -r source_tarball && read -r sbom; } < <(jq -r '.version, .files[]' "$1/release.json")
  artifacts=("$deb" "$rpm" "$binary_tarball" "$source_tarball" "$sbom")
}

# Prints packaging/architectures' rows, their fields split by tabs: all, or
# the one named $1.
architectures() {
  awk -v architecture="${1-}" -f packaging/architecture.awk packaging/architectures
}
# Sets arch, rpm_arch, triplet, qemu, elf_machine (a pattern), and where CI
# boots its kernel (else -) kernel_flavour, qemu_system_package, qemu_system
# and console, for the architecture named $1.
arch_facts() {
  local row
  row=$(architectures "$1") || fail "no such architecture: $1"
  IFS=$'\t' read -r arch rpm_arch triplet qemu elf_machine kernel_flavour qemu_system_package \
    qemu_system console <<<"$row"
}
# Debian's names for the architectures besides this machine's, and of those
# whose own kernels CI boots.
mapfile -t other_architectures < <(architectures | cut -f1 | grep -vx "$(dpkg --print-architecture)")
mapfile -t kernel_architectures < <(architectures | cut -f1,6 | grep -v $'\t-$' | cut -f1)
# The Debian packages of a sysroot for the architecture $2 with GCC $1: the C
# and C++ libraries and what they need to link (doc/packaging.md).
sysroot_packages() {
  printf "%s${2:+:$2}\n" libc6 libc6-dev linux-libc-dev libgcc-s1 "libgcc-$1-dev" libstdc++6 \
    "libstdc++-$1-dev" "gcc-$1-base"
}

# Fails, naming each warning, if the log at $1 holds a deprecation warning
# from the tool named $2.
fail_on_deprecation() {
  local warnings
  warnings=$(grep -E 'DeprecationWarning|is deprecated' "$1") || return 0
  fail "$2 warns of a deprecation: $warnings"
}
