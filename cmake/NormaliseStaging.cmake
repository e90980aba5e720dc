# Run by cpack once it has installed a package's files in its staging
# directory, before it packs them. It strips pairs of its symbols and of
# .comment, which only names the compilers that built the static libraries
# and which lintian asks a stripped program not to keep.
#
# CPack makes some staged directories itself, with the mode the umask gives
# (0700 under umask 077, whatever CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
# says); in the packages every directory is 0755, as the install rules make
# every file 0644 or 0755.

file(GLOB_RECURSE staged LIST_DIRECTORIES true ${CPACK_TEMPORARY_DIRECTORY}/*)
set(directories ${CPACK_TEMPORARY_DIRECTORY})
foreach(path IN LISTS staged)
  if(IS_DIRECTORY ${path} AND NOT IS_SYMLINK ${path})
    list(APPEND directories ${path})
  elseif(path MATCHES "/bin/pairs$")
    execute_process(COMMAND ${CPACK_PAIRS_STRIP} --remove-section=.comment ${path}
      COMMAND_ERROR_IS_FATAL ANY)
  endif()
endforeach()
file(CHMOD ${directories} PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
