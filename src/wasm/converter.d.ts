/** An ILD file converted to Ogg Vorbis, with what the command line's summary line states. */
export interface Conversion {
    /** The Ogg Vorbis file, as the command line writes it. */
    ogg: Uint8Array;
    /** Sample frames (samples per channel). */
    frames: number;
    /** The file's sample rate in Hz. */
    sampleRate: number;
}

/**
 * Converts the bytes of one ILD file (stereo PS ADPCM) to Ogg Vorbis, in memory, through the
 * same code as the command line. Rejects with an Error whose message is the command line's
 * own one-line message, such as "Invalid ILD length" or "Invalid PS ADPCM block".
 */
export function convert(ild: Uint8Array): Promise<Conversion>;
