// The page's worker, a classic script: the page's build puts emscripten's worker loader,
// which defines createConverter, before it. One conversion at a time, off the page's thread,
// each in a fresh instance of the module the page compiled, whose memory goes when the file
// is done.
import { convertWith } from '../src/wasm/conversion.mjs';

self.onmessage = async ({ data: { module, ild } }) => {
    try {
        const program = { createProgram: createConverter, wasmModule: module };
        const { ogg, frames, sampleRate } = await convertWith(program, new Uint8Array(ild));
        self.postMessage({ ogg, summary: `${frames} frames at ${sampleRate} Hz` }, [ogg.buffer]);
    } catch (error) {
        self.postMessage({ error: error.message });
    }
};
