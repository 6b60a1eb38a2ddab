// A program that emscripten built as PROGRAM.mjs, its ES module loader, and PROGRAM.wasm beside
// it, loaded for runMain: the loader imported and the module compiled once per thread.

const runsOnNode = typeof process == 'object' && typeof process.versions?.node == 'string';
const loaded = new Map();  // loader URL -> promise of { createProgram, wasmModule }

async function compile(wasmUrl) {
    if (runsOnNode) {
        const { readFile } = await import('node:fs/promises');
        return WebAssembly.compile(await readFile(wasmUrl));
    }
    return WebAssembly.compileStreaming(fetch(wasmUrl));
}

async function load(loaderUrl) {
    const wasmUrl = new URL(loaderUrl.href.replace(/\.mjs$/, '.wasm'));
    const [{ default: createProgram }, wasmModule] = await Promise.all([import(loaderUrl.href), compile(wasmUrl)]);
    return { createProgram, wasmModule };
}

export function loadProgram(loaderUrl) {
    if (!loaded.has(loaderUrl.href)) loaded.set(loaderUrl.href, load(loaderUrl));
    return loaded.get(loaderUrl.href);
}
