# Cross-builds for 64-bit Windows with Debian's mingw-w64 (POSIX threads model,
# which the C++ standard library's threads and filesystem need) and runs what it
# builds, the tests included, under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Wine's own diagnostics would mix into the streams the tests compare.
set(CMAKE_CROSSCOMPILING_EMULATOR env WINEDEBUG=-all wine)

# One .exe that carries the C++ runtime, libgcc and winpthread inside it. Its header
# gets no link time, which would make every build of the same source differ.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")
