# SPDX-License-Identifier: MIT
# Cross-builds for another Debian architecture with Debian's cross compiler,
# and runs the tool and every test under qemu-user, the way the Windows
# build runs under Wine.  Choose the target by its GNU triple:
#
#   cmake -S . -B build-aarch64 -DCMAKE_TOOLCHAIN_FILE=cmake/linux-cross.cmake \
#         -DHREFTRACK_TRIPLE=aarch64-linux-gnu
#
# Triples: i686-linux-gnu, arm-linux-gnueabihf, aarch64-linux-gnu,
# s390x-linux-gnu, powerpc64le-linux-gnu, riscv64-linux-gnu.  Needs
# g++-<triple> and qemu-user.
set(HREFTRACK_TRIPLE "" CACHE STRING "GNU triple of the target, such as aarch64-linux-gnu")
# CMake's own compiler checks run in projects of their own: pass the triple on.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES HREFTRACK_TRIPLE)
if(NOT HREFTRACK_TRIPLE)
  message(FATAL_ERROR "set HREFTRACK_TRIPLE, such as -DHREFTRACK_TRIPLE=aarch64-linux-gnu")
endif()

# The processor as qemu names it.
set(qemu_by_triple
    i686-linux-gnu=i386 arm-linux-gnueabihf=arm aarch64-linux-gnu=aarch64
    s390x-linux-gnu=s390x powerpc64le-linux-gnu=ppc64le riscv64-linux-gnu=riscv64)
set(qemu_cpu "")
foreach(pair IN LISTS qemu_by_triple)
  string(REPLACE "=" ";" pair "${pair}")
  list(GET pair 0 triple)
  list(GET pair 1 cpu)
  if(triple STREQUAL HREFTRACK_TRIPLE)
    set(qemu_cpu ${cpu})
  endif()
endforeach()
if(NOT qemu_cpu)
  message(FATAL_ERROR "no qemu-user emulator known for ${HREFTRACK_TRIPLE}")
endif()

set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR ${qemu_cpu})
set(CMAKE_C_COMPILER ${HREFTRACK_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${HREFTRACK_TRIPLE}-g++)
set(CMAKE_FIND_ROOT_PATH /usr/${HREFTRACK_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The target's own C and C++ libraries come from the cross toolchain's tree.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/qemu-${qemu_cpu};-L;/usr/${HREFTRACK_TRIPLE})
