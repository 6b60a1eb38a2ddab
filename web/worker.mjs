// The page's worker, a classic script: the page's build puts emscripten's worker loader,
// which defines createConverter, before it. One conversion at a time, off the page's thread,
// each in the worker's one instance of the module the page compiled, set back before each
// file to what a new instance holds.
import { convertWith } from '../src/wasm/conversion.mjs';
import { reusingOneInstance, runMain } from '../src/wasm/run_main.mjs';

let program;

// A message without a file makes the instance, by a run of main() without arguments (its
// usage line), so that the first file finds it made; it gets no answer.
self.onmessage = async ({ data: { module, ild } }) => {
    program ??= reusingOneInstance({ createProgram: createConverter, wasmModule: module });
    if (!ild) {
        await program.exclusively((each) => runMain(each, [], { stdout() {}, stderr() {} })).catch(() => {});
        return;
    }
    try {
        const { ogg, frames, sampleRate } = await program.exclusively((each) => convertWith(each, new Uint8Array(ild)));
        self.postMessage({ ogg, summary: `${frames} frames at ${sampleRate} Hz` }, [ogg.buffer]);
    } catch (error) {
        self.postMessage({ error: error.message });
    }
};
