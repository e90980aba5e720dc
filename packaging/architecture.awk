# Prints the rows of packaging/architectures, their fields split by tabs: all
# of them, or with -v architecture=NAME the one whose Debian name or GNU
# triplet is NAME. Prints nothing and fails if there is no such row, or if a
# row has other than nine fields, naming its file and line.
BEGIN {
  FS = " *[|] *"
  OFS = "\t"
}
/^#/ { next }
NF != 9 {
  printf "%s:%d: %d fields, not the 9 its header names\n", FILENAME, FNR, NF > "/dev/stderr"
  broken = 1
  exit
}
architecture == "" || $1 == architecture || $3 == architecture {
  $1 = $1
  rows[++count] = $0
}
END {
  if (!broken && !count) printf "%s: no architecture %s\n", FILENAME, architecture > "/dev/stderr"
  if (broken || !count) exit 1
  for (row = 1; row <= count; row++) print rows[row]
}
