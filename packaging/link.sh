#!/usr/bin/env bash
# Prints how the ELF program $1 is linked: dynamic (it names an interpreter),
# static-pie (a position-independent executable without one) or static.
set -euo pipefail
case $(readelf -lhW "$1") in
*INTERP*) echo dynamic ;;
*"DYN ("*) echo static-pie ;;
*) echo static ;;
esac
