// One conversion at a time, off the page's thread: the API compiles the module once for this
// worker and runs each file in a fresh instance, whose memory goes when the file is done.
import { convert } from './converter.mjs';

self.onmessage = async ({ data: { file } }) => {
    try {
        const { ogg, frames, sampleRate } = await convert(new Uint8Array(await file.arrayBuffer()));
        self.postMessage({ ogg, summary: `${frames} frames at ${sampleRate} Hz` }, [ogg.buffer]);
    } catch (error) {
        self.postMessage({ error: error.message });
    }
};
