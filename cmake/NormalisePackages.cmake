# Run by cpack after it has made each package and before it copies it to the
# build tree and writes its checksum. It takes out of the packages what
# would otherwise depend on the machine that made them.

foreach(package IN LISTS CPACK_PACKAGE_FILES)
  if(package MATCHES "\\.tar\\.gz$" AND CPACK_PAIRS_TAR)
    # CPack's archives list files in the order the file system gives them,
    # which differs between file systems and machines. Write them again in
    # name order, owned by root, with modes free of the umask.
    set(unpacked ${CPACK_TOPLEVEL_DIRECTORY}/unpacked)
    file(REMOVE_RECURSE ${unpacked})
    file(ARCHIVE_EXTRACT INPUT ${package} DESTINATION ${unpacked})
    file(GLOB top_level RELATIVE ${unpacked} ${unpacked}/*)
    unset(ENV{TAR_OPTIONS})
    unset(ENV{GZIP})
    execute_process(
      COMMAND ${CPACK_PAIRS_TAR} --create --file=- --directory=${unpacked}
        --format=gnu --sort=name --owner=root:0 --group=root:0 --mode=go-w,a+rX
        --mtime=@$ENV{SOURCE_DATE_EPOCH} -- ${top_level}
      COMMAND ${CPACK_PAIRS_GZIP} -9n
      OUTPUT_FILE ${package}
      COMMAND_ERROR_IS_FATAL ANY)
  elseif(package MATCHES "\\.deb$")
    # CPack gives the .deb's ar members (debian-binary, control.tar.gz,
    # data.tar.gz) the modes its umask gave their files; dpkg-deb writes
    # 100644 whatever the umask. Each member has a 60-byte header, its mode
    # 8 bytes in at offset 40, its size 10 bytes at 48; the data follows,
    # padded to an even length.
    set(mode "100644  ")
    set(mode_file ${CPACK_TOPLEVEL_DIRECTORY}/ar-member-mode)
    file(WRITE ${mode_file} "${mode}")
    file(SIZE ${package} package_size)
    set(header_at 8) # after "!<arch>\n"
    while(header_at LESS package_size)
      file(READ ${package} header OFFSET ${header_at} LIMIT 60)
      string(SUBSTRING "${header}" 40 8 member_mode)
      string(SUBSTRING "${header}" 48 10 member_size)
      string(STRIP "${member_size}" member_size)
      if(NOT member_mode STREQUAL mode)
        math(EXPR mode_at "${header_at} + 40")
        execute_process(COMMAND dd of=${package} bs=1 seek=${mode_at} conv=notrunc
          INPUT_FILE ${mode_file} OUTPUT_QUIET ERROR_QUIET COMMAND_ERROR_IS_FATAL ANY)
      endif()
      math(EXPR header_at "${header_at} + 60 + ${member_size} + ${member_size} % 2")
    endwhile()
  endif()
endforeach()
