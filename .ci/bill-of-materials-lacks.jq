# What a bill of materials lacks of the NTIA's minimum elements and of its
# record of what built the release, one line each; nothing where it lacks
# nothing.
(.packages[] | select(.supplier == null or .versionInfo == null)
  | "\(.name): a supplier or a version"),
(if any(.creationInfo.creators[]; startswith("Organization: ")) then empty
  else "an Organization among its creators" end),
(.packages[] | .externalRefs[]?.referenceLocator | select(startswith("pkg:deb/"))
  | select(test("[?&]distro=") | not) | "\(.): the Debian release"),
(.packages[] | select(.sourceInfo // "" | startswith("Debian source package"))
  | select(.downloadLocation | startswith("https://snapshot.debian.org/") | not)
  | "\(.name): the address of its source"),
(if any(.packages[]; .primaryPackagePurpose == "OPERATING-SYSTEM") then empty
  else "the system that built it" end),
(.relationships as $relationships | ("BUILD_TOOL_OF", "BUILD_DEPENDENCY_OF") as $type
  | select(any($relationships[]; .relationshipType == $type and .relatedSpdxElement == "SPDXRef-pairs")
    | not)
  | "a package related to pairs by \($type)"),
(.relationships as $relationships | .packages[] | select(.checksums) | .SPDXID as $file
  | select(any($relationships[]; .relationshipType == "BUILD_TOOL_OF" and .relatedSpdxElement == $file)
    | not)
  | "\($file): a package that built it"),
(.packages | map(select(.primaryPackagePurpose == "SOURCE")) as $sources
  | if ($sources | length) == 1 and ($sources[0].checksums | length) == 1 then empty
    else "the source tarball, with its checksum" end),
(.relationships as $relationships | .packages[] | select(.checksums)
  | select(.primaryPackagePurpose != "SOURCE") | .SPDXID as $file
  | select(any($relationships[]; .spdxElementId == $file and .relationshipType == "GENERATED_FROM")
    | not)
  | "\($file): the source it was generated from"),
([.packages[].SPDXID, "SPDXRef-DOCUMENT"] as $ids | .relationships[]
  | select([.spdxElementId, .relatedSpdxElement] - $ids != [])
  | "\(.spdxElementId) \(.relationshipType) \(.relatedSpdxElement): an element it describes")
