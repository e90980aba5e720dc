#!/usr/bin/env bash
# Start-up cost of pairs against a static C program making the same six
# write(2) calls, built here in the same run: instructions executed
# (callgrind) and peak resident memory (GNU time). For reference it also
# measures main.cpp linked dynamically.
#
# Usage: bench/startup.sh [path/to/pairs]     (default: build/pairs)
# Exits 1 if pairs misses a target: at most 2.6 times the baseline's
# instructions, at most 1.5 MiB (1536 KiB) peak resident memory.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
pairs=${1:-$root/build/pairs}
max_ratio=2.6
max_kib=1536

for tool in valgrind /usr/bin/time cc c++; do
  command -v "$tool" >/dev/null || { echo "startup.sh: needs $tool" >&2; exit 2; }
done
[[ -x $pairs ]] || { echo "startup.sh: no $pairs; build it first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cc -std=c11 -O2 -static -o "$work/six_writes" "$root/bench/six_writes.c"
c++ -std=c++17 -O2 -o "$work/pairs-dynamic" "$root/main.cpp"

instructions() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$1" 2>&1 >/dev/null |
    sed -n 's/.*Collected : *\([0-9]*\).*/\1/p'
}

# Resident memory wobbles by a few pages from run to run: keep the largest.
peak_kib() {
  local run kib largest=0
  for run in 1 2 3 4 5; do
    kib=$(/usr/bin/time -f %M "$1" 2>&1 >/dev/null)
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

if awk -v a="$pairs_instr" -v b="$base_instr" -v r="$max_ratio" 'BEGIN { exit !(a > r * b) }'; then
  echo "pairs executes more than $max_ratio times the baseline's instructions" >&2
  exit 1
fi
if ((pairs_kib > max_kib)); then
  echo "pairs peaks above $max_kib KiB resident" >&2
  exit 1
fi
echo "within targets: <= ${max_ratio}x instructions, <= $max_kib KiB peak"
