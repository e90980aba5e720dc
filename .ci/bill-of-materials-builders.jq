# How many packages, or programs that no package installed, a bill of
# materials records as having built the release.
[.relationships[] | select(.relationshipType | startswith("BUILD_")) | .spdxElementId]
| unique | length
