# What differs when the converter is built for WebAssembly (cmake/wasm32-emscripten.cmake).
# A program is emscripten's loader, an ES module, and the .wasm it instantiates. The command,
# NAME.js, runs NAME.mjs under Node on this machine's files; converter.mjs, the JavaScript API,
# runs a second link of the converter, brindlewood_orvo_audio_api.mjs, on files in memory, in
# Node and in browsers. Both instantiate brindlewood_orvo_audio.wasm (emscripten gives both
# links the same bytes, which the build checks). The npm package holds these files as they
# are. The web page is one HTML file that carries the same .wasm, loaded by a third link of
# the converter as a classic script for its workers.

set(wasm_sources ${PROJECT_SOURCE_DIR}/src/wasm)
# main() is called by run_main.mjs, once per runtime; sbrk(0) tells it how much of an instance's
# memory a run wrote, which it clears before the next run in the same instance.
set(wasm_program_options -sMODULARIZE=1 -sWASM_ASYNC_COMPILATION=1 -sINVOKE_RUN=0 -sEXIT_RUNTIME=1 -sFORCE_FILESYSTEM=1
    -sEXPORTED_FUNCTIONS=_main,_sbrk)
set(wasm_modules run_main.mjs load_program.mjs conversion.mjs)

# Makes the executable TARGET a program whose loader is an ES module, also for Node, where it
# neither catches the process's exits and rejections nor ends the process.
function(add_wasm_module target)
    set_target_properties(${target} PROPERTIES SUFFIX .mjs)
    target_link_options(${target} PRIVATE ${wasm_program_options} ${ARGN}
        -sEXPORT_ES6=1 -sNODEJS_CATCH_EXIT=0 -sNODEJS_CATCH_REJECTION=0
        "SHELL:--extern-pre-js ${wasm_sources}/node_require.js")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${wasm_sources}/node_require.js)
endfunction()

# Makes the executable TARGET a command under Node, TARGET.js, whose paths are this
# machine's, through Node itself (NODERAWFS).
function(add_wasm_command target)
    add_wasm_module(${target} -sENVIRONMENT=node -sNODERAWFS=1 -sEXPORTED_RUNTIME_METHODS=callMain,FS,ENV)
    get_target_property(folder ${target} BINARY_DIR)
    configure_file(${wasm_sources}/command.js ${folder}/${target}.js COPYONLY)
    foreach(name ${wasm_modules})
        configure_file(${wasm_sources}/${name} ${folder}/${name} COPYONLY)
    endforeach()
endfunction()

add_wasm_command(brindlewood_orvo_audio)
add_executable(brindlewood_orvo_audio_api)
target_link_libraries(brindlewood_orvo_audio_api PRIVATE driver brindlewood)
add_wasm_module(brindlewood_orvo_audio_api -sENVIRONMENT=web,worker,node -sEXPORTED_RUNTIME_METHODS=callMain,FS,ENV)
foreach(name converter.mjs converter.d.ts)
    configure_file(${wasm_sources}/${name} ${PROJECT_BINARY_DIR}/${name} COPYONLY)
endforeach()

# The npm package as a folder, npm/, which scripts/release packs: what "files" in its
# package.json lists (the command, the API, the modules both run, and the licences of all
# that is in them), taken from this folder, where the codec stack's licences are copied;
# npm adds package.json, README.md and LICENSE. Its one .wasm must be the API's link's too.
set(npm_folder ${PROJECT_BINARY_DIR}/npm)
configure_file(packaging/npm/package.json.in ${npm_folder}/package.json @ONLY)
configure_file(packaging/npm/README.md ${npm_folder}/README.md COPYONLY)
configure_file(LICENSE ${npm_folder}/LICENSE COPYONLY)
file(COPY ${BRINDLEWOOD_CODEC_STACK}/share/licenses DESTINATION ${PROJECT_BINARY_DIR})
file(READ packaging/npm/package.json.in npm_manifest)
string(JSON npm_entries LENGTH "${npm_manifest}" files)
math(EXPR last_entry "${npm_entries} - 1")
set(npm_copies "")
foreach(index RANGE ${last_entry})
    string(JSON entry GET "${npm_manifest}" files ${index})
    if(entry MATCHES "/$")
        list(APPEND npm_copies COMMAND ${CMAKE_COMMAND} -E copy_directory ${entry} ${npm_folder}/${entry})
    else()
        list(APPEND npm_copies COMMAND ${CMAKE_COMMAND} -E copy ${entry} ${npm_folder}/)
    endif()
endforeach()
add_custom_target(npm_package ALL
    COMMAND ${CMAKE_COMMAND} -E compare_files brindlewood_orvo_audio.wasm brindlewood_orvo_audio_api.wasm
    ${npm_copies}
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    COMMENT "Laying out the npm package in ${npm_folder}")
add_dependencies(npm_package brindlewood_orvo_audio brindlewood_orvo_audio_api)

# The web page, build-wasm/web/brindlewood_orvo_audio-VERSION.html, which tools/build_page.mjs
# makes with esbuild from web/, the worker's link of the converter, its .wasm (the same bytes
# as the npm package's: the build fails if they differ), the zip library from npm at the
# version web/'s lockfile pins, and the licence texts.
add_executable(brindlewood_orvo_audio_worker)
target_link_libraries(brindlewood_orvo_audio_worker PRIVATE driver brindlewood)
target_link_options(brindlewood_orvo_audio_worker PRIVATE ${wasm_program_options}
    -sENVIRONMENT=worker -sEXPORT_NAME=createConverter -sEXPORTED_RUNTIME_METHODS=callMain,FS,ENV)

set(web_sources ${PROJECT_SOURCE_DIR}/web)
set(web_npm ${PROJECT_BINARY_DIR}/web-npm)
set(web_page ${PROJECT_BINARY_DIR}/web/brindlewood_orvo_audio-${PROJECT_VERSION}.html)

file(READ ${web_sources}/package-lock.json web_lock)
string(JSON FFLATE_VERSION GET "${web_lock}" packages node_modules/fflate version)
file(READ ${BRINDLEWOOD_CODEC_STACK}/stack.json stack_description)
foreach(name ffmpeg libvorbis libogg)
    string(TOUPPER ${name} upper)
    string(JSON ${upper}_VERSION GET "${stack_description}" packages ${name} version)
endforeach()

# npm ci takes the lockfile's versions and checks their hashes; the page needs only fflate,
# the test puppeteer-core too (tests/web).
find_program(NPM npm REQUIRED)
set(fflate ${web_npm}/node_modules/fflate)
add_custom_command(
    OUTPUT ${fflate}/esm/browser.js
    COMMAND ${CMAKE_COMMAND} -E make_directory ${web_npm}
    COMMAND ${CMAKE_COMMAND} -E copy ${web_sources}/package.json ${web_sources}/package-lock.json ${web_sources}/.npmrc ${web_npm}/
    COMMAND ${NPM} ci --prefix ${web_npm} $<$<NOT:$<BOOL:${BUILD_TESTING}>>:--omit=dev> --ignore-scripts --no-audit --no-fund --loglevel=error
    DEPENDS ${web_sources}/package.json ${web_sources}/package-lock.json
    COMMENT "Taking the web page's zip library from npm")

set(stack_licences ${BRINDLEWOOD_CODEC_STACK}/share/licenses)
file(GLOB web_files ${web_sources}/*)
find_program(ESBUILD esbuild REQUIRED)
add_custom_command(
    OUTPUT ${web_page}
    COMMAND ${CMAKE_COMMAND} -E compare_files brindlewood_orvo_audio.wasm brindlewood_orvo_audio_worker.wasm
    COMMAND ${CMAKE_COMMAND} -E make_directory web
    COMMAND ${CMAKE_COMMAND} -E env ESBUILD=${ESBUILD}
            ${CMAKE_CROSSCOMPILING_EMULATOR} ${PROJECT_SOURCE_DIR}/tools/build_page.mjs ${web_page}
            brindlewood_orvo_audio_worker.js brindlewood_orvo_audio_worker.wasm ${web_npm}/node_modules
            PROJECT_VERSION=${PROJECT_VERSION} FFMPEG_VERSION=${FFMPEG_VERSION} LIBVORBIS_VERSION=${LIBVORBIS_VERSION}
            LIBOGG_VERSION=${LIBOGG_VERSION} FFLATE_VERSION=${FFLATE_VERSION}
            "--licence=brindlewood_orvo_audio: MIT=${PROJECT_SOURCE_DIR}/LICENSE"
            "--licence=FFmpeg: LGPL-2.1 or later=${stack_licences}/ffmpeg/COPYING.LGPLv2.1"
            "--licence=FFmpeg: its licensing notes=${stack_licences}/ffmpeg/LICENSE.md"
            "--licence=libvorbis: BSD-3-Clause=${stack_licences}/libvorbis/COPYING"
            "--licence=libogg: BSD-3-Clause=${stack_licences}/libogg/COPYING"
            "--licence=fflate: MIT=${fflate}/LICENSE"
    DEPENDS brindlewood_orvo_audio brindlewood_orvo_audio_worker ${web_files} ${fflate}/esm/browser.js
            ${PROJECT_SOURCE_DIR}/tools/build_page.mjs ${wasm_sources}/run_main.mjs ${wasm_sources}/conversion.mjs
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    COMMENT "Building the web page, ${web_page}")
add_custom_target(web_page ALL DEPENDS ${web_page})
