#!/usr/bin/env bash
# Writes the tarball TARBALL holding the folder DIR, under DIR's own name, by
# GNU tar and gzip: in name order, owned by root, with modes free of the
# umask and every time the release's, so that it is the same bytes wherever
# and whenever it is made. Usage: tarball.sh TARBALL DIR
set -euo pipefail
tarball=$1
dir=$2
: "${SOURCE_DATE_EPOCH:?set by package.sh}"
tar --create --file=- --directory="$(dirname "$dir")" --format=gnu --sort=name --owner=root:0 \
  --group=root:0 --mode=u+w,go-w,a+rX --mtime="@$SOURCE_DATE_EPOCH" "$(basename "$dir")" |
  gzip -9n >"$tarball"
