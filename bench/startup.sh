#!/usr/bin/env bash
# Start-up cost of pairs against its floor, built here in the same run by
# the same compiler: the cheapest static C program making the same six
# write(2) calls, linked each way the toolchain offers (-static,
# -static-pie, and -static-pie with packed relative relocations where the
# linker has them), all with pairs' own -O3 and section garbage collection.
# It measures instructions executed (callgrind), peak resident memory (GNU
# time, with address randomisation off) and the size of pairs stripped, and
# for reference main.cpp linked dynamically.
#
# Usage: bench/startup.sh [--max-ratio R] [--no-memory-gate] [path/to/pairs]
#                                                    (default: build/pairs)
# Exits 1 if pairs misses a target of this processor's: at most R times
# the floor's instructions (by default, bench/targets' ratio for this
# processor and Debian release), at most 1280 KiB peak resident memory, at
# most 1.4 MiB stripped. Where no target was measured, the figures are
# reported, not judged. --no-memory-gate reports peak memory without
# judging it, as under emulation, where it is the emulator's.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
usage() { sed -n '/^# Usage:/,/^set -/{/^set -/d;s/^# \{0,1\}//p}' "$0"; }
# This processor's target for this Debian release's toolchain.
machine=$(uname -m)
# shellcheck source=/dev/null # the system's own
codename=$( (. /etc/os-release 2>/dev/null && echo "${VERSION_CODENAME-}") ) || codename=""
max_ratio=""
while read -r processor release ratio; do
  if [[ $processor == "$machine" && ($release == "$codename" || $release == "*") ]]; then
    max_ratio=$ratio
    break
  fi
done < <(grep -v '^#' "$root/bench/targets")
measured=${max_ratio:+true}
memory_gate=${measured:-false}
# qemu-user reports the guest's processor, the kernel its own.
kernel_machine=$(cat /proc/sys/kernel/arch 2>/dev/null || echo "$machine")
if [[ $kernel_machine != "$machine" ]]; then
  echo "$machine on a $kernel_machine kernel, as under qemu-user: peak memory not judged"
  memory_gate=false
fi
while [[ ${1-} == --* ]]; do
  case $1 in
  --max-ratio) max_ratio=$2 && shift 2 ;;
  --no-memory-gate) memory_gate=false && shift ;;
  --help) usage && exit 0 ;;
  *) echo "startup.sh: unknown option $1" >&2 && usage >&2 && exit 2 ;;
  esac
done
pairs=${1:-$root/build/pairs}
max_kib=1280
max_stripped_mib=1.4
max_stripped_bytes=$(awk -v m="$max_stripped_mib" 'BEGIN { printf "%d", m * 1048576 }')

for tool in valgrind /usr/bin/time setarch cc c++ strip; do
  command -v "$tool" >/dev/null || {
    echo "startup.sh: needs $tool (bench/README.md names the packages)" >&2
    exit 2
  }
done
[[ -x $pairs ]] || { echo "startup.sh: no $pairs; build it first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
echo "compiler: $(cc --version | head -1); $(c++ --version | head -1)"
echo "C library: $(getconf GNU_LIBC_VERSION 2>/dev/null || echo unknown); linker: $(ld --version 2>/dev/null | head -1)"

# Every program runs with an empty environment. The C library's start-up
# looks at each variable (about 500 instructions apiece), so the caller's
# environment would otherwise move the ratio by as much as the program does.
run_bare() { env -i "$@"; }

instructions() {
  run_bare "$(command -v valgrind)" --tool=callgrind --callgrind-out-file=/dev/null "$1" 2>&1 >/dev/null |
    sed -n 's/.*Collected : *\([0-9]*\).*/\1/p'
}

# Peak resident memory, with address randomisation off: where a static PIE
# is loaded moves its peak by a tenth from run to run, and a gate must give
# the same verdict every time.
peak_kib() {
  { run_bare "$(command -v setarch)" --addr-no-randomize /usr/bin/time -f %M "$1" >/dev/null; } 2>&1
}

rows=()
add_row() { rows+=("$1|$2|$(peak_kib "$3")"); }

# The floor: each static link of the C program that this toolchain makes
# without complaint.
flags=(-std=c11 -O3 -ffunction-sections -fdata-sections "-Wl,--gc-sections")
links=("-static" "-fPIE -static-pie" "-fPIE -static-pie -Wl,-z,pack-relative-relocs")
floor=
for link in "${links[@]}"; do
  program=$work/six_writes-$((${#rows[@]} + 1))
  # shellcheck disable=SC2086 # each link is a list of options
  if cc "${flags[@]}" $link -o "$program" "$root/bench/six_writes.c" >"$work/cc.log" 2>&1 &&
    ! grep -q 'warning' "$work/cc.log"; then
    count=$(instructions "$program")
    add_row "C, six writes, ${link#-fPIE }" "$count" "$program"
    [[ -n $floor ]] && ((floor <= count)) || floor=$count
  fi
done
[[ -n $floor ]] || { echo "startup.sh: cc cannot link the C program statically" >&2; exit 2; }

c++ -std=c++17 -O3 -o "$work/pairs-dynamic" "$root/main.cpp"
add_row "pairs, dynamic link" "$(instructions "$work/pairs-dynamic")" "$work/pairs-dynamic"
pairs_instr=$(instructions "$pairs")
add_row "pairs (${pairs#"$root"/})" "$pairs_instr" "$pairs"
pairs_kib=${rows[-1]##*|}

printf '%-56s %12s %8s %9s\n' program instructions "vs floor" peak_KiB
for row in "${rows[@]}"; do
  IFS='|' read -r name instr kib <<<"$row"
  printf '%-56s %12d %8s %9d\n' "$name" "$instr" \
    "$(awk -v a="$instr" -v b="$floor" 'BEGIN { printf "%.2f", a / b }')" "$kib"
done
cp "$pairs" "$work/pairs-stripped"
"$root/packaging/strip.sh" "$work/pairs-stripped" # as packaged
pairs_bytes=$(stat -c %s "$pairs")
stripped_bytes=$(stat -c %s "$work/pairs-stripped")
echo "pairs size: $pairs_bytes bytes, $stripped_bytes stripped"

missed=0
if [[ -n $max_ratio ]] &&
  awk -v a="$pairs_instr" -v b="$floor" -v r="$max_ratio" 'BEGIN { exit !(a > r * b) }'; then
  echo "pairs executes more than $max_ratio times the floor's instructions" >&2
  missed=1
fi
if [[ -n $measured ]] && ((stripped_bytes > max_stripped_bytes)); then
  echo "pairs is larger than $max_stripped_mib MiB ($max_stripped_bytes bytes) stripped" >&2
  missed=1
fi
if $memory_gate && ((pairs_kib > max_kib)); then
  echo "pairs peaks above $max_kib KiB resident" >&2
  missed=1
fi
((missed == 0)) || exit 1
peak="<= $max_kib KiB peak"
$memory_gate || peak="peak not judged"
if [[ -z $measured ]]; then
  ratio="nor the ratio"
  [[ -z $max_ratio ]] || ratio="instructions <= ${max_ratio}x the floor's, as asked"
  echo "no start-up targets have been measured on $machine: size and peak not judged, $ratio"
else
  echo "within targets on $machine: <= ${max_ratio}x the floor's instructions," \
    "<= $max_stripped_mib MiB stripped, $peak"
fi
