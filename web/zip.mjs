// Every converted file in one zip, built as a Blob piece by piece: each Ogg file is read
// once and passes through, so the zip never holds every result twice in the page's memory.
import { Zip, ZipPassThrough } from 'fflate';

// Pieces this large go into a Blob, which the browser may keep out of the page's memory.
const pieceBytes = 32 * 2 ** 20;

// `files`: [{ path, blob }]. Ogg is compressed already, so the zip only stores.
export function zipBlob(files) {
    return new Promise((resolve, reject) => {
        const pieces = [];
        let pending = [], pendingBytes = 0;
        const zip = new Zip((error, chunk, final) => {
            if (error) return reject(error);
            pending.push(chunk);
            pendingBytes += chunk.length;
            if (pendingBytes >= pieceBytes || final) {
                pieces.push(new Blob(pending));
                pending = [];
                pendingBytes = 0;
            }
            if (final) resolve(new Blob(pieces, { type: 'application/zip' }));
        });
        (async () => {
            for (const { path, blob } of files) {
                const entry = new ZipPassThrough(path);
                zip.add(entry);
                entry.push(new Uint8Array(await blob.arrayBuffer()), true);
            }
            zip.end();
        })().catch(reject);
    });
}
