# Cross-builds for a Raspberry Pi architecture and a Debian release with
# Debian's cross compiler and the release's libraries unpacked by
# scripts/sysroot.sh, nothing of the target installed on this machine:
#
#     cmake -DCMAKE_TOOLCHAIN_FILE=cmake/SysrootToolchain.cmake -DFLEXTOR_ARCH=arm64 ...
#     cmake ... -DFLEXTOR_ARCH=armhf -DFLEXTOR_RELEASE=trixie
#
# FLEXTOR_ARCH (arm64 or armhf) and FLEXTOR_RELEASE (bookworm or trixie;
# this machine's by default) may also come from the environment, as they do in
# the package build (scripts/package.sh), where debhelper names the compilers.
if(NOT FLEXTOR_ARCH)
  set(FLEXTOR_ARCH "$ENV{FLEXTOR_ARCH}")
endif()
if(NOT FLEXTOR_RELEASE)
  set(FLEXTOR_RELEASE "$ENV{FLEXTOR_RELEASE}")
endif()
if(NOT FLEXTOR_RELEASE)
  file(STRINGS /etc/os-release codename REGEX "^VERSION_CODENAME=")
  string(REPLACE "VERSION_CODENAME=" "" FLEXTOR_RELEASE "${codename}")
endif()
if(FLEXTOR_ARCH STREQUAL "arm64")
  set(triplet aarch64-linux-gnu)
  set(CMAKE_SYSTEM_PROCESSOR aarch64)
  set(qemu qemu-aarch64)
elseif(FLEXTOR_ARCH STREQUAL "armhf")
  set(triplet arm-linux-gnueabihf)
  set(CMAKE_SYSTEM_PROCESSOR arm)
  set(qemu qemu-arm)
else()
  message(FATAL_ERROR "FLEXTOR_ARCH must be arm64 or armhf, not '${FLEXTOR_ARCH}'")
endif()
# Passed on to the compiler checks, which read this file again.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES FLEXTOR_ARCH FLEXTOR_RELEASE)

get_filename_component(
  sysroot "${CMAKE_CURRENT_LIST_DIR}/../build-sysroot/${FLEXTOR_RELEASE}/${FLEXTOR_ARCH}/root" ABSOLUTE)
if(NOT EXISTS "${sysroot}/usr/lib/${triplet}")
  message(FATAL_ERROR "No ${FLEXTOR_RELEASE} ${FLEXTOR_ARCH} libraries in ${sysroot}: "
                      "run scripts/sysroot.sh ${FLEXTOR_ARCH} ${FLEXTOR_RELEASE}")
endif()
set(FLEXTOR_SYSROOT "${sysroot}")

set(CMAKE_SYSTEM_NAME Linux)
# The C library the program links against is the release's own: a newer
# release's libraries need its newer symbols.
set(CMAKE_SYSROOT "${sysroot}")
set(CMAKE_C_COMPILER ${triplet}-gcc)
set(CMAKE_CXX_COMPILER ${triplet}-g++)

# Libraries, headers and CMake packages from the unpacked target only; programs
# from this machine.
set(CMAKE_FIND_ROOT_PATH "${sysroot}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_LIBRARY_ARCHITECTURE ${triplet})

set(PKG_CONFIG_EXECUTABLE /usr/bin/pkg-config CACHE FILEPATH "" FORCE)
set(ENV{PKG_CONFIG_SYSROOT_DIR} "${sysroot}")
set(ENV{PKG_CONFIG_LIBDIR} "${sysroot}/usr/lib/${triplet}/pkgconfig:${sysroot}/usr/share/pkgconfig")

# The C++ library is the compiler's own; the libraries the target's libraries
# need in turn are found beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT
    "-Wl,-rpath-link,${sysroot}/usr/lib/${triplet}:${sysroot}/lib/${triplet}")
set(CMAKE_CROSSCOMPILING_EMULATOR ${qemu} -L ${sysroot})
