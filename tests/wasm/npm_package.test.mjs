// The npm package as a user gets it: packed, installed with npm into an empty prefix, its
// command run on the sample, its API imported by name from a script.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { test } from 'node:test';

import { build } from './ild_bytes.mjs';

const sample = path.resolve(new URL('../../examples/arpeggio.ild', import.meta.url).pathname);
const npm = (args, cwd) => execFileSync('npm', [...args, '--no-audit', '--no-fund', '--offline'], { cwd, encoding: 'utf8' });

test('installs from its tarball, then its command and its API convert', (t) => {
    const dir = mkdtempSync(path.join(tmpdir(), 'brindlewood-npm-'));
    t.after(() => rmSync(dir, { recursive: true, force: true }));
    const tarball = npm(['pack', '--pack-destination', dir, path.join(build, 'npm')], dir).trim().split('\n').pop();
    const prefix = path.join(dir, 'prefix');
    npm(['install', '--global', '--prefix', prefix, path.join(dir, tarball)], dir);

    const summary = execFileSync(path.join(prefix, 'bin', 'brindlewood_orvo_audio'), [sample, 'out.ogg'], { cwd: dir, encoding: 'utf8' });
    assert.equal(summary, '176400 frames at 44100 Hz\n');
    assert.ok(existsSync(path.join(dir, 'out.ogg')));

    // Beside the global node_modules, where Node finds the package by its name.
    const script = path.join(prefix, 'lib', 'convert.mjs');
    writeFileSync(script, `
        import { readFile } from 'node:fs/promises';
        import { convert } from 'brindlewood-orvo-audio';
        const { ogg, frames, sampleRate } = await convert(await readFile(${JSON.stringify(sample)}));
        console.log(frames, sampleRate, new TextDecoder().decode(ogg.subarray(0, 4)));
        await convert(new Uint8Array(83)).catch((error) => console.log(error.message));`);
    assert.equal(execFileSync(process.execPath, [script], { encoding: 'utf8' }), '176400 44100 OggS\nInvalid ILD length\n');

    // What its package.json lists, beside what npm adds, and each library's licence.
    const installed = path.join(prefix, 'lib', 'node_modules', 'brindlewood-orvo-audio');
    const { files } = JSON.parse(readFileSync(path.join(installed, 'package.json'), 'utf8'));
    for (const file of [...files, 'LICENSE', 'README.md', 'licenses/ffmpeg/COPYING.LGPLv2.1',
        'licenses/libvorbis/COPYING', 'licenses/libogg/COPYING']) {
        assert.ok(existsSync(path.join(installed, file)), `${file} is installed`);
    }
});
