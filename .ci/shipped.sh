# shellcheck shell=bash
# Checks of pairs as it ships, and of the files beside it; sourced, after
# .ci/lib.sh, by the CI scripts that check a build or a release file.
# shellcheck disable=SC2154 # .ci/lib.sh and its arch_facts set listing, arch and elf_machine

# Fails unless the program at $1 (named $2 in messages) is static and prints
# the listing, byte for byte.
check_static_listing() {
  [[ $("$1" && echo .) == "$listing"$'\n.' ]] || fail "$2 gave the wrong listing"
  [[ $(packaging/link.sh "$1") != dynamic ]] || fail "$2 is not static"
}

# Fails unless $1 was compressed by gzip -n: no file name or time stamp.
check_gzip_header() {
  [[ $(od -An -tx1 -N8 "$1") == " 1f 8b 08 00 00 00 00 00" ]] ||
    fail "$1's gzip header holds a file name or time stamp"
}

# Fails unless the program at $1 (named $2 in messages) is static, stripped
# of symbols and of .comment, $elf_machine code, and prints the listing.
check_shipped_program() {
  local sections
  check_static_listing "$1" "$2"
  packaging/machine.sh "$1" "$elf_machine" >/dev/null || fail "$2 is not $arch code"
  sections=$(readelf -S "$1")
  [[ $sections != *.symtab* ]] || fail "$2 is not stripped"
  [[ $sections != *.comment* ]] || fail "$2 has a .comment section"
}

# Runs lintian on the package $1, pedantic, with experimental and
# informational tags and the options after it, shown what it reports in
# lintian_says. Its warning that it runs as root goes to standard error,
# which is kept apart.
run_lintian() {
  echo "+ lintian --pedantic -E -I ${*:2} $(basename "$1")"
  if ! lintian_says=$(lintian --pedantic -E -I "${@:2}" --fail-on none "$1" 2>"$work/lintian.err")
  then
    cat "$work/lintian.err"
    fail "lintian could not check $(basename "$1")"
  fi
  echo "$lintian_says"
}

# Fails unless the man page at $1 was compressed by gzip -n and renders cleanly.
check_man_page() {
  check_gzip_header "$1"
  local groff_says
  groff_says=$(zcat "$1" | groff -man -Tutf8 -ww -z 2>&1)
  [[ -z $groff_says ]] || fail "the man page renders with warnings: $groff_says"
}
