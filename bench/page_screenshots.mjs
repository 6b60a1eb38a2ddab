#!/usr/bin/env node
// Screenshots of the single-file web page, for people to look at: opened from file:// in each
// engine, with a converted, a failed and a skipped file in its list, at desktop and phone
// widths. Writes OUTPUT/ENGINE-WIDTH.png, WIDTH as the engine laid the page out (WebKitGTK's
// window is 447 px wide at least).
//
// Usage: bench/page_screenshots.mjs PAGE NPM_FOLDER OUTPUT [engines]
//        (NPM_FOLDER is build-wasm/web-npm; engines default chromium,firefox,webkit)
import { copyFileSync, mkdirSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

import { engines as allEngines, launch, waitFor } from '../tools/browsers.mjs';

const [page, npmFolder, output, engines = allEngines.join(',')] = process.argv.slice(2);
const source = new URL('../', import.meta.url).pathname;

function writeInputs(folder) {
    copyFileSync(path.join(source, 'examples/arpeggio.ild'), path.join(folder, 'arpeggio.ild'));
    copyFileSync(path.join(source, 'fuzz/seeds/bad_block.ild'), path.join(folder, 'broken block.ild'));
    writeFileSync(path.join(folder, 'notes.txt'), 'Not an .ild file.\n');
    return ['arpeggio.ild', 'broken block.ild', 'notes.txt'].map((name) => path.join(folder, name));
}

async function main() {
    const work = mkdtempSync(path.join(tmpdir(), 'page-screenshots-'));
    mkdirSync(output, { recursive: true });
    try {
        const inputs = writeInputs(work);
        for (const engine of engines.split(',')) {
            const browser = await launch(engine, { npmFolder, profile: path.join(work, `profile-${engine}`) });
            try {
                await browser.open(pathToFileURL(path.resolve(page)).href);
                await waitFor('the page to start', () => browser.evaluate(() => document.getElementById('not-started').hidden), 30_000);
                await browser.chooseFiles('#file-input', inputs);
                await waitFor('the files', () => browser.evaluate(() => document.body.dataset.busy === 'false'), 60_000);
                for (const width of [1280, 320]) {
                    await browser.resize(width, 900);
                    const file = path.join(output, `${engine}-${await browser.evaluate(() => innerWidth)}.png`);
                    writeFileSync(file, await browser.screenshot());
                    console.log(file);
                }
            } finally {
                await browser.close();
            }
        }
    } finally {
        rmSync(work, { recursive: true, force: true });
    }
}

await main();
