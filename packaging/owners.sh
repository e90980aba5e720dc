#!/usr/bin/env bash
# Prints, for each file named on standard input, one a line, the file, a tab,
# and the Debian package that installed it, as a JSON object of its name,
# version, architecture, source and source version; or nothing after the tab,
# where no package did. With --sysroot DIR (empty for none), a file in DIR is
# looked up among the packages that the sysroot was made from, kept in its
# debs/. With --packages, prints that object alone for each package named on
# standard input, as installed for this machine's architecture or for all,
# or .deb file. Usage: owners.sh [--sysroot DIR | --packages]
# shellcheck disable=SC2016 # the ${fields} of dpkg's formats are its own
set -euo pipefail
format='{"name":"${Package}","version":"${Version}","architecture":"${Architecture}",'
format+='"source":"${source:Package}","sourceVersion":"${source:Version}"}'
if [[ ${1-} == --packages ]]; then
  mapfile -t named
  printf '%s\n' "${named[@]}" | sed -n '/\.deb$/p' |
    xargs -r -d '\n' -n1 dpkg-deb --show --showformat="$format\n"
  native=$(dpkg --print-architecture)
  printf '%s\n' "${named[@]}" | sed '/\.deb$/d' |
    xargs -r dpkg-query -W -f="\${Architecture}\t$format\n" | sed -n "s/^\($native\|all\)\t//p"
  exit 0
fi
sysroot=""
[[ ${1-} != --sysroot ]] || sysroot=$2
mapfile -t files
declare -A owner
declare -A package
# dpkg -S prints "PACKAGE[, PACKAGE...]: FILE" for each file it knows, after
# any line on its diversion. Before Debian 13, it knows the files of /bin,
# /sbin and /lib* by those paths, where PATH and the linker find them in
# /usr's, one with them.
while IFS= read -r line; do
  [[ $line != "diversion by "* ]] || continue
  file=/${line#*: /}
  name=${line%%: /*}
  owner[$file]=${name%%,*}
  if [[ $file == /bin/* || $file == /sbin/* || $file == /lib* ]]; then
    owner[/usr$file]=${name%%,*}
  fi
done < <(printf '%s\n' "${files[@]}" | sed 's:^/usr\(/\(s\?bin\|lib[^/]*\)/.*\):&\n\1:' | sort -u |
  xargs -r dpkg -S 2>/dev/null)
while IFS=$'\t' read -r name fields; do
  package[$name]=$fields
done < <(printf '%s\n' "${owner[@]}" | sort -u |
  xargs -r dpkg-query -W -f="\${binary:Package}\t$format\n")

# A sysroot's files, as each of its packages lists them: ./usr/include/stdio.h.
inside=()
for file in "${files[@]}"; do
  if [[ -n $sysroot && $file == "$sysroot"/* ]]; then
    inside+=(".${file#"$sysroot"}")
  fi
done
for deb in "$sysroot"/debs/*.deb; do
  [[ ${#inside[@]} -gt 0 && -f $deb ]] || continue
  package[$deb]=$(dpkg-deb --show --showformat="$format" "$deb")
  while IFS= read -r file; do
    owner[$sysroot${file#.}]=$deb
  done < <(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -Fx -f <(printf '%s\n' "${inside[@]}"))
done

for file in "${files[@]}"; do
  printf '%s\t%s\n' "$file" "${package[${owner[$file]-none}]-}"
done
