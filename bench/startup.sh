#!/usr/bin/env bash
# Start-up cost of pairs against a static C program making the same six
# write(2) calls, built here in the same run: instructions executed
# (callgrind), peak resident memory (GNU time) and the size of the program
# stripped. For reference it also measures main.cpp linked dynamically.
#
# Usage: bench/startup.sh [--no-memory-gate] [path/to/pairs]
#                                              (default: build/pairs)
# Exits 1 if pairs misses a target: at most 4.3 times the baseline's
# instructions, at most 1280 KiB peak resident memory, at most 1.4 MiB
# stripped. Peak memory moves by tens of KiB between runs of one binary, so
# --no-memory-gate (for CI) reports it without judging it.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
memory_gate=true
if [[ ${1-} == --no-memory-gate ]]; then
  memory_gate=false
  shift
fi
pairs=${1:-$root/build/pairs}
max_ratio=4.3
max_kib=1280
max_stripped_mib=1.4
max_stripped_bytes=$(awk -v m="$max_stripped_mib" 'BEGIN { printf "%d", m * 1048576 }')

for tool in valgrind /usr/bin/time cc c++ strip; do
  command -v "$tool" >/dev/null || { echo "startup.sh: needs $tool" >&2; exit 2; }
done
[[ -x $pairs ]] || { echo "startup.sh: no $pairs; build it first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cc -std=c11 -O2 -static -o "$work/six_writes" "$root/bench/six_writes.c"
c++ -std=c++17 -O2 -o "$work/pairs-dynamic" "$root/main.cpp"

# Every program runs with an empty environment. The C library's start-up
# looks at each variable (about 500 instructions apiece), so the caller's
# environment would otherwise move the ratio by as much as the program does.
run_bare() { env -i "$@"; }

instructions() {
  run_bare "$(command -v valgrind)" --tool=callgrind --callgrind-out-file=/dev/null "$1" 2>&1 >/dev/null |
    sed -n 's/.*Collected : *\([0-9]*\).*/\1/p'
}

# Resident memory wobbles from run to run: keep the largest.
peak_kib() {
  local run kib largest=0
  for run in 1 2 3 4 5; do
    kib=$(run_bare /usr/bin/time -f %M "$1" 2>&1 >/dev/null)
    ((kib > largest)) && largest=$kib
  done
  echo "$largest"
}

base_instr=$(instructions "$work/six_writes")
printf '%-22s %14s %8s %10s\n' program instructions ratio peak_KiB
report() {
  local name=$1 instr=$2 kib=$3
  printf '%-22s %14d %8s %10d\n' "$name" "$instr" \
    "$(awk -v a="$instr" -v b="$base_instr" 'BEGIN { printf "%.2f", a / b }')" "$kib"
}
report "C, six write(2) calls" "$base_instr" "$(peak_kib "$work/six_writes")"
report "pairs, dynamic link" "$(instructions "$work/pairs-dynamic")" "$(peak_kib "$work/pairs-dynamic")"

pairs_instr=$(instructions "$pairs")
pairs_kib=$(peak_kib "$pairs")
report "pairs (${pairs#"$root"/})" "$pairs_instr" "$pairs_kib"
strip -o "$work/pairs-stripped" "$pairs"
pairs_bytes=$(stat -c %s "$pairs")
stripped_bytes=$(stat -c %s "$work/pairs-stripped")
echo "pairs size: $pairs_bytes bytes, $stripped_bytes stripped"

missed=0
if awk -v a="$pairs_instr" -v b="$base_instr" -v r="$max_ratio" 'BEGIN { exit !(a > r * b) }'; then
  echo "pairs executes more than $max_ratio times the baseline's instructions" >&2
  missed=1
fi
if ((stripped_bytes > max_stripped_bytes)); then
  echo "pairs is larger than $max_stripped_mib MiB ($max_stripped_bytes bytes) stripped" >&2
  missed=1
fi
if $memory_gate && ((pairs_kib > max_kib)); then
  echo "pairs peaks above $max_kib KiB resident" >&2
  missed=1
fi
((missed == 0)) || exit 1
echo "within targets: <= ${max_ratio}x instructions, <= $max_stripped_mib MiB stripped," \
  "$($memory_gate && echo "<= $max_kib KiB peak" || echo "peak not judged")"
