// The converter's JavaScript API, in Node and in browsers: the command line's own conversion,
// main() and all, run on files in the memory of a fresh WebAssembly instance.

import { runMain } from './run_main.mjs';

const converter = new URL('./brindlewood_orvo_audio.mjs', import.meta.url);

// Converts the bytes of one ILD file. Resolves to the Ogg Vorbis file and what the command
// line's summary line states; rejects with an Error whose message is the command line's
// one-line message ("Invalid ILD length", ...).
export async function convert(ild) {
    if (!(ild instanceof Uint8Array)) throw new TypeError('convert() takes the ILD file as a Uint8Array');
    const out = [], err = [];
    const { status, program } = await runMain(converter, ['input.ild', 'output.ogg'], {
        prepare: ({ FS }) => FS.writeFile('input.ild', ild),
        stdout: (line) => out.push(line),
        stderr: (line) => err.push(line),
    });
    if (status !== 0) throw new Error(err.join('\n'));
    const [, frames, sampleRate] = /^(\d+) frames at (\d+) Hz$/.exec(out.join('\n'));
    return { ogg: program.FS.readFile('output.ogg'), frames: Number(frames), sampleRate: Number(sampleRate) };
}
