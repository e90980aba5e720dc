# Cross-builds with Debian's cross compiler for CROSS_TRIPLET (g++-TRIPLET) and
# runs what it builds under qemu-user (qemu-user-static); doc/packaging.md.
set(CROSS_TRIPLET "" CACHE STRING "GNU triplet of the cross compiler, as in g++-TRIPLET")
if(NOT CROSS_TRIPLET MATCHES "^([^-]+)-linux-gnu")
  message(FATAL_ERROR "Set CROSS_TRIPLET to a cross compiler's, such as aarch64-linux-gnu")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CROSS_TRIPLET) # configure's checks need it
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${CMAKE_MATCH_1})
set(CMAKE_CXX_COMPILER ${CROSS_TRIPLET}-g++)
# The target's headers, libraries and packages; the build machine's programs.
set(CMAKE_FIND_ROOT_PATH /usr/${CROSS_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
foreach(kind LIBRARY INCLUDE PACKAGE)
  set(CMAKE_FIND_ROOT_PATH_MODE_${kind} ONLY)
endforeach()
# qemu's name for the processor. The target's libraries are found by -L and
# LD_LIBRARY_PATH, and by QEMU_LD_PREFIX for the programs that the tests start.
string(REGEX REPLACE "^i.86$" i386 qemu ${CMAKE_SYSTEM_PROCESSOR})
string(REGEX REPLACE "^powerpc64le$" ppc64le qemu ${qemu})
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${qemu}-static -L /usr/${CROSS_TRIPLET}
  -E LD_LIBRARY_PATH=/usr/${CROSS_TRIPLET}/lib -E QEMU_LD_PREFIX=/usr/${CROSS_TRIPLET})
