# Cross-builds for WebAssembly with Debian's emscripten and runs what it builds, the tests
# included, under Node (found by emscripten's own platform file).
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# emscripten leaves C++ exceptions off unless asked; the converter reports every failure by one.
set(CMAKE_CXX_FLAGS_INIT -fexceptions)
# Memory grows as a program needs it, up to the 4 GiB that 32-bit WebAssembly addresses: the
# largest ILD file, 128 MiB, decodes to 900 MiB of samples.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fexceptions -sALLOW_MEMORY_GROWTH=1 -sMAXIMUM_MEMORY=4GB")
