# The checksum of each file a bill of materials describes, in sha256sum's
# format, for sha256sum -c.
.packages[] | select(.checksums) | "\(.checksums[0].checksumValue)  \(.name)"
