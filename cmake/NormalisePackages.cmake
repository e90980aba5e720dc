# Run by cpack after it has made each package and before it copies it to the
# build tree and writes its checksum. CPack leaves some bytes of its
# packages to the machine that makes them; this writes those packages again
# without them. Needs GNU tar and gzip; where they are missing it is not
# run.

unset(ENV{TAR_OPTIONS})
unset(ENV{GZIP})

# Writes ${output}, a gzipped tar of the paths that follow (relative to
# ${directory}) in name order, owned by root, with modes free of the umask
# and every time stamp SOURCE_DATE_EPOCH.
function(pairs_write_tar_gz output directory)
  execute_process(
    COMMAND ${CPACK_PAIRS_TAR} --create --file=- --directory=${directory}
      --format=gnu --sort=name --owner=root:0 --group=root:0 --mode=go-w,a+rX
      --mtime=@$ENV{SOURCE_DATE_EPOCH} -- ${ARGN}
    COMMAND ${CPACK_PAIRS_GZIP} -9n
    OUTPUT_FILE ${output}
    COMMAND_ERROR_IS_FATAL ANY)
endfunction()

# Sets ${variable} to ${text} padded with spaces to ${width} characters.
function(pairs_pad variable text width)
  string(LENGTH "${text}" length)
  math(EXPR padding "${width} - ${length}")
  string(REPEAT " " ${padding} spaces)
  set(${variable} "${text}${spaces}" PARENT_SCOPE)
endfunction()

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  set(unpacked ${CPACK_TOPLEVEL_DIRECTORY}/unpacked)
  file(REMOVE_RECURSE ${unpacked})
  if(package MATCHES "\\.tar\\.gz$")
    # CPack lists an archive's files in the order the file system gives
    # them, which differs between file systems and machines.
    file(ARCHIVE_EXTRACT INPUT ${package} DESTINATION ${unpacked})
    file(GLOB top_level RELATIVE ${unpacked} ${unpacked}/*)
    pairs_write_tar_gz(${package} ${unpacked} ${top_level})
  elseif(package MATCHES "\\.deb$")
    # CPack gives the .deb's ar members the modes its umask gave their
    # files, and counts the size of each staged directory, which differs
    # between file systems, into Installed-Size. Count Installed-Size as
    # dpkg-gencontrol does instead: each file's size in KiB, rounded up,
    # and 1 for each directory. The data is kept as it is.
    file(ARCHIVE_EXTRACT INPUT ${package} DESTINATION ${unpacked})
    file(ARCHIVE_EXTRACT INPUT ${unpacked}/control.tar.gz DESTINATION ${unpacked}/control)
    file(ARCHIVE_EXTRACT INPUT ${unpacked}/data.tar.gz DESTINATION ${unpacked}/data)
    file(GLOB_RECURSE entries LIST_DIRECTORIES true ${unpacked}/data/*)
    set(installed_kib 1) # the package's root
    foreach(entry IN LISTS entries)
      if(IS_DIRECTORY ${entry})
        math(EXPR installed_kib "${installed_kib} + 1")
      else()
        file(SIZE ${entry} size)
        math(EXPR installed_kib "${installed_kib} + (${size} + 1023) / 1024")
      endif()
    endforeach()
    file(READ ${unpacked}/control/control control)
    string(REGEX REPLACE "\nInstalled-Size: [0-9]+\n" "\nInstalled-Size: ${installed_kib}\n"
      control "${control}")
    file(WRITE ${unpacked}/control/control "${control}")
    pairs_write_tar_gz(${unpacked}/control.tar.gz ${unpacked}/control .)

    # The ar archive, as dpkg-deb writes it: each member after a 60-byte
    # text header (name, time, owner, group, mode, size), and padded to an
    # even length.
    file(WRITE ${unpacked}/ar "!<arch>\n")
    file(WRITE ${unpacked}/ar-padding "\n")
    set(parts ${unpacked}/ar)
    pairs_pad(time $ENV{SOURCE_DATE_EPOCH} 12)
    pairs_pad(owner 0 6)
    pairs_pad(mode 100644 8)
    foreach(member debian-binary control.tar.gz data.tar.gz)
      file(SIZE ${unpacked}/${member} size)
      pairs_pad(name ${member} 16)
      pairs_pad(size_field ${size} 10)
      file(WRITE ${unpacked}/${member}.header "${name}${time}${owner}${owner}${mode}${size_field}`\n")
      list(APPEND parts ${unpacked}/${member}.header ${unpacked}/${member})
      math(EXPR odd "${size} % 2")
      if(odd)
        list(APPEND parts ${unpacked}/ar-padding)
      endif()
    endforeach()
    execute_process(COMMAND cat ${parts} OUTPUT_FILE ${package} COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
