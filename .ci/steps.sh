# shellcheck shell=bash
# How .ci/run and .ci/checks head their steps and say what each needs;
# sourced by them after .ci/lib.sh. As root, a step's Debian packages are
# installed where missing; as anyone else, a step that needs more than is
# here is left out, and named at the end of the run.
# shellcheck disable=SC2034 # .ci/run and .ci/checks read the package lists set here
# shellcheck disable=SC2154 # .ci/lib.sh, sourced before this, sets what it reads

export CMAKE_BUILD_PARALLEL_LEVEL=${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}
export DEBIAN_FRONTEND=noninteractive
# Every tool's temporary files, lintian's among them, go where the run cleans up.
export TMPDIR=$work
# What the run leaves out, and why, one a line, for lib.sh's not_checked:
# the list of the .ci/run that runs this, which names them at its end, or
# this run's own.
if [[ -z ${PAIRS_CI_LEFT_OUT-} ]]; then
  export PAIRS_CI_LEFT_OUT=$work/left-out
  : >"$PAIRS_CI_LEFT_OUT"
  names_left_out=yes
fi

# The packages some steps need, from bench/README.md and packaging/architectures.
read -ra bench_prerequisites <<<"${bench_prerequisites_command##*-y }"
mapfile -t cross_compilers < <(for name in "${other_architectures[@]}"; do
  arch_facts "$name"
  echo "g++-$triplet"
done)
# And those of the kernels' step: each kernel's qemu-system and cross compiler.
mapfile -t emulators < <(for name in "${kernel_architectures[@]}"; do
  arch_facts "$name"
  echo "$qemu_system_package"
  echo "g++-$triplet"
done)
# Where the archive has an SPDX validator (Debian testing has), it checks the bill of materials.
spdx_tools=(python3-spdx-tools)
apt-cache show "${spdx_tools[@]}" >/dev/null 2>&1 || spdx_tools=()

step() {
  current_step=$*
  printf '\n=== %s%s (at %d s)\n' "${PAIRS_CI_ON:+[$PAIRS_CI_ON] }" "$*" "$SECONDS"
}

# True once the Debian packages named are installed: as root it installs
# those missing; as anyone else it leaves the current step out.
needs() {
  local missing=()
  local package
  for package; do
    installed "$package" || missing+=("$package")
  done
  ((${#missing[@]})) || return 0
  if ((EUID != 0)); then
    leave_out "$current_step (needs ${missing[*]})"
    return 1
  fi
  if [[ -z ${apt_updated-} ]]; then
    apt-get update -q || archive_failed "apt-get update"
    apt_updated=yes
  fi
  apt-get install -y -q --no-install-recommends "${missing[@]}" ||
    archive_failed "apt-get install ${missing[*]}"
}

# True as root; as anyone else, leaves the current step out, which needs root for $1.
needs_root() {
  ((EUID == 0)) && return 0
  leave_out "$current_step (needs root, $1)"
  return 1
}

# True once the release files are made, and the Debian packages named installed.
needs_release_files() {
  if [[ ! -f build/release.json ]]; then
    leave_out "$current_step (needs the release files, left out above)"
    return 1
  fi
  needs "$@"
}

# True where qemu-user's interpreters run the other architectures' programs:
# as root, once .ci/check-cross has registered them; as anyone else, where
# root has, or else it leaves the current step out.
needs_interpreters() {
  if ((EUID == 0)); then
    .ci/check-cross --register
  elif [[ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]]; then
    leave_out "$current_step (needs root, to register qemu-user's interpreters)"
    return 1
  fi
}

# Names what the run left out, and why, if anything and if it keeps the list,
# and ends the run, which passed, as $1 (CI, or .ci/checks).
finish() {
  if [[ -n ${names_left_out-} && -s $PAIRS_CI_LEFT_OUT ]]; then
    echo
    echo "Left out of this run, and why:"
    sed 's/^/- /' "$PAIRS_CI_LEFT_OUT"
  fi
  echo "verdict: $1 passed${PAIRS_CI_ON:+ on $PAIRS_CI_ON} in $SECONDS s"
  exit 0
}
