# Defines ffmpeg_libs (libavformat, libavcodec, libavutil: what the converter links),
# vorbisfile_libs (libvorbisfile, libvorbis, libogg: the decoder the tests read the
# output back with) and ogg_libs (libogg, which ogg_packets and its test call), either
# from the project's own static codec stack or from the system's libraries.
set(BRINDLEWOOD_CODECS bundled CACHE STRING
    "bundled: the project's own static FFmpeg, libvorbis and libogg (scripts/build-codecs); system: the system's, through pkg-config")
set_property(CACHE BRINDLEWOOD_CODECS PROPERTY STRINGS bundled system)
set(BRINDLEWOOD_CPU auto CACHE STRING
    "CPU the bundled stack is tuned for: auto (x86-64-v3 where this machine has AVX2 and FMA, x86-64-dispatch for Windows, armv8-a on 64-bit ARM, mvp in WebAssembly), x86-64, x86-64-v3, x86-64-dispatch (libvorbis for both, chosen at run time: the releases'), armv8-a or mvp")
set_property(CACHE BRINDLEWOOD_CPU PROPERTY STRINGS auto x86-64 x86-64-v3 x86-64-dispatch armv8-a mvp)
set(BRINDLEWOOD_UNPATCHED_CODEC "" CACHE STRING
    "A package of the bundled stack built without the project's patches (libvorbis, for scripts/check-codec-patches); empty: all patched")

find_package(PkgConfig REQUIRED)
add_library(ffmpeg_libs INTERFACE)
add_library(vorbisfile_libs INTERFACE)
add_library(ogg_libs INTERFACE)

if(BRINDLEWOOD_CODECS STREQUAL "system")
    pkg_check_modules(FFMPEG REQUIRED IMPORTED_TARGET libavformat libavcodec libavutil)
    pkg_check_modules(VORBISFILE REQUIRED IMPORTED_TARGET vorbisfile)
    pkg_check_modules(OGG REQUIRED IMPORTED_TARGET ogg)
    target_link_libraries(ffmpeg_libs INTERFACE PkgConfig::FFMPEG)
    target_link_libraries(vorbisfile_libs INTERFACE PkgConfig::VORBISFILE)
    target_link_libraries(ogg_libs INTERFACE PkgConfig::OGG)
    return()
elseif(NOT BRINDLEWOOD_CODECS STREQUAL "bundled")
    message(FATAL_ERROR "BRINDLEWOOD_CODECS must be bundled or system, not ${BRINDLEWOOD_CODECS}")
endif()

if(CMAKE_SYSTEM_NAME STREQUAL "Windows")
    set(codec_target x86_64-w64-mingw32)
elseif(EMSCRIPTEN)
    set(codec_target wasm32-emscripten)
else()
    # This machine's processor (uname -m), or the one a toolchain file names.
    set(codec_target ${CMAKE_SYSTEM_PROCESSOR}-linux-gnu)
endif()

# Builds the stack on the first configure; later ones find it in the cache at once.
set(codec_arguments --target ${codec_target} --cpu ${BRINDLEWOOD_CPU})
if(BRINDLEWOOD_UNPATCHED_CODEC)
    list(APPEND codec_arguments --unpatched ${BRINDLEWOOD_UNPATCHED_CODEC})
endif()
list(JOIN codec_arguments " " shown_arguments)
message(STATUS "Codec stack: scripts/build-codecs ${shown_arguments}")
execute_process(
    COMMAND ${PROJECT_SOURCE_DIR}/scripts/build-codecs ${codec_arguments}
    OUTPUT_VARIABLE codec_stack OUTPUT_STRIP_TRAILING_WHITESPACE
    RESULT_VARIABLE codec_status)
if(NOT codec_status EQUAL 0)
    message(FATAL_ERROR "scripts/build-codecs failed at the step it names above")
endif()
message(STATUS "Codec stack: ${codec_stack}")
# A changed recipe or patch makes another stack: configure again to build and use it.
file(GLOB codec_patches CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/scripts/codec-patches/*/*.patch
    ${PROJECT_SOURCE_DIR}/scripts/codec-dispatch/*)
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${PROJECT_SOURCE_DIR}/scripts/build-codecs ${PROJECT_SOURCE_DIR}/scripts/record-compile ${codec_patches})
set(BRINDLEWOOD_CODEC_STACK ${codec_stack})

# What `pkg-config --static` says of MODULES in the stack alone, on TARGET. A library
# of the stack is linked by its path, so that the linker can never pick the system's.
function(link_from_stack target)
    execute_process(
        COMMAND ${CMAKE_COMMAND} -E env PKG_CONFIG_LIBDIR=${codec_stack}/lib/pkgconfig PKG_CONFIG_PATH=
                ${PKG_CONFIG_EXECUTABLE} --static --cflags --libs ${ARGN}
        OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "pkg-config --static ${ARGN} failed in ${codec_stack}")
    endif()
    separate_arguments(flags UNIX_COMMAND "${flags}")
    foreach(flag IN LISTS flags)
        string(REGEX REPLACE "^-l" "${codec_stack}/lib/lib" archive "${flag}.a")
        if(flag MATCHES "^-I(.+)")
            target_include_directories(${target} SYSTEM INTERFACE ${CMAKE_MATCH_1})
        elseif(flag MATCHES "^-l" AND EXISTS ${archive})
            target_link_libraries(${target} INTERFACE ${archive})
        elseif(NOT flag MATCHES "^-L")
            target_link_libraries(${target} INTERFACE ${flag})
        endif()
    endforeach()
endfunction()

link_from_stack(ffmpeg_libs libavformat libavcodec libavutil)
link_from_stack(vorbisfile_libs vorbisfile)
link_from_stack(ogg_libs ogg)
