# Toolchain of the cross-architecture test run (make test-cross): the game
# and its tests built for OKWARI_ARCH, a Debian architecture name, by
# Debian's cross compiler for it, and run under qemu-user. ctest starts the
# test programs through CMAKE_CROSSCOMPILING_EMULATOR, and the end-to-end
# tests the game through a launcher the build writes (CMakeLists.txt).
# amd64 is this machine's own compiler on an emulated processor of the
# x86-64 baseline, without SSSE3.
#
#   cmake -S . -B build-cross/s390x -DCMAKE_TOOLCHAIN_FILE=cmake/cross.cmake -DOKWARI_ARCH=s390x

# Each architecture: its GNU triplet, then qemu's name for it.
set(okwari_arm64 aarch64-linux-gnu aarch64)
set(okwari_armhf arm-linux-gnueabihf arm)
set(okwari_i386 i686-linux-gnu i386)
set(okwari_s390x s390x-linux-gnu s390x)
set(okwari_amd64 x86_64-linux-gnu x86_64)

# The compiler checks run in projects of their own, which see the cache
# only through this list.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES OKWARI_ARCH)
if(NOT DEFINED okwari_${OKWARI_ARCH})
  message(FATAL_ERROR "OKWARI_ARCH: one of arm64, armhf, i386, s390x, amd64 (got '${OKWARI_ARCH}')")
endif()
list(GET okwari_${OKWARI_ARCH} 0 triplet)
list(GET okwari_${OKWARI_ARCH} 1 qemu)

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${qemu})
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)

if(OKWARI_ARCH STREQUAL "amd64")
  # qemu64: the processor of the x86-64 baseline, SSE2 and no SSSE3.
  set(CMAKE_CROSSCOMPILING_EMULATOR qemu-x86_64 -cpu qemu64)
else()
  # The guest's libraries, and GoogleTest, come from the cross root alone.
  # Its loader reads this machine's /etc/ld.so.cache, which may name the
  # host's own libraries of the same kind (/lib32, for i386): a C library
  # that is not the loader's own, in which fork's child loops for ever. The
  # library path puts the cross root's first.
  set(CMAKE_CROSSCOMPILING_EMULATOR
    qemu-${qemu} -L /usr/${triplet} -E LD_LIBRARY_PATH=/usr/${triplet}/lib)
  set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
  set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
  set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
  set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
endif()
