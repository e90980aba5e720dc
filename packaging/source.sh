#!/usr/bin/env bash
# Copies into the new folder TOP the files of the source tarball of the tree
# SOURCE: in a git work tree of its own (GIT non-empty), the files git tracks,
# as they are in the tree, and COMMIT, which names the commit they are (and
# says if they have changed since); elsewhere, as in an unpacked source
# tarball, which holds its COMMIT, all but .git and build*/.
# Usage: source.sh SOURCE TOP GIT
set -euo pipefail
source_dir=$1
top=$2
in_git=$3
mkdir "$top"
cd "$source_dir"
if [[ -n $in_git ]]; then
  git ls-files -z >"$top.files"
  changed=$(git diff --quiet HEAD || echo ", with changes not committed")
  echo "$(git rev-parse HEAD)$changed" >"$top/COMMIT"
else
  echo "pairs: $source_dir is no git work tree; packing all its files but .git and build*/"
  find . -path ./.git -prune -o -path './build*' -prune -o ! -type d -printf '%P\0' >"$top.files"
fi
# The directories first, writable: cp --parents would give them a read-only
# tree's modes, and then could not write into them.
xargs -0 dirname -z <"$top.files" | (cd "$top" && xargs -0 mkdir -p)
xargs -0 cp --parents --no-dereference --preserve=mode -t "$top" <"$top.files"
rm "$top.files"
