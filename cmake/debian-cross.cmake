# Cross-builds with Debian's cross compiler for CROSS_TRIPLET (g++-TRIPLET) and
# runs what it builds under qemu-user (qemu-user-static); doc/packaging.md.
set(CROSS_TRIPLET "" CACHE STRING "GNU triplet of the cross compiler, as in g++-TRIPLET")
set(CROSS_SYSROOT "" CACHE PATH "The target's own C and C++ libraries, unpacked from its packages")
if(NOT CROSS_TRIPLET MATCHES "^([^-]+)-linux-gnu")
  message(FATAL_ERROR "Set CROSS_TRIPLET to a cross compiler's, such as aarch64-linux-gnu")
endif()
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CROSS_TRIPLET CROSS_SYSROOT) # configure's checks
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${CMAKE_MATCH_1})
set(CMAKE_C_COMPILER ${CROSS_TRIPLET}-gcc) # for GoogleTest's project(), which enables C
set(CMAKE_CXX_COMPILER ${CROSS_TRIPLET}-g++)
set(root /usr/${CROSS_TRIPLET})
if(CROSS_SYSROOT)
  # --sysroot alone still takes the cross compiler's own copies of the C
  # library's headers, start files and archives, and libstdc++'s, first.
  file(REAL_PATH ${CROSS_SYSROOT} root) # as the linker's map names its files, for packaging
  set(CMAKE_SYSROOT ${root})
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -dumpversion OUTPUT_VARIABLE gcc
    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
  string(REGEX REPLACE "^i.86" i386 multiarch ${CROSS_TRIPLET}) # Debian's name for its directories
  set(include ${root}/usr/include)
  set(CMAKE_CXX_FLAGS_INIT -nostdinc)
  set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${include}/c++/${gcc}
    ${include}/${multiarch}/c++/${gcc} ${include}/c++/${gcc}/backward
    /usr/lib/gcc-cross/${CROSS_TRIPLET}/${gcc}/include ${include}/${multiarch} ${include})
  set(CMAKE_EXE_LINKER_FLAGS_INIT "-B${root}/usr/lib/${multiarch}/")
  string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -B${root}/usr/lib/gcc/${CROSS_TRIPLET}/${gcc}/")
endif()
# The target's headers, libraries and packages; the build machine's programs.
set(CMAKE_FIND_ROOT_PATH ${root})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
foreach(kind LIBRARY INCLUDE PACKAGE)
  set(CMAKE_FIND_ROOT_PATH_MODE_${kind} ONLY)
endforeach()
# qemu's name for the processor. The target's libraries are found by -L and
# LD_LIBRARY_PATH, and by QEMU_LD_PREFIX for the programs that the tests start.
string(REGEX REPLACE "^i.86$" i386 qemu ${CMAKE_SYSTEM_PROCESSOR})
string(REGEX REPLACE "^powerpc64le$" ppc64le qemu ${qemu})
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${qemu}-static -L ${root}
  -E LD_LIBRARY_PATH=${root}/lib -E QEMU_LD_PREFIX=${root})
