# Chooses how pairs links statically, from what this toolchain does, and
# sets pairs_static_link_options to the link options ("" where it cannot
# link statically at all).
#
# Start-up is the program's whole cost, and a plain -static link is the
# cheapest unless its start files register the unwind tables with an
# unwinder that sorts them as they come (libgcc 13 and later keep them in a
# b-tree): that sorting reads every table before main. A static PIE finds
# its tables lazily, at the cost of relocating itself, which packed relative
# relocations make cheaper. Instructions pairs runs (callgrind, in an empty
# environment):
#   g++ 12.2, glibc 2.36:  -static 72,145; -static-pie 114,177;
#                          -static-pie -z pack-relative-relocs 99,574
#   g++ 14.2, glibc 2.41:  -static 363,810; -static-pie 105,132;
#                          -static-pie -z pack-relative-relocs 91,702
# So the check links main.cpp -static and looks for that b-tree in it.

# Links main.cpp, as position-independent code if ${pic}, with the link
# options that follow, into ${name}_program; sets ${name}_links to whether
# it linked without a warning.
function(pairs_try_link name pic)
  set(bindir ${CMAKE_BINARY_DIR}/CMakeFiles/pairs-static-link/${name})
  set(${name}_program ${bindir}/pairs PARENT_SCOPE)
  try_compile(links ${bindir} SOURCES ${PROJECT_SOURCE_DIR}/main.cpp
    CMAKE_FLAGS -DCMAKE_POSITION_INDEPENDENT_CODE=${pic}
    LINK_OPTIONS ${ARGN}
    OUTPUT_VARIABLE output
    COPY_FILE ${bindir}/pairs)
  if(links AND NOT output MATCHES "warning")
    set(${name}_links TRUE PARENT_SCOPE)
  else()
    set(${name}_links FALSE PARENT_SCOPE)
  endif()
endfunction()

if(NOT DEFINED PAIRS_STATIC_LINK_OPTIONS)
  set(options "")
  pairs_try_link(static OFF -static)
  if(static_links)
    set(options -static)
    execute_process(COMMAND ${CMAKE_NM} ${static_program}
      OUTPUT_VARIABLE symbols ERROR_QUIET)
    if(symbols MATCHES " registered_frames\n")
      pairs_try_link(static_pie_packed ON -static-pie LINKER:-z,pack-relative-relocs)
      if(static_pie_packed_links)
        set(options -static-pie LINKER:-z,pack-relative-relocs)
      else()
        pairs_try_link(static_pie ON -static-pie)
        if(static_pie_links)
          set(options -static-pie)
        endif()
      endif()
    endif()
  endif()
  set(PAIRS_STATIC_LINK_OPTIONS "${options}" CACHE INTERNAL
    "How pairs links statically, as chosen for this toolchain")
  if(options)
    string(REPLACE ";" " " options "${options}")
    string(REPLACE "LINKER:" "-Wl," options "${options}")
    message(STATUS "pairs: linking statically with ${options}")
  endif()
endif()
set(pairs_static_link_options ${PAIRS_STATIC_LINK_OPTIONS})
