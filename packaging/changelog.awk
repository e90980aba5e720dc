# CHANGELOG.md, the second file, as Debian's changelog (-v format=deb) or an
# RPM %changelog (-v format=rpm), each entry signed by -v maintainer. The
# first file holds each entry's time stamp, one a line, in the format's own
# form, as `date` gave them from the entries' "## VERSION (YYYY-MM-DD)".
FNR == NR {
  stamps[FNR] = $0
  next
}
function sign() {
  if (format == "deb" && version) printf "\n -- %s  %s\n", maintainer, stamp
}
/^## / {
  sign()
  if (version) print ""
  version = $2
  stamp = stamps[++entries]
  if (format == "deb") printf "pairs (%s) unstable; urgency=medium\n\n", version
  else printf "* %s %s - %s-1\n", stamp, maintainer, version
  next
}
!version || /^$/ { next }
format == "deb" { sub(/^- /, "  * ") || sub(/^  /, "    ") }
{ print }
END { sign() }
