#!/usr/bin/env bash
# Prints the processor that the ELF program $1 is for, on one line, as
# readelf -h gives its Machine and Flags: what packaging/architectures'
# patterns match.
set -euo pipefail
readelf -h "$1" | sed -n 's/^ *\(Machine\|Flags\): *//p' | paste -sd' '
