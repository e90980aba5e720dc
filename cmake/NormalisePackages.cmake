# Run by cpack after it has made each package and before it copies it to the
# build tree and writes its checksum. CPack leaves some bytes of its
# packages to the machine that makes them; this has installed tools write
# those packages again without them: GNU tar and gzip the tarballs, and
# dpkg-deb the .deb. Configure leaves out what it cannot do.

unset(ENV{TAR_OPTIONS})
unset(ENV{GZIP})

# Writes ${output}, a gzipped tar of the paths that follow (relative to
# ${directory}) in name order, owned by root, with modes free of the umask
# and of a read-only source tree (0644 or 0755), and every time stamp
# SOURCE_DATE_EPOCH.
function(pairs_write_tar_gz output directory)
  execute_process(
    COMMAND ${CPACK_PAIRS_TAR} --create --file=- --directory=${directory}
      --format=gnu --sort=name --owner=root:0 --group=root:0 --mode=u+w,go-w,a+rX
      --mtime=@$ENV{SOURCE_DATE_EPOCH} -- ${ARGN}
    COMMAND ${CPACK_PAIRS_GZIP} -9n
    OUTPUT_FILE ${output}
    COMMAND_ERROR_IS_FATAL ANY)
endfunction()

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  set(unpacked ${CPACK_TOPLEVEL_DIRECTORY}/unpacked)
  file(REMOVE_RECURSE ${unpacked})
  if(package MATCHES "\\.tar\\.gz$" AND CPACK_PAIRS_TAR)
    # CPack lists an archive's files in the order the file system gives
    # them, which differs between file systems and machines.
    file(ARCHIVE_EXTRACT INPUT ${package} DESTINATION ${unpacked})
    file(GLOB top_level RELATIVE ${unpacked} ${unpacked}/*)
    pairs_write_tar_gz(${package} ${unpacked} ${top_level})
  elseif(package MATCHES "\\.deb$" AND CPACK_PAIRS_DPKG_DEB)
    execute_process(COMMAND ${CPACK_PAIRS_DPKG_DEB} --raw-extract ${package} ${unpacked}
      COMMAND_ERROR_IS_FATAL ANY)
    # Files unpacked by anyone but root take their modes from the umask,
    # and dpkg-deb refuses a control directory that is not 0755.
    execute_process(COMMAND chmod -R u+w,go-w,a+rX ${unpacked} COMMAND_ERROR_IS_FATAL ANY)
    # CPack counts each staged directory's size, which differs between file
    # systems, into Installed-Size. Count it as dpkg-gencontrol does: each
    # file's size in KiB, rounded up, and 1 for each directory.
    file(GLOB_RECURSE entries LIST_DIRECTORIES true ${unpacked}/*)
    list(FILTER entries EXCLUDE REGEX "^${unpacked}/DEBIAN(/|$)")
    set(installed_kib 1) # the package's root
    foreach(entry IN LISTS entries)
      if(IS_DIRECTORY ${entry})
        math(EXPR installed_kib "${installed_kib} + 1")
      else()
        file(SIZE ${entry} size)
        math(EXPR installed_kib "${installed_kib} + (${size} + 1023) / 1024")
      endif()
    endforeach()
    file(READ ${unpacked}/DEBIAN/control control)
    string(REGEX REPLACE "\nInstalled-Size: [0-9]+\n" "\nInstalled-Size: ${installed_kib}\n"
      control "${control}")
    file(WRITE ${unpacked}/DEBIAN/control "${control}")
    # dpkg-deb sorts the members and clamps their times to SOURCE_DATE_EPOCH.
    execute_process(COMMAND ${CPACK_PAIRS_DPKG_DEB} --root-owner-group --build
        ${unpacked} ${package}
      OUTPUT_QUIET COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
