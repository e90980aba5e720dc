# The .deb's substitution variables, for dpkg-gencontrol, from holdings.json:
# Built-Using names the C library's source, as Debian's own static packages
# do; Static-Built-Using, each library's. dpkg-shlibdeps sets shlibs:Depends
# for a dynamic program.
def source: "\(.package.source) (= \(.package.sourceVersion))";
"pairs:Built-Using=\([.libraries[] | select(.id == "libc" and .package) | source] | join(", "))",
"pairs:Static-Built-Using=\([.libraries[] | select(.package) | source] | join(", "))",
"shlibs:Depends="
