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
        -sMODULARIZE=1 -sEXPORT_ES6=1 -sENVIRONMENT=web,worker,node
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
