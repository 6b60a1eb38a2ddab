// The converter's JavaScript API, in Node and in browsers: the command line's own conversion,
// main() and all, run on files in the memory of a fresh WebAssembly instance.
import { convertWith } from './conversion.mjs';
import { loadProgram } from './load_program.mjs';

// The converter's link for files in memory, on the .wasm that the command runs too.
const loader = new URL('./brindlewood_orvo_audio_api.mjs', import.meta.url);
const wasm = new URL('./brindlewood_orvo_audio.wasm', import.meta.url);

// Converts the bytes of one ILD file. Resolves to the Ogg Vorbis file and what the command
// line's summary line states; rejects with an Error whose message is the command line's
// one-line message ("Invalid ILD length", ...).
export async function convert(ild) {
    return convertWith(await loadProgram(loader, wasm), ild);
}
