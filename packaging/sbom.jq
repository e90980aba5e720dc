# pairs' bill of materials, in SPDX 2.3: each release file in $checksums (as
# sha256sum writes them) with its checksum, pairs ($version), and each library
# its program holds, from holdings.json ($holdings[0]).
def id: "SPDXRef-" + (gsub("\\+"; "p") | gsub("[^A-Za-z0-9.]+"; "-"));
def package($name; $version; $licence): {name: $name, SPDXID: ($name | id),
  versionInfo: $version, downloadLocation: "NOASSERTION", filesAnalyzed: false,
  licenseConcluded: $licence, licenseDeclared: $licence};
def relate($from; $type; $to):
  {spdxElementId: ($from | id), relationshipType: $type, relatedSpdxElement: ($to | id)};
def source_package: "Debian source package \(.source) \(.sourceVersion)";
def purl: "pkg:deb/debian/\(.source)@\(.sourceVersion | @uri)?arch=source";

($checksums | split("\n")[:-1] | map(split("  "))) as $files
| $holdings[0] as $holdings
| $holdings.libraries as $libraries
| {
  spdxVersion: "SPDX-2.3", dataLicense: "CC0-1.0", SPDXID: "SPDXRef-DOCUMENT", name: $name,
  documentNamespace: $namespace, creationInfo: {created: $created, creators: ["Tool: jq"]},
  packages: ([$files[] | package(.[1]; $version; $holdings.license)
      + {checksums: [{algorithm: "SHA256", checksumValue: .[0]}]}]
    + [package("pairs"; $version; $holdings.pairs.license)]
    + [$libraries[] | package(.name; .version; .license) + if .package
      then {sourceInfo: (.package | source_package), externalRefs: [{
        referenceCategory: "PACKAGE-MANAGER", referenceType: "purl",
        referenceLocator: (.package | purl)}]}
      else {sourceInfo: "unknown: no Debian package installed it"} end]),
  relationships: [($files[] | relate("DOCUMENT"; "DESCRIBES"; .[1]),
    relate(.[1]; "CONTAINS"; "pairs")), ($libraries[] | relate("pairs"; "STATIC_LINK"; .name))]
}
