# The Debian packages that a release's bill of materials records as having
# built it, for the architecture $arch, one a line as apt-get takes them:
# NAME=VERSION.
.packages[]
| select(any(.externalRefs[]?.referenceLocator; test("^pkg:deb/.*[?&]arch=(\($arch)|all)(&|$)")))
| "\(.name)=\(.versionInfo)"
