// A program that emscripten built, loaded for runMain: its ES module loader imported and its
// .wasm compiled, once per thread. The links of one program may share one .wasm.

const runsOnNode = typeof process == 'object' && typeof process.versions?.node == 'string';
const loaded = new Map();  // loader URL -> promise of { createProgram, wasmModule }

async function compile(wasmUrl) {
    if (runsOnNode) {
        const { readFile } = await import('node:fs/promises');
        return WebAssembly.compile(await readFile(wasmUrl));
    }
    return WebAssembly.compileStreaming(fetch(wasmUrl));
}

async function load(loaderUrl, wasmUrl) {
    const [{ default: createProgram }, wasmModule] = await Promise.all([import(loaderUrl.href), compile(wasmUrl)]);
    return { createProgram, wasmModule };
}

export function loadProgram(loaderUrl, wasmUrl) {
    if (!loaded.has(loaderUrl.href)) loaded.set(loaderUrl.href, load(loaderUrl, wasmUrl));
    return loaded.get(loaderUrl.href);
}
