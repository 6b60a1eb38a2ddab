// The conversion behind the JavaScript API: the command line's main() on files in the memory
// of a fresh instance. Like run_main.mjs, it names no file, so that the web page's classic
// worker carries the same code.
import { runMain } from './run_main.mjs';

// Converts the bytes of one ILD file with `program` (see runMain). Resolves to the Ogg Vorbis
// file and what the command line's summary line states; rejects with an Error whose message
// is the command line's one-line message ("Invalid ILD length", ...).
export async function convertWith(program, ild) {
    if (!(ild instanceof Uint8Array)) throw new TypeError('convert() takes the ILD file as a Uint8Array');
    const out = [], err = [];
    const { status, program: instance } = await runMain(program, ['input.ild', 'output.ogg'], {
        prepare: ({ FS }) => FS.writeFile('input.ild', ild),
        stdout: (line) => out.push(line),
        stderr: (line) => err.push(line),
    });
    if (status !== 0) throw new Error(err.join('\n'));
    const [, frames, sampleRate] = /^(\d+) frames at (\d+) Hz$/.exec(out.join('\n'));
    return { ogg: instance.FS.readFile('output.ogg'), frames: Number(frames), sampleRate: Number(sampleRate) };
}
