# What a bill of materials says of the commit its source tarball, $source,
# was made from.
.packages[] | select(.name == $source) | .sourceInfo
