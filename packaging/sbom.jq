# pairs' bill of materials, in SPDX 2.3: each release file in $checksums (as
# sha256sum writes them) with its checksum, generated from the source tarball
# among them, $source, made from the git commit $commit; pairs; each library
# its program holds, from holdings.json ($holdings[0]); and what built them,
# from build-record.sh's lines ($record): each Debian package, or program that no
# package installed, related to what it built, on the system $system describes.
def id: "SPDXRef-" + (gsub("\\+"; "p") | gsub("[^A-Za-z0-9.]+"; "-"));
def relate($from; $type; $to): {spdxElementId: $from, relationshipType: $type, relatedSpdxElement: $to};
def package($name; $version; $licence; $supplier): {name: $name, SPDXID: ($name | id),
  versionInfo: $version, supplier: $supplier, downloadLocation: "NOASSERTION",
  filesAnalyzed: false, licenseConcluded: $licence, licenseDeclared: $licence};
def purl($name; $version; $architecture): {referenceCategory: "PACKAGE-MANAGER",
  referenceType: "purl", referenceLocator: ("pkg:deb/\($system.id)/\($name | @uri)@\($version | @uri)"
    + "?arch=\($architecture)&distro=\($system.id)-\($system.version)")};
def debian_id: "deb-\(.name)-\(.architecture)" | id;
# A release file, from its line of $checksums, with its licence and supplier.
def release_file($licence; $supplier): package(.[1]; $version; $licence; $supplier)
  + {checksums: [{algorithm: "SHA256", checksumValue: .[0]}]};

($checksums | split("\n")[:-1] | map(split("  "))) as $all
| ($all | map(select(.[1] != $source))) as $files
| ($source | id) as $source_id
| $holdings[0] as $holdings
| ($record | split("\n")[:-1]
  | map(split("\t") | (.[2] | fromjson) + {relationship: .[0], of: .[1]})) as $record
| "Organization: \($holdings.pairs.holder)" as $project
| "Organization: \($system.supplier)" as $distributor
| ($record | map(select(.architecture)) | unique_by(debian_id)) as $debian
| ($record | map(select(.architecture | not)) | unique_by(.name)) as $unowned
| {
  spdxVersion: "SPDX-2.3", dataLicense: "CC0-1.0", SPDXID: "SPDXRef-DOCUMENT", name: $name,
  documentNamespace: $namespace,
  creationInfo: {created: $created, creators: [$project, "Tool: \($tool)"]},
  packages: ([$files[] | release_file($holdings.license; $project)]
    + [$all[] | select(.[1] == $source) | release_file($holdings.pairs.license; $project)
      + {primaryPackagePurpose: "SOURCE",
        sourceInfo: (if $commit == "" then "made from an unknown git commit"
          else "made from git commit \($commit)" end)}]
    + [package("pairs"; $version; $holdings.pairs.license; $project)]
    + [$holdings.libraries[] | if .package then
        package(.name; .version; .license; $distributor) + {downloadLocation: .sourceLocation,
          sourceInfo: "Debian source package \(.package.source) \(.package.sourceVersion)",
          externalRefs: [purl(.package.source; .package.sourceVersion; "source")]}
      else package(.name; .version; .license; "NOASSERTION")
        + {sourceInfo: "unknown: no Debian package installed it"} end]
    + [{name: $system.name, SPDXID: "SPDXRef-system", versionInfo: $system.codename,
        supplier: $distributor, downloadLocation: "NOASSERTION", filesAnalyzed: false,
        primaryPackagePurpose: "OPERATING-SYSTEM"}]
    + [$debian[] | package(.name; .version; "NOASSERTION"; $distributor) + {SPDXID: debian_id,
        sourceInfo: "built from Debian source package \(.source) \(.sourceVersion)",
        externalRefs: [purl(.name; .version; .architecture)]}]
    + [$unowned[] | package(.name; .version; "NOASSERTION"; "NOASSERTION")
        + {SPDXID: ("program-\(.name)" | id), sourceInfo: "unknown: no Debian package installed it"}]),
  relationships: ([$all[] | relate("SPDXRef-DOCUMENT"; "DESCRIBES"; .[1] | id)]
    + [$files[] | relate(.[1] | id; "CONTAINS"; "SPDXRef-pairs"),
      relate(.[1] | id; "GENERATED_FROM"; $source_id)]
    + [$holdings.libraries[] | relate("SPDXRef-pairs"; "STATIC_LINK"; .name | id)]
    + [$debian[] | relate("SPDXRef-system"; "CONTAINS"; debian_id)]
    + [$record[] | relate(if .architecture then debian_id else "program-\(.name)" | id end;
        .relationship; .of | id)] | unique)
}
