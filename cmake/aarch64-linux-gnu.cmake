# Cross-builds for 64-bit ARM Linux with Debian's gcc-aarch64-linux-gnu and runs what
# it builds, the tests included, under qemu-user.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)

set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64)

# Programs that carry the C and C++ runtimes inside them: they need no loader or
# library from the board, so they run on any 64-bit ARM Linux, whatever its glibc,
# and qemu needs no copy of the target's root.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
