#!/usr/bin/env bash
# Writes the tarball named $1, NAME.tar.gz, into the build tree, holding the
# folder PAIRS_WORK/NAME, by GNU tar and gzip: in name order, owned by root,
# with modes free of the umask and every time the release's, so that it is
# the same bytes wherever and whenever it is made.
set -euo pipefail
tarball=$1
tar --create --file=- --directory="$PAIRS_WORK" --format=gnu --sort=name --owner=root:0 \
  --group=root:0 --mode=u+w,go-w,a+rX --mtime="@$SOURCE_DATE_EPOCH" "${tarball%.tar.gz}" |
  gzip -9n >"$PAIRS_BUILD/$tarball"
