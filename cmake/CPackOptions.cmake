# Read by cpack as it runs each generator, for the packages and for the
# source tarball alike.

# Every time stamp in the packages is the release's date, unless the
# packager sets another. CPack, rpmbuild and cmake/NormalisePackages.cmake
# read it from the environment.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  set(ENV{SOURCE_DATE_EPOCH} ${CPACK_PAIRS_RELEASE_EPOCH})
endif()

# Each package keeps the licence where its format wants it.
if(CPACK_GENERATOR STREQUAL "DEB")
  set(CPACK_COMPONENTS_ALL program debian)
elseif(CPACK_GENERATOR STREQUAL "RPM")
  set(CPACK_COMPONENTS_ALL program rpm-licence)
else()
  set(CPACK_COMPONENTS_ALL program licence)
endif()
# The binary tarball unpacks into one directory named like itself.
if(CPACK_GENERATOR STREQUAL "TGZ")
  set(CPACK_COMPONENT_INCLUDE_TOPLEVEL_DIRECTORY ON)
endif()

# The source tarball holds exactly the files git tracks, copied here to be
# packed. Outside a git work tree it holds every file but .git and the
# build trees.
if(CPACK_PACKAGE_FILE_NAME STREQUAL CPACK_SOURCE_PACKAGE_FILE_NAME)
  file(REAL_PATH ${CPACK_PAIRS_SOURCE_DIR} source_dir)
  execute_process(COMMAND git rev-parse --show-toplevel
    WORKING_DIRECTORY ${source_dir}
    OUTPUT_VARIABLE work_tree OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
  if(work_tree)
    file(REAL_PATH ${work_tree} work_tree)
  endif()
  # A tree unpacked inside some other repository is no work tree of its own.
  if(work_tree STREQUAL source_dir)
    execute_process(COMMAND git -c core.quotePath=false ls-files
      WORKING_DIRECTORY ${source_dir}
      OUTPUT_VARIABLE files COMMAND_ERROR_IS_FATAL ANY)
    string(REGEX REPLACE "\n$" "" files "${files}")
    string(REPLACE "\n" ";" files "${files}")
  else()
    message(STATUS "pairs: ${source_dir} is no git work tree; packing all its files "
      "but .git and build*/")
    file(GLOB_RECURSE files LIST_DIRECTORIES false RELATIVE ${source_dir} ${source_dir}/*)
    list(FILTER files EXCLUDE REGEX "^(\\.git|build[^/]*)/")
  endif()

  set(staged ${CPACK_PACKAGE_DIRECTORY}/_CPack_Packages/source-files)
  file(REMOVE_RECURSE ${staged})
  foreach(file IN LISTS files)
    get_filename_component(directory ${staged}/${file} DIRECTORY)
    file(COPY ${source_dir}/${file} DESTINATION ${directory})
  endforeach()
  set(CPACK_INSTALLED_DIRECTORIES ${staged} /)
  set(CPACK_IGNORE_FILES "")
endif()
