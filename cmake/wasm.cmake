# What differs when the converter is built for WebAssembly (cmake/wasm32-emscripten.cmake).
# A program is emscripten's loader, NAME.mjs, an ES module that instantiates NAME.wasm; NAME.js
# runs it under Node as a command, and converter.mjs, the JavaScript API, runs the converter's
# in memory, in Node and in browsers. The npm package holds these files as they are.

set(wasm_sources ${PROJECT_SOURCE_DIR}/src/wasm)

# Makes the executable TARGET such a program. main() is called by run_main.mjs, once per
# fresh instance; the command mounts this machine's files (NODEFS), the API writes to memory.
function(add_wasm_command target)
    set_target_properties(${target} PROPERTIES SUFFIX .mjs)
    target_link_options(${target} PRIVATE
        -sMODULARIZE=1 -sEXPORT_ES6=1 -sENVIRONMENT=web,worker,node -sWASM_ASYNC_COMPILATION=1
        -sINVOKE_RUN=0 -sEXIT_RUNTIME=1 -sFORCE_FILESYSTEM=1 -lnodefs.js
        -sEXPORTED_RUNTIME_METHODS=callMain,FS,NODEFS,ENV
        -sNODEJS_CATCH_EXIT=0 -sNODEJS_CATCH_REJECTION=0
        "SHELL:--extern-pre-js ${wasm_sources}/node_require.js")
    set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${wasm_sources}/node_require.js)
    get_target_property(folder ${target} BINARY_DIR)
    configure_file(${wasm_sources}/command.js ${folder}/${target}.js COPYONLY)
    configure_file(${wasm_sources}/run_main.mjs ${folder}/run_main.mjs COPYONLY)
endfunction()

add_wasm_command(brindlewood_orvo_audio)
foreach(name converter.mjs converter.d.ts)
    configure_file(${wasm_sources}/${name} ${PROJECT_BINARY_DIR}/${name} COPYONLY)
endforeach()

# The npm package as a folder, npm/, which scripts/release packs: the command, the API, the
# one module both run, and the licences of all that is in it.
set(npm_folder ${PROJECT_BINARY_DIR}/npm)
configure_file(packaging/npm/package.json.in ${npm_folder}/package.json @ONLY)
configure_file(packaging/npm/README.md ${npm_folder}/README.md COPYONLY)
configure_file(LICENSE ${npm_folder}/LICENSE COPYONLY)
add_custom_command(TARGET brindlewood_orvo_audio POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy brindlewood_orvo_audio.js brindlewood_orvo_audio.mjs brindlewood_orvo_audio.wasm
            run_main.mjs converter.mjs converter.d.ts ${npm_folder}/
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${BRINDLEWOOD_CODEC_STACK}/share/licenses ${npm_folder}/licenses
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    COMMENT "Laying out the npm package in ${npm_folder}")

# The web page, laid out in web/ of the build folder as a static site: the page's files, the
# program and the API as built above, the zip library from npm at the version web/'s lockfile
# pins, and the licence texts the page links to.
set(web_sources ${PROJECT_SOURCE_DIR}/web)
set(web_folder ${PROJECT_BINARY_DIR}/web)
set(web_npm ${PROJECT_BINARY_DIR}/web-npm)

file(READ ${web_sources}/package-lock.json web_lock)
string(JSON FFLATE_VERSION GET "${web_lock}" packages node_modules/fflate version)
file(STRINGS ${BRINDLEWOOD_CODEC_STACK}/stack-key.txt stack_versions REGEX "^(ffmpeg|libvorbis|libogg) ")
foreach(line IN LISTS stack_versions)
    # Debian's package versions: 7:5.1.9-0+deb12u1 is FFmpeg 5.1.9.
    string(REGEX REPLACE "^([a-z]+) ([0-9]+:)?([^-]+)-.*" "\\1;\\3" name_version "${line}")
    list(GET name_version 0 name)
    string(TOUPPER ${name} name)
    list(GET name_version 1 ${name}_VERSION)
endforeach()
configure_file(${web_sources}/index.html ${web_folder}/index.html @ONLY)
foreach(name main.mjs files.mjs pool.mjs worker.mjs style.css)
    configure_file(${web_sources}/${name} ${web_folder}/${name} COPYONLY)
endforeach()
foreach(name converter.mjs run_main.mjs)
    configure_file(${PROJECT_BINARY_DIR}/${name} ${web_folder}/${name} COPYONLY)
endforeach()

set(stack_licences ${BRINDLEWOOD_CODEC_STACK}/share/licenses)
foreach(licence
        "${PROJECT_SOURCE_DIR}/LICENSE brindlewood_orvo_audio-LICENSE"
        "${stack_licences}/ffmpeg/COPYING.LGPLv2.1 ffmpeg-COPYING.LGPLv2.1"
        "${stack_licences}/ffmpeg/LICENSE.md ffmpeg-LICENSE.md"
        "${stack_licences}/libvorbis/COPYING libvorbis-COPYING"
        "${stack_licences}/libogg/COPYING libogg-COPYING")
    separate_arguments(licence)
    list(GET licence 0 from)
    list(GET licence 1 to)
    # .txt, so that any static host serves them as text.
    configure_file(${from} ${web_folder}/licenses/${to}.txt COPYONLY)
endforeach()

# npm ci takes the lockfile's versions and checks their hashes.
find_program(NPM npm REQUIRED)
add_custom_command(
    OUTPUT ${web_folder}/fflate.mjs ${web_folder}/licenses/fflate-LICENSE.txt
    COMMAND ${CMAKE_COMMAND} -E make_directory ${web_npm}
    COMMAND ${CMAKE_COMMAND} -E copy ${web_sources}/package.json ${web_sources}/package-lock.json ${web_sources}/.npmrc ${web_npm}/
    COMMAND ${NPM} ci --prefix ${web_npm} --ignore-scripts --no-audit --no-fund --loglevel=error
    COMMAND ${CMAKE_COMMAND} -E copy ${web_npm}/node_modules/fflate/esm/browser.js ${web_folder}/fflate.mjs
    COMMAND ${CMAKE_COMMAND} -E copy ${web_npm}/node_modules/fflate/LICENSE ${web_folder}/licenses/fflate-LICENSE.txt
    DEPENDS ${web_sources}/package.json ${web_sources}/package-lock.json
    COMMENT "Taking the web page's zip library from npm")
add_custom_target(web_page ALL
    DEPENDS ${web_folder}/fflate.mjs ${web_folder}/licenses/fflate-LICENSE.txt brindlewood_orvo_audio
    COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:brindlewood_orvo_audio>
            $<TARGET_FILE_DIR:brindlewood_orvo_audio>/brindlewood_orvo_audio.wasm ${web_folder}/
    COMMENT "Copying the program into the web page")
