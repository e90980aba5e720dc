# shellcheck shell=bash
# Checks of pairs as it ships, and of the files beside it; sourced, after
# .ci/lib.sh, by the CI scripts that check a build or a release file.
# shellcheck disable=SC2154 # .ci/lib.sh and its arch_facts set listing, arch and elf_machine

# Fails unless the program at $1 (named $2 in messages) is static and prints
# the listing, byte for byte.
check_static_listing() {
  [[ $("$1" && echo .) == "$listing"$'\n.' ]] || fail "$2 gave the wrong listing"
  [[ $(readelf -l "$1" | grep -o -e INTERP -e LOAD | sort -u) == LOAD ]] || fail "$2 is not static"
}

# Fails unless $1 was compressed by gzip -n: no file name or time stamp.
check_gzip_header() {
  [[ $(od -An -tx1 -N8 "$1") == " 1f 8b 08 00 00 00 00 00" ]] ||
    fail "$1's gzip header holds a file name or time stamp"
}

# Fails unless the program at $1 (named $2 in messages) is static, stripped
# of symbols and of .comment, $elf_machine code, and prints the listing.
check_shipped_program() {
  local sections machine
  check_static_listing "$1" "$2"
  machine=$(readelf -h "$1" | sed -n 's/^ *\(Machine\|Flags\): *//p' | paste -sd' ')
  # shellcheck disable=SC2053 # packaging/architectures gives a pattern
  [[ $machine == $elf_machine ]] || fail "$2 is not $arch code"
  sections=$(readelf -S "$1")
  [[ $sections != *.symtab* ]] || fail "$2 is not stripped"
  [[ $sections != *.comment* ]] || fail "$2 has a .comment section"
}

# Fails unless the man page at $1 was compressed by gzip -n and renders cleanly.
check_man_page() {
  check_gzip_header "$1"
  local groff_says
  groff_says=$(zcat "$1" | groff -man -Tutf8 -ww -z 2>&1)
  [[ -z $groff_says ]] || fail "the man page renders with warnings: $groff_says"
}
