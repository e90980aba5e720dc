# The .deb's copyright file, in Debian's format, from holdings.json: pairs'
# copyright and licence, by Debian's name, with $license, LICENSE's text below
# its copyright line; what the static program holds ($notice), their licences
# by reference to Debian's copies, and GCC's exception ($exception) whole.
def indent: rtrimstr("\n") | split("\n") | map(if . == "" then " ." else " " + . end) | join("\n");
"Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/",
"Upstream-Name: pairs",
if .link == "dynamic" then empty else "Comment: \($notice | indent | .[1:])" end,
"",
"Files: *",
"Copyright: \(.pairs.copyright)",
"License: \(.pairs.license | sub("^MIT$"; "Expat"))",
($license | indent),
(.libraries[] | "",
  "License: \(.license | sub("-or-later"; "+") | sub(" WITH (?<e>.*)"; " with \(.e) exception"))",
  " On Debian systems, its GNU licence is in /usr/share/common-licenses/\(.licenseText)."),
if .link == "dynamic" then empty else " .\n\($exception | indent)" end
