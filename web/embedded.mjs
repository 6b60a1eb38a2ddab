// What the page carries besides its own code, in elements that never run as scripts: the
// converter's WebAssembly module (gzip, then base64) and the script of its workers.

// The module, compiled once for every worker.
export async function compileConverter() {
    const binary = atob(document.getElementById('converter-wasm').textContent.trim());
    // A plain loop: Uint8Array.from with a function per character took 33 to 173 ms.
    const gzipped = new Uint8Array(binary.length);
    for (let i = 0; i < binary.length; ++i) gzipped[i] = binary.charCodeAt(i);
    const wasm = new Blob([gzipped]).stream().pipeThrough(new DecompressionStream('gzip'));
    return WebAssembly.compile(await new Response(wasm).arrayBuffer());
}

// A blob: URL of the workers' classic script, the one kind of worker that starts from a
// file:// page in every browser.
export function workerUrl() {
    const script = document.getElementById('worker-script').textContent;
    return URL.createObjectURL(new Blob([script], { type: 'text/javascript' }));
}
