#!/usr/bin/env bash
# Prints the processor that the ELF program $1 is for, on one line, as
# readelf -h gives its Machine and Flags; and fails unless that matches the
# shell pattern $2, as packaging/architectures gives each architecture's.
set -euo pipefail
machine=$(readelf -h "$1" | sed -n 's/^ *\(Machine\|Flags\): *//p' | paste -sd' ')
echo "$machine"
# shellcheck disable=SC2053 # a pattern
[[ $machine == $2 ]]
