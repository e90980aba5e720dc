# holdings.json, what the program holds, from the objects that holdings.sh
# found, one a library: pairs' own code ($copyright, $license), and each
# library with, where a Debian package installed it, the upstream version and
# the address of that package's source; and the licence of the whole.
map(. + if .package then {
  version: (.package.version | sub("^[0-9]+:"; "") | sub("-[^-]*$"; "")),
  sourceLocation: "https://snapshot.debian.org/package/\(.package.source)/\(.package.sourceVersion | @uri)/"
} else {} end) as $libraries
| {
  link: $link,
  license: ([$license, $libraries[].license] | join(" AND ")),
  pairs: {copyright: $copyright, holder: ($copyright | sub("^[-0-9, ]* "; "")), license: $license},
  libraries: $libraries
}
