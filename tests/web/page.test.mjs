// The single-file web page in Chromium, Firefox and WebKit, opened from file:// and served:
// chosen files, a chosen folder and a dropped folder convert to what the command line gives
// for the same files; every row says so; the zip holds each .ogg at its .ild's path; the page
// asks for nothing, and a request planted in it is blocked; a damaged page fails each file; a
// worker that failed files converts the next as a fresh instance does; a long batch keeps
// Chromium's memory bounded. bench/page_screenshots.mjs takes its pictures.
import assert from 'node:assert/strict';
import { execFileSync, spawnSync } from 'node:child_process';
import { copyFileSync, mkdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import { pathToFileURL } from 'node:url';

import { cannot, engines, launch, served, waitFor } from '../../tools/browsers.mjs';
import { command, withoutSerials } from '../wasm/ild_bytes.mjs';

const page = process.env.BRINDLEWOOD_WEB_PAGE;
const work = process.env.BRINDLEWOOD_WEB_WORK;
const npmFolder = process.env.BRINDLEWOOD_WEB_NPM;
const source = new URL('../../', import.meta.url).pathname;
const seeds = path.join(source, 'fuzz/seeds');
const sample = path.join(source, 'examples/arpeggio.ild');

// Path below what is chosen -> where its bytes come from (text is written as it is).
const chosenFiles = {
    'arpeggio.ild': sample,
    'song with spaces — ünïcödé ♪.ild': `${seeds}/music.ild`,
    'broken block.ild': `${seeds}/bad_block.ild`,
    'not audio.ild': { text: 'This is a text file, not an ILD file.\n' },
    'readme.txt': { text: 'Skipped: not an .ild file.\n' },
};
const chosenFolder = {
    'album/intro.ild': `${seeds}/one_pair.ild`,
    'album/disc 2/fin.ILD': `${seeds}/gap_and_trailer.ild`,
    'album/disc 2/silence.ild': `${seeds}/header_only.ild`,
    'album/disc 2/cover.png': { text: '\x89PNG not really' },
    'album/disc 2/deeper/mono.ild': `${seeds}/mono.ild`,
};
// Dropped as the folder "drop" and the file "dropped alone.ild".
const dropped = {
    'drop/first.ild': `${seeds}/music.ild`,
    'drop/deep/er/second.ild': `${seeds}/one_pair.ild`,
    'dropped alone.ild': sample,
};
// Converted in this order by one worker.
const oneWorker = {
    'one worker/1 broken block.ild': `${seeds}/bad_block.ild`,
    'one worker/2 not audio.ild': { text: 'This is a text file, not an ILD file.\n' },
    'one worker/3 arpeggio.ild': sample,
};
const longBatch = 100;
const inputs = path.join(work, 'inputs');

function writeTree(files) {
    for (const [name, from] of Object.entries(files)) {
        mkdirSync(path.dirname(path.join(inputs, name)), { recursive: true });
        if (from.text) writeFileSync(path.join(inputs, name), from.text);
        else copyFileSync(from, path.join(inputs, name));
    }
}

// The 16-bit stereo samples an Ogg Vorbis file decodes to, by Debian's oggdec.
const decodedPcm = (ogg) => execFileSync('oggdec', ['--quiet', '--raw', '--output', '-', ogg], { maxBuffer: 1 << 28 });

// [state, line] as the command line converts each file, and the PCM of what it writes.
function commandLineResults(names) {
    const expected = {}, pcm = {};
    for (const [index, name] of names.entries()) {
        if (!/\.ild$/i.test(name)) {
            expected[name] = ['skipped', 'Not an .ild file'];
            continue;
        }
        const ogg = path.join(work, `expected-${index}.ogg`);
        const run = spawnSync(process.execPath, [command, path.join(inputs, name), ogg], { encoding: 'utf8' });
        expected[name] = run.status === 0 ? ['converted', run.stdout.trim()] : ['failed', run.stderr.trim()];
        if (run.status === 0) pcm[name] = decodedPcm(ogg);
    }
    return { expected, pcm };
}

// In the page: every row as [path, state, detail], and whether the batch is done.
const rowsOf = () => Object.fromEntries([...document.querySelectorAll('#file-list li')].map((row) =>
    [row.querySelector('.path').textContent, [row.dataset.state, row.querySelector('.detail').textContent]]));
const batchDone = () => document.body.dataset.busy === 'false';
const started = () => document.getElementById('not-started')?.hidden;

// In the page: remembers each Blob the page makes a URL for, so that the test can read what
// a download would save; and reads one back as base64.
const rememberBlobs = () => {
    const createObjectURL = URL.createObjectURL;
    window.blobs = new Map();
    URL.createObjectURL = (blob) => {
        const url = createObjectURL(blob);
        window.blobs.set(url, blob);
        return url;
    };
};
const blobBase64 = (url) => new Promise((resolve) => {
    const reader = new FileReader();
    reader.onload = () => resolve(reader.result.split(',')[1]);
    reader.readAsDataURL(window.blobs.get(url ?? [...window.blobs.keys()].pop()));
});

async function pageBytes(browser, url) {
    return Buffer.from(await browser.evaluate(blobBase64, url), 'base64');
}

// The files a zip holds, by Python's zipfile: an oracle apart from the page's zip library.
function unzipped(zip) {
    const folder = path.join(work, 'unzipped');
    rmSync(folder, { recursive: true, force: true });
    writeFileSync(`${folder}.zip`, zip);
    execFileSync('/usr/bin/python3', ['-m', 'zipfile', '-e', `${folder}.zip`, folder]);
    return execFileSync('find', [folder, '-type', 'f', '-printf', '%P\\n'], { encoding: 'utf8' }).split('\n').filter(Boolean);
}

rmSync(work, { recursive: true, force: true });
writeTree({ ...chosenFiles, ...chosenFolder, ...dropped, ...oneWorker });
spawnSync(process.execPath, [command, sample, path.join(work, 'fresh.ogg')]);
const fresh = withoutSerials(readFileSync(path.join(work, 'fresh.ogg')));
const { expected, pcm } = commandLineResults(Object.keys({ ...chosenFiles, ...chosenFolder, ...dropped }));
const server = await served(path.dirname(page));
after(() => server.close());
const origins = { 'file://': pathToFileURL(page).href, served: `${server.url}/${path.basename(page)}` };

for (const engine of (process.env.BRINDLEWOOD_WEB_ENGINES?.split(',') ?? engines)) {
    describe(engine, () => {
        let browser;
        before(async () => {
            browser = await launch(engine, { npmFolder, profile: path.join(work, `profile-${engine}`) });
        });
        after(() => browser?.close());

        for (const [where, url] of Object.entries(origins)) describe(where, () => {
            let rows, posed, firstTabStop;
            before(async () => {
                await browser.open(url);
                await waitFor('the page to start', () => browser.evaluate(started), 30_000);
                await browser.evaluate(rememberBlobs);
                await browser.pressTab();
                firstTabStop = await browser.evaluate(() => [document.activeElement.id, getComputedStyle(document.activeElement).outlineStyle]);
                await browser.chooseFiles('#file-input', Object.keys(chosenFiles).map((name) => path.join(inputs, name)));
                posed = { ...chosenFiles };
                if (!cannot[engine].folderInput) {
                    await browser.chooseFiles('#folder-input', [path.join(inputs, 'album')]);
                    posed = { ...posed, ...chosenFolder };
                }
                if (!cannot[engine].osDrop) {
                    await browser.drop([path.join(inputs, 'drop'), path.join(inputs, 'dropped alone.ild')]);
                    posed = { ...posed, ...dropped };
                }
                // Asked in one call, since a dropped folder's files arrive some time after the drop.
                const count = Object.keys(posed).length;
                await waitFor('the batch', () => browser.evaluate((rows) => document.body.dataset.busy === 'false' &&
                    document.querySelectorAll('#file-list li').length === rows, count), 300_000);
                rows = await browser.evaluate(rowsOf);
            });

            test('every row states what the command line says', async () => {
                assert.deepEqual(rows, Object.fromEntries(Object.keys(posed).map((name) => [name, expected[name]])));
                const states = Object.values(rows).map(([state]) => state);
                const count = (state) => states.filter((each) => each === state).length;
                const done = count('converted') + count('failed');
                const status = await browser.evaluate(() => document.getElementById('batch-status').textContent);
                assert.match(status, new RegExp(`^${done} of ${done} files done .*, ${count('failed')} failed, ${count('skipped')} skipped\\.$`));
            });

            test('a chosen folder arrives with its tree', { skip: cannot[engine].folderInput }, () => {
                assert.ok('album/disc 2/deeper/mono.ild' in rows);
            });

            test('a dropped folder arrives with its tree', { skip: cannot[engine].osDrop }, () => {
                assert.ok('drop/deep/er/second.ild' in rows);
            });

            test('the zip holds each .ogg at its .ild\'s path, decoding as the command line\'s', async () => {
                await browser.evaluate(() => document.getElementById('download-all').click());
                await waitFor('the zip', () => browser.evaluate(() => [...window.blobs.values()].pop()?.type === 'application/zip'), 60_000);
                const names = unzipped(await pageBytes(browser));
                const converted = Object.keys(rows).filter((name) => rows[name][0] === 'converted');
                assert.deepEqual(names.sort(), converted.map((name) => name.replace(/\.ild$/i, '.ogg')).sort());
                for (const name of converted) {
                    assert.ok(decodedPcm(path.join(work, 'unzipped', name.replace(/\.ild$/i, '.ogg'))).equals(pcm[name]), name);
                }
            });

            test('one result downloads alone', async () => {
                const [name, href] = await browser.evaluate(() => {
                    const link = [...document.querySelectorAll('#file-list a')].find((a) => a.download === 'arpeggio.ogg');
                    return [link.download, link.href];
                });
                assert.equal(name, 'arpeggio.ogg');
                writeFileSync(path.join(work, 'one.ogg'), await pageBytes(browser, href));
                assert.ok(decodedPcm(path.join(work, 'one.ogg')).equals(pcm['arpeggio.ild']));
            });

            test('a result plays for as long as its frames last, or the page says it cannot', async () => {
                const played = await browser.evaluate(async () => {
                    const row = [...document.querySelectorAll('#file-list li')].find((li) => li.querySelector('.path').textContent === 'arpeggio.ild');
                    row.querySelector('button')?.click();
                    const audio = row.querySelector('audio');
                    if (!audio) return row.querySelector('.note')?.textContent;
                    await new Promise((resolve) => { audio.onloadedmetadata = audio.onerror = resolve; if (audio.readyState >= 1) resolve(); });
                    return audio.readyState >= 1 ? audio.duration : row.querySelector('.note')?.textContent;
                });
                const [frames, , , rate] = expected['arpeggio.ild'][1].split(' ');
                if (typeof played !== 'number') assert.match(played, /cannot play Ogg Vorbis/);
                else assert.ok(Math.abs(played - frames / rate) < 0.01, `${played} s`);
            });

            test('the page asks for nothing, and the browser blocks a planted request', async () => {
                const requestsBefore = server.requests.length;
                const blocked = await browser.evaluate((target) => new Promise((resolve) => {
                    const violations = [];
                    document.addEventListener('securitypolicyviolation', (event) => {
                        violations.push(event.violatedDirective);
                        if (violations.length === 2) resolve(violations.sort());
                    });
                    fetch(`${target}/planted`).catch(() => {});
                    new Image().src = `${target}/planted.png`;
                }), server.url);
                assert.deepEqual(blocked.map((directive) => directive.split('-')[0]), ['connect', 'img']);
                assert.equal(server.requests.length, requestsBefore);
                if (where === 'served') assert.deepEqual(new Set(server.requests), new Set([`/${path.basename(page)}`]));
            });

            const samePage = where === 'served' && 'the same page as from file://';
            test('every control has a name and a visible focus', { skip: samePage }, async () => {
                const unnamed = await browser.evaluate(() => [...document.querySelectorAll('button, a, progress, audio')].filter((control) =>
                    !(control.getAttribute('aria-label') || control.textContent.trim() || control.labels?.length ||
                      document.getElementById(control.getAttribute('aria-labelledby'))?.textContent.trim())).map((control) => control.outerHTML));
                assert.deepEqual(unnamed, []);
                assert.equal(firstTabStop[0], 'choose-files');
                assert.notEqual(firstTabStop[1], 'none');
            });

            test('no wider than the screen at desktop and phone widths', { skip: samePage }, async () => {
                // WebKitGTK's window is 447 px wide at least.
                for (const width of [1280, 320]) {
                    await browser.resize(width, 900);
                    const [shown, overflow] = await browser.evaluate(() => [innerWidth, document.documentElement.scrollWidth - document.documentElement.clientWidth]);
                    assert.ok(overflow <= 0, `${shown} px: ${overflow} px too wide`);
                }
                await browser.resize(1280, 900);
            });
        });

        test('a page with a damaged program fails each file and says why', async () => {
            const damaged = path.join(work, 'damaged.html');
            writeFileSync(damaged, readFileSync(page, 'utf8').replace(/(id="converter-wasm">)[^<]{1000}/, '$1'));
            await browser.open(pathToFileURL(damaged).href);
            await browser.chooseFiles('#file-input', [sample, path.join(inputs, 'broken block.ild')]);
            await waitFor('the failures', () => browser.evaluate(batchDone), 60_000);
            const states = Object.values(await browser.evaluate(rowsOf));
            assert.deepEqual(states.map(([state]) => state), ['failed', 'failed']);
            assert.ok(states.every(([, detail]) => detail !== ''));
            assert.match(await browser.evaluate(() => document.getElementById('not-started').textContent), /cannot start/);
        });

        test('a worker that failed files converts the next as a fresh instance does', async () => {
            await browser.open(`${origins['file://']}?workers=1`);
            await waitFor('the page to start', () => browser.evaluate(started), 30_000);
            await browser.evaluate(rememberBlobs);
            await browser.chooseFiles('#file-input', Object.keys(oneWorker).map((name) => path.join(inputs, name)));
            await waitFor('the files', () => browser.evaluate((rows) => document.body.dataset.busy === 'false' &&
                document.querySelectorAll('#file-list li').length === rows, Object.keys(oneWorker).length), 120_000);
            const rows = await browser.evaluate(rowsOf);
            assert.deepEqual(Object.values(rows).map(([state]) => state), ['failed', 'failed', 'converted']);
            const href = await browser.evaluate(() => document.querySelector('#file-list a').href);
            assert.deepEqual(withoutSerials(await pageBytes(browser, href)), fresh);
        });

        test('a long batch keeps memory bounded', { skip: engine !== 'chromium' && 'measured in Chromium, whose processes the test can see' }, async () => {
            const copies = path.join(work, 'long');
            mkdirSync(copies);
            for (let i = 0; i < longBatch; ++i) copyFileSync(sample, path.join(copies, `${String(i).padStart(3, '0')}.ild`));
            await browser.open(origins['file://']);
            const memory = [];
            for (let start = 0; start < longBatch; start += 20) {
                const batch = Array.from({ length: 20 }, (_, i) => path.join(copies, `${String(start + i).padStart(3, '0')}.ild`));
                await browser.chooseFiles('#file-input', batch);
                await waitFor('the long batch', () => browser.evaluate(batchDone), 300_000);
                memory.push(browser.memoryKib());
            }
            const states = Object.values(await browser.evaluate(rowsOf)).map(([state]) => state);
            assert.deepEqual(states, Array(longBatch).fill('converted'));
            // From the first 40 files to the last 40 the list gains only .ogg files (about 80 kB
            // each) and whatever the collectors have yet to free.
            console.log(`Chromium after each 20 of ${longBatch} files: ${memory} KiB`);
            assert.ok(Math.min(...memory.slice(-2)) - Math.max(...memory.slice(0, 2)) < 100 * 1024, `${memory}`);
        });
    });
}
