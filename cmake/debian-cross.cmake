# Cross-builds with Debian's cross compiler for CROSS_TRIPLET (g++-TRIPLET) and
# runs what it builds under qemu-user (qemu-user-static); doc/packaging.md.
set(CROSS_TRIPLET "" CACHE STRING "GNU triplet of the cross compiler, as in g++-TRIPLET")
set(CROSS_SYSROOT "" CACHE PATH "The target's own C and C++ libraries, unpacked from its packages")
# The triplet's row in packaging/architectures gives Debian's and qemu's names
# for the processor; dpkg-architecture, Debian's directories for it.
execute_process(COMMAND awk -v architecture=${CROSS_TRIPLET} -f architecture.awk architectures
  WORKING_DIRECTORY ${CMAKE_CURRENT_LIST_DIR}/../packaging
  OUTPUT_VARIABLE row OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE unknown)
if(NOT CROSS_TRIPLET OR unknown)
  message(FATAL_ERROR "Set CROSS_TRIPLET to a cross compiler's that packaging/architectures "
    "names, such as aarch64-linux-gnu")
endif()
string(REPLACE "\t" ";" row "${row}")
list(GET row 0 debian_arch)
list(GET row 3 qemu)
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES CROSS_TRIPLET CROSS_SYSROOT) # configure's checks
set(CMAKE_SYSTEM_NAME Linux)
string(REGEX MATCH "^[^-]+" CMAKE_SYSTEM_PROCESSOR ${CROSS_TRIPLET})
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
  execute_process(COMMAND dpkg-architecture -a ${debian_arch} -qDEB_HOST_MULTIARCH
    OUTPUT_VARIABLE multiarch OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
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
# The target's libraries are found by -L and LD_LIBRARY_PATH, and by
# QEMU_LD_PREFIX for the programs that the tests start.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-${qemu}-static -L ${root}
  -E LD_LIBRARY_PATH=${root}/lib -E QEMU_LD_PREFIX=${root})
