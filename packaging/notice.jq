# From holdings.json, what the static program named $program holds of others'
# code, and how to relink it from the source of pairs $version: NOTICE's
# text, and the Comment of the .deb's copyright file.
"\($program) is linked statically, and so also holds:\n",
(.libraries[] | "- \(.name) \(.version)", "  Licence: \(.license)", if .package then
  "  Source: Debian source package \(.package.source) \(.package.sourceVersion)",
  "  From: \(.sourceLocation)"
else "  Source: unknown: no Debian package installed it" end),
"",
"To relink it with other versions of them, build it from pairs' source",
"tarball, pairs-\($version).tar.gz, as its README.md says."
