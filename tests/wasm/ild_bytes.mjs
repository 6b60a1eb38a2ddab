// What the JavaScript tests make their inputs and compare their outputs with, independent of
// the converter's code: ILD files edited from the bundled sample, and Ogg files made
// comparable across runs.
import { readFileSync } from 'node:fs';
import path from 'node:path';

export const sample = readFileSync(new URL('../../examples/arpeggio.ild', import.meta.url));
export const build = process.env.BRINDLEWOOD_WASM_BUILD;
export const command = path.join(build, 'brindlewood_orvo_audio.js');

// `ild` with the little-endian 32-bit `value` at byte `offset`.
export function edited(ild, offset, value) {
    const bytes = Uint8Array.from(ild);
    new DataView(bytes.buffer).setUint32(offset, value, true);
    return bytes;
}

// The sample's first `pairs` block pairs (28 frames each), its data size saying so.
export function cut(pairs) {
    const dataOffset = new DataView(sample.buffer, sample.byteOffset).getUint32(8, true);
    return edited(sample.subarray(0, dataOffset + 32 * pairs), 12, 32 * pairs);
}

// `ogg` with each page's serial number and checksum zeroed: two encodings of the same packets
// then compare equal, whatever serial number each run drew.
export function withoutSerials(ogg) {
    const bytes = Uint8Array.from(ogg);
    for (let page = 0; page < bytes.length;) {
        if (String.fromCharCode(...bytes.subarray(page, page + 4)) !== 'OggS') throw new Error(`no Ogg page at ${page}`);
        const segments = bytes[page + 26];
        const body = bytes.subarray(page + 27, page + 27 + segments).reduce((sum, lacing) => sum + lacing, 0);
        bytes.fill(0, page + 14, page + 18);
        bytes.fill(0, page + 22, page + 26);
        page += 27 + segments + body;
    }
    return bytes;
}
