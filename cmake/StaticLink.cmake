# Sets pairs_static_link_options to this toolchain's cheapest static link
# ("" where it has none; bench/README.md has the figures): -static, unless its
# unwinder sorts every unwind table before main (libgcc 13 and later keep them
# in a b-tree, which this looks for), then a static PIE, which finds them
# lazily, with packed relative relocations where the linker has them.

# Links main.cpp, as position-independent code if ${pic}, with the link
# options that follow, into ${name}_program; sets ${name}_links to whether
# it linked without a warning.
function(pairs_try_link name pic)
  set(bindir ${CMAKE_BINARY_DIR}/CMakeFiles/pairs-static-link/${name})
  try_compile(links ${bindir} SOURCES ${PROJECT_SOURCE_DIR}/main.cpp
    CMAKE_FLAGS -DCMAKE_POSITION_INDEPENDENT_CODE=${pic}
    LINK_OPTIONS ${ARGN} OUTPUT_VARIABLE output COPY_FILE ${bindir}/pairs)
  if(output MATCHES "warning")
    set(links FALSE)
  endif()
  set(${name}_links ${links} PARENT_SCOPE)
  set(${name}_program ${bindir}/pairs PARENT_SCOPE)
endfunction()

if(NOT DEFINED PAIRS_STATIC_LINK_OPTIONS)
  set(options "")
  pairs_try_link(static OFF -static)
  if(static_links)
    set(options -static)
    execute_process(COMMAND ${CMAKE_NM} ${static_program} OUTPUT_VARIABLE symbols ERROR_QUIET)
    if(symbols MATCHES " registered_frames\n")
      foreach(pie_options "-static-pie;LINKER:-z,pack-relative-relocs" -static-pie)
        pairs_try_link(static_pie ON ${pie_options})
        if(static_pie_links)
          set(options ${pie_options})
          break()
        endif()
      endforeach()
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
