// What the page carries besides its own code, in elements that never run as scripts: the
// converter's WebAssembly module (gzip, then base64) and the script of its workers.

// The module, compiled once for every worker.
export async function compileConverter() {
    const base64 = document.getElementById('converter-wasm').textContent.trim();
    const gzipped = Uint8Array.from(atob(base64), (char) => char.charCodeAt(0));
    const wasm = new Blob([gzipped]).stream().pipeThrough(new DecompressionStream('gzip'));
    return WebAssembly.compile(await new Response(wasm).arrayBuffer());
}

// A blob: URL of the workers' classic script, the one kind of worker that starts from a
// file:// page in every browser.
export function workerUrl() {
    const script = document.getElementById('worker-script').textContent;
    return URL.createObjectURL(new Blob([script], { type: 'text/javascript' }));
}
