# Packages made from the install rules by `cmake --build build --target
# package`: pairs_<version>_amd64.deb, pairs-<version>-1.x86_64.rpm (where
# rpmbuild is found) and pairs-<version>-x86_64-linux.tar.gz; and by
# `--target package_source`, pairs-<version>.tar.gz. Each comes with a
# .sha256 file, and each is the same, byte for byte, from the same source.

find_program(RPMBUILD_EXECUTABLE rpmbuild)
set(CPACK_GENERATOR DEB TGZ)
if(NOT RPMBUILD_EXECUTABLE)
  message(STATUS "pairs: no rpmbuild (Debian: rpm, Fedora: rpm-build); the .rpm is not made")
elseif(CMAKE_BINARY_DIR MATCHES " ")
  # CPack's RPM generator stops there, and so would the whole target.
  message(STATUS "pairs: rpmbuild cannot work in a build directory whose path has a "
    "space; the .rpm is not made here")
else()
  list(APPEND CPACK_GENERATOR RPM)
endif()

set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_VENDOR "${pairs_copyright_holder}")
set(CPACK_PACKAGE_CONTACT "${pairs_contact}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION [[
pairs writes every pair of whole numbers (i, j) with 0 <= i <= j < 3 to
standard output, one pair per line as "i j", in ascending order, flushing
each line as it is written. It takes no options and reads no input.]])
string(TOLOWER "${CMAKE_SYSTEM_PROCESSOR}-${CMAKE_SYSTEM_NAME}" pairs_platform)
set(CPACK_PACKAGE_FILE_NAME "${PROJECT_NAME}-${PROJECT_VERSION}-${pairs_platform}")
set(CPACK_PACKAGE_CHECKSUM SHA256)
# The packages' pairs is stripped as dh_strip strips it, .comment and all
# (cmake/NormaliseStaging.cmake), by binutils' strip: CMake gives clang++
# LLVM's, and LLVM 14's refuses the static program that GNU ld links.
find_program(PAIRS_STRIP_EXECUTABLE strip)
if(NOT PAIRS_STRIP_EXECUTABLE)
  message(STATUS "pairs: no strip (Debian: binutils); the packages cannot be made")
endif()

# One package per generator, of the components cmake/CPackOptions.cmake
# picks for it.
set(CPACK_COMPONENTS_GROUPING ALL_COMPONENTS_IN_ONE)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_RPM_COMPONENT_INSTALL ON)
set(CPACK_ARCHIVE_COMPONENT_INSTALL ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
# CPack asks dpkg for the architecture, and says i386 where there is none.
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64)$")
  set(CPACK_DEBIAN_PACKAGE_ARCHITECTURE amd64)
endif()
# A static program needs nothing installed, and tells lintian why it is
# static; a dynamic one needs the shared libraries it was linked with,
# which dpkg-shlibdeps finds.
if(pairs_linked_statically)
  set(pairs_lintian_static_pie_tag "")
  if(pairs_linked_as_static_pie)
    set(pairs_lintian_static_pie_tag "
# A static PIE is a shared object with no dependencies: lintian before 2.136
# takes it for a shared library that lacks them, and from 2.136 calls it a
# static binary. Whichever lintian reads this, one of the two lines is unused.
pairs: shared-library-lacks-prerequisites [usr/bin/pairs]")
  endif()
  configure_file(${CMAKE_CURRENT_LIST_DIR}/pairs.lintian-overrides.in
    pairs.lintian-overrides @ONLY)
  install(FILES ${CMAKE_CURRENT_BINARY_DIR}/pairs.lintian-overrides
    DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME pairs
    COMPONENT debian EXCLUDE_FROM_ALL)
else()
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
endif()

set(CPACK_RPM_FILE_NAME RPM-DEFAULT)
set(CPACK_RPM_PACKAGE_LICENSE "${pairs_licence}")
set(CPACK_RPM_PACKAGE_GROUP Applications/Text)
set(CPACK_RPM_PACKAGE_DESCRIPTION "${CPACK_PACKAGE_DESCRIPTION}")
set(CPACK_RPM_COMPRESSION_TYPE xz)
set(CPACK_PACKAGE_RELOCATABLE OFF)
set(CPACK_RPM_USER_FILELIST "%license /usr/share/licenses/${PROJECT_NAME}/LICENSE")
# The changelog is CHANGELOG.md's, not CPack's placeholder.
file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/rpm-changelog "${pairs_rpm_changelog}")
set(CPACK_RPM_CHANGELOG_FILE ${CMAKE_CURRENT_BINARY_DIR}/rpm-changelog)
# The base system owns these.
set(CPACK_RPM_EXCLUDE_FROM_AUTO_FILELIST_ADDITION /usr/share/man /usr/share/man/man1
  /usr/share/licenses)
# rpmbuild stamps the build time and host into the header unless told not
# to. rpm 4.20 renamed the macro that clamps file times, and warns of the
# old name.
set(pairs_rpm_clamp_mtime "%define clamp_mtime_to_source_date_epoch 1")
if(RPMBUILD_EXECUTABLE)
  execute_process(COMMAND ${RPMBUILD_EXECUTABLE} --version
    OUTPUT_VARIABLE pairs_rpm_version ERROR_QUIET)
  string(REGEX MATCH "[0-9]+\\.[0-9]+[.0-9]*" pairs_rpm_version "${pairs_rpm_version}")
  if(pairs_rpm_version VERSION_GREATER_EQUAL 4.20)
    set(pairs_rpm_clamp_mtime "%define build_mtime_policy clamp_to_source_date_epoch")
  endif()
endif()
set(CPACK_RPM_SPEC_MORE_DEFINE "\
%define packager ${pairs_contact}
%define _buildhost reproducible
%define _build_id_links none
%define use_source_date_epoch_as_buildtime 1
${pairs_rpm_clamp_mtime}")

# CPack leaves a few bytes of the .deb and the tarballs to the machine that
# makes them (cmake/NormalisePackages.cmake says which); GNU tar (1.28 or
# later) and gzip write the tarballs again without them, and dpkg-deb the
# .deb.
find_program(TAR_EXECUTABLE tar)
if(TAR_EXECUTABLE)
  execute_process(COMMAND ${TAR_EXECUTABLE} --create --sort=name --owner=root:0
      --file=/dev/null --files-from=/dev/null
    RESULT_VARIABLE pairs_tar_failed OUTPUT_QUIET ERROR_QUIET)
endif()
if(NOT TAR_EXECUTABLE OR pairs_tar_failed OR NOT GZIP_EXECUTABLE)
  set(TAR_EXECUTABLE "")
  message(STATUS "pairs: no GNU tar 1.28 or later, or no gzip; the tarballs may "
    "differ in a few bytes between machines")
endif()
find_program(DPKG_DEB_EXECUTABLE dpkg-deb)
if(NOT DPKG_DEB_EXECUTABLE)
  message(STATUS "pairs: no dpkg-deb (Debian: dpkg); the .deb may differ in a few bytes "
    "between machines")
endif()
set(CPACK_POST_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/NormalisePackages.cmake)

set(CPACK_SOURCE_GENERATOR TGZ)
set(CPACK_SOURCE_PACKAGE_FILE_NAME "${PROJECT_NAME}-${PROJECT_VERSION}")

# Read by cpack as it runs each generator, and once it has staged the files.
set(CPACK_PROJECT_CONFIG_FILE ${CMAKE_CURRENT_LIST_DIR}/CPackOptions.cmake)
set(CPACK_PRE_BUILD_SCRIPTS ${CMAKE_CURRENT_LIST_DIR}/NormaliseStaging.cmake)
# For those scripts and the post-build one.
set(CPACK_PAIRS_RELEASE_EPOCH ${pairs_release_epoch})
set(CPACK_PAIRS_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PAIRS_TAR ${TAR_EXECUTABLE})
set(CPACK_PAIRS_GZIP ${GZIP_EXECUTABLE})
set(CPACK_PAIRS_DPKG_DEB ${DPKG_DEB_EXECUTABLE})
set(CPACK_PAIRS_STRIP ${PAIRS_STRIP_EXECUTABLE})

include(CPack)
