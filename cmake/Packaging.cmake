# Packages made from the install rules by `cmake --build build --target
# package`: pairs_<version>_<arch>.deb and pairs-<version>-Linux.tar.gz.

set(CPACK_GENERATOR DEB TGZ)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_CONTACT "pairs developers <pairs@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION [[
pairs writes every pair of whole numbers (i, j) with 0 <= i <= j < 3 to
standard output, one pair per line as "i j", in ascending order, flushing
each line as it is written. It takes no options and reads no input.]])
set(CPACK_STRIP_FILES ON)
# Directories in the packages get these, whatever the packager's umask.
set(CPACK_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE
  GROUP_READ GROUP_EXECUTE
  WORLD_READ WORLD_EXECUTE)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# CPack asks dpkg for the architecture, and says i386 where there is none.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64)$")
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
endif()
# A static program needs nothing installed; a dynamic one needs the shared
# libraries it was linked with, which dpkg-shlibdeps finds.
if(NOT pairs_linked_statically)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

include(CPack)
