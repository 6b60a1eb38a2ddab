# Cross-builds for WebAssembly with Debian's emscripten and runs what it builds, the tests
# included, under Node (found by emscripten's own platform file).
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)

# Debian's emscripten wants Debian's Python and, under a Node that is not Debian's, Debian's
# Node modules; each emcc call checks its own set-up unless told not to.
set(emscripten_environment env EMSDK_PYTHON=/usr/bin/python3 NODE_PATH=/usr/share/nodejs EMCC_SKIP_SANITY_CHECK=1)
foreach(language C CXX)
    set(CMAKE_${language}_COMPILER_LAUNCHER ${emscripten_environment})
    set(CMAKE_${language}_LINKER_LAUNCHER ${emscripten_environment})
endforeach()

# emscripten leaves C++ exceptions off unless asked; the converter reports every failure by one.
set(CMAKE_CXX_FLAGS_INIT -fexceptions)
# Memory grows as a program needs it, up to the 4 GiB that 32-bit WebAssembly addresses: the
# largest ILD file, 128 MiB, decodes to 900 MiB of samples. The loader would fetch() the .wasm
# whenever fetch exists, and Node's takes no file path: plain programs, such as the tests,
# compile it at start instead (cmake/wasm.cmake loads the converter's its own way).
set(CMAKE_EXE_LINKER_FLAGS_INIT "-fexceptions -sALLOW_MEMORY_GROWTH=1 -sMAXIMUM_MEMORY=4GB -sWASM_ASYNC_COMPILATION=0")
