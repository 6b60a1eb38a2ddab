// The JavaScript API runs the command line's own conversion: the same summary, the same
// messages, the same Vorbis packets, and nothing left behind between conversions, also
// where one instance runs them all, as in the web page's workers.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';
import { test } from 'node:test';
import v8 from 'node:v8';
import vm from 'node:vm';

import { build, command, cut, edited, sample, withoutSerials } from './ild_bytes.mjs';

const { convert } = await import(pathToFileURL(path.join(build, 'converter.mjs')));
const { convertWith } = await import(pathToFileURL(path.join(build, 'conversion.mjs')));
const { loadProgram } = await import(pathToFileURL(path.join(build, 'load_program.mjs')));
const { reusingOneInstance } = await import(pathToFileURL(path.join(build, 'run_main.mjs')));
const apiProgram = () => loadProgram(pathToFileURL(path.join(build, 'brindlewood_orvo_audio_api.mjs')),
    pathToFileURL(path.join(build, 'brindlewood_orvo_audio.wasm')));

// The command line under Node on `ild`, written to a file: its status, streams and output.
function commandLine(ild) {
    const dir = mkdtempSync(path.join(tmpdir(), 'brindlewood-api-'));
    try {
        writeFileSync(path.join(dir, 'in.ild'), ild);
        const run = spawnSync(process.execPath, [command, 'in.ild', 'out.ogg'], { cwd: dir, encoding: 'utf8' });
        const ogg = run.status === 0 ? readFileSync(path.join(dir, 'out.ogg')) : undefined;
        return { status: run.status, stdout: run.stdout, stderr: run.stderr, ogg };
    } finally {
        rmSync(dir, { recursive: true, force: true });
    }
}

const dataOffset = 84;  // the sample's
const cases = [
    { name: 'the sample', ild: sample, summary: '176400 frames at 44100 Hz' },
    { name: 'ten block pairs', ild: cut(10), summary: '280 frames at 44100 Hz' },
    { name: 'no audio', ild: cut(0), summary: '0 frames at 44100 Hz' },
    { name: 'a rate of 8000 Hz', ild: edited(edited(cut(10), 40, 8000), 72, 8000), summary: '280 frames at 8000 Hz' },
    { name: 'shorter than a header', ild: sample.subarray(0, 83), error: 'Invalid ILD length' },
    { name: 'a rate of 7999 Hz', ild: edited(edited(sample, 40, 7999), 72, 7999), error: 'Invalid ILD sample rate' },
    { name: 'a damaged block', ild: edited(sample, dataOffset + 32 * 5 + 16, 0x50), error: 'Invalid PS ADPCM block' },
];

for (const c of cases) {
    test(`${c.name}: what the command line does`, async () => {
        const line = commandLine(c.ild);
        if (c.error) {
            await assert.rejects(convert(c.ild), (error) => error instanceof Error && error.message === c.error);
            assert.deepEqual([line.status, line.stdout, line.stderr], [1, '', `${c.error}\n`]);
            return;
        }
        const { ogg, frames, sampleRate } = await convert(c.ild);
        assert.equal(`${frames} frames at ${sampleRate} Hz`, c.summary);
        assert.deepEqual([line.status, line.stdout, line.stderr], [0, `${c.summary}\n`, '']);
        assert.deepEqual(withoutSerials(ogg), withoutSerials(line.ogg));
    });
}

test('takes only bytes', async () => {
    await assert.rejects(convert('arpeggio.ild'), TypeError);
});

test('conversions at once do not mix', async () => {
    const results = await Promise.all([cut(10), sample, cut(100)].map((ild) => convert(ild)));
    assert.deepEqual(results.map(({ frames }) => frames), [280, 176400, 2800]);
});

test('a conversion leaves no memory behind', async () => {
    v8.setFlagsFromString('--expose-gc');
    const collect = vm.runInNewContext('gc');
    const resident = () => {
        collect();
        return process.memoryUsage().rss;
    };
    const ild = cut(2000);
    for (let i = 0; i < 10; ++i) await convert(ild);
    const before = resident();
    for (let i = 0; i < 100; ++i) await convert(ild);
    // Measured: -1 to 11 MiB; 220 MiB when every instance is kept alive.
    assert.ok(resident() - before < 32 << 20, `grew by ${(resident() - before) >> 20} MiB`);
});

// The sample's audio `times` over.
function repeated(times) {
    const audio = sample.subarray(dataOffset);
    const ild = new Uint8Array(dataOffset + audio.length * times);
    ild.set(sample.subarray(0, dataOffset));
    for (let i = 0; i < times; ++i) ild.set(audio, dataOffset + audio.length * i);
    return edited(ild, 12, audio.length * times);
}

// Files that fail at each stage, and one that grows the memory, each before the sample.
const before = [
    ['shorter than a header', sample.subarray(0, 83)],
    ['a rate of 7999 Hz', edited(edited(sample, 40, 7999), 72, 7999)],
    ['a damaged block', edited(sample, dataOffset + 32 * 5 + 16, 0x50)],
    ['ten times the sample', repeated(10)],
];
const fresh = withoutSerials(commandLine(sample).ogg);
for (const [name, ild] of before) {
    test(`one instance: after ${name}, the sample converts as in a fresh one`, async (t) => {
        const program = reusingOneInstance(await apiProgram());
        const instantiate = WebAssembly.instantiate;
        let made = 0;
        WebAssembly.instantiate = (...args) => (++made, instantiate(...args));
        t.after(() => { WebAssembly.instantiate = instantiate; });
        await program.exclusively((each) => convertWith(each, ild)).catch(() => {});
        const { ogg } = await program.exclusively((each) => convertWith(each, sample));
        assert.equal(made, 1);
        assert.deepEqual(withoutSerials(ogg), fresh);
    });
}
