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
