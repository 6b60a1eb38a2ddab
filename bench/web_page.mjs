#!/usr/bin/env node
// A batch of ILD files converted by the single-file web page, opened from file://, in each
// engine, against the native tool run by `xargs -P` on the same cores: each file's seconds
// within the batch, and files per second. Prints a Markdown table of medians over the rounds.
//
// In Chromium it also takes the browser's peak memory (proportional set size, sampled), and
// where the browser saves downloads, the time "Download all" takes to save its zip.
//
// Usage: bench/web_page.mjs PAGE[,PAGE...] NPM_FOLDER NATIVE_TOOL ILDGEN [files [seconds [rounds [engines [workers]]]]]
//        (default 20 files of 30 s of 44.1 kHz music, 3 rounds, chromium,firefox,webkit;
//        NPM_FOLDER is build-wasm/web-npm; seconds "large": files of 128 MiB, the largest;
//        workers: counts to run the page with, such as 1,2,4, each a row, an empty one for the
//        page's own choice, which is the default). Several pages, such as two versions, are
//        named A, B... and take turns in each round, with the native tool, so that the
//        machine's load weighs on all alike.
import { execFileSync } from 'node:child_process';
import { existsSync, mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { cpus, loadavg, tmpdir } from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

import { engines as allEngines, launch, waitFor } from '../tools/browsers.mjs';

const [page, npmFolder, tool, ildgen, files = '20', seconds = '30', rounds = '3', engines = allEngines.join(','), workers = ''] = process.argv.slice(2);
const cores = cpus().length;
const median = (values) => values.sort((a, b) => a - b)[Math.floor(values.length / 2)];

function makeInputs(folder) {
    return Array.from({ length: Number(files) }, (_, index) => {
        const ild = path.join(folder, `${String(index).padStart(2, '0')}.ild`);
        execFileSync(ildgen, seconds === 'large' ? ['large', ild, String(128 << 20)] : ['music', ild, seconds, '44100']);
        return ild;
    });
}

// Each file's seconds in the batch, and the batch's.
function nativeRound(inputs) {
    const started = performance.now();
    execFileSync('xargs', ['-P', String(cores), '-I{}', '/usr/bin/time', '-f', '%e', '-o', '{}.time', tool, '{}', '{}.ogg'],
        { input: inputs.join('\n') });
    const batch = (performance.now() - started) / 1000;
    return [median(inputs.map((ild) => Number(readFileSync(`${ild}.time`, 'utf8')))), batch];
}

// Each row's time from "converting" to "converted", in the page's own clock.
const watchRows = () => {
    window.rowTimes = new Map();
    new MutationObserver(() => {
        for (const row of document.querySelectorAll('#file-list li')) {
            const times = window.rowTimes.get(row) ?? {};
            times[row.dataset.state] ??= performance.now();
            window.rowTimes.set(row, times);
        }
    }).observe(document.getElementById('file-list'), { subtree: true, attributes: true, childList: true });
};
const conversionTimes = () => [...window.rowTimes.values()].map((t) => [t.converted - t.converting, t.converted === undefined]);

async function pageRound(browser, page, inputs, count) {
    await browser.open(`${pathToFileURL(page).href}${count ? `?workers=${count}` : ''}`);
    await waitFor('the page to start', () => browser.evaluate(() => document.getElementById('not-started').hidden), 30_000);
    await browser.evaluate(watchRows);
    const started = performance.now();
    let peak = 0;
    await browser.chooseFiles('#file-input', inputs);
    await waitFor('the batch', () => {
        peak = Math.max(peak, browser.memoryKib?.() ?? 0);
        return browser.evaluate(() => document.body.dataset.busy === 'false');
    }, 3_600_000, 100);
    const batch = (performance.now() - started) / 1000;
    const times = await browser.evaluate(conversionTimes);
    if (times.length !== inputs.length || times.some(([, failed]) => failed)) throw new Error('not every file converted');
    let zipping;
    if (browser.downloads) {
        const zip = path.join(browser.downloads, 'converted.zip');
        rmSync(zip, { force: true });
        const clicked = performance.now();
        await browser.evaluate(() => document.getElementById('download-all').click());
        await waitFor('the zip', () => {
            peak = Math.max(peak, browser.memoryKib?.() ?? 0);
            return existsSync(zip) && !existsSync(`${zip}.crdownload`);
        }, 600_000, 100);
        zipping = (performance.now() - clicked) / 1000;
    }
    return [median(times.map(([ms]) => ms / 1000)), batch, peak, zipping];
}

async function main() {
    const work = mkdtempSync(path.join(tmpdir(), 'web-page-bench-'));
    const inputs = makeInputs(work);
    const load = loadavg()[0];
    const pages = page.split(',');
    const native = `native tool, \`xargs -P ${cores}\``;
    const results = { [native]: [] };
    try {
        for (const engine of engines.split(',')) {
            const browser = await launch(engine, { npmFolder, profile: path.join(work, `profile-${engine}`) });
            try {
                for (let round = 0; round < Number(rounds); ++round) {
                    results[native].push(nativeRound(inputs));
                    for (const [index, each] of pages.entries()) {
                        for (const count of workers.split(',')) {
                            const name = `page${pages.length > 1 ? ` ${String.fromCharCode(65 + index)}` : ''} in ${engine}, ` +
                                (count ? `${count} workers` : 'workers of its own choice');
                            const times = await pageRound(browser, each, inputs, count);
                            (results[name] ??= []).push([...times, await browser.evaluate(() => document.body.dataset.workers)]);
                        }
                    }
                }
            } finally {
                await browser.close();
            }
        }
    } finally {
        rmSync(work, { recursive: true, force: true });
    }
    for (const [index, each] of pages.entries()) if (pages.length > 1) console.log(`page ${String.fromCharCode(65 + index)}: ${each}`);
    console.log(`${files} files of ${seconds} s of 44.1 kHz music, ${cores} cores, medians of ${rounds} rounds; ` +
        `load average ${load.toFixed(2)} before, ${loadavg()[0].toFixed(2)} after\n`);
    console.log('| | per file | batch | batch / native\'s | files/s | audio s/s | peak memory | zip saved in |\n|---|---|---|---|---|---|---|---|');
    const nativeBatch = median(Object.values(results)[0].map(([, b]) => b));
    for (const [name, rows] of Object.entries(results)) {
        const [single, batch] = [median(rows.map(([s]) => s)), median(rows.map(([, b]) => b))];
        const peak = Math.max(...rows.map(([, , kib]) => kib ?? 0));
        const zipping = rows[0][3] === undefined ? '' : `${median(rows.map(([, , , z]) => z)).toFixed(2)} s`;
        const chosen = name.endsWith('its own choice') ? ` (${[...new Set(rows.map((row) => row[4]))].join(', ')})` : '';
        console.log(`| ${name}${chosen} | ${single.toFixed(3)} s | ${batch.toFixed(2)} s | ${(batch / nativeBatch).toFixed(2)} | ${(files / batch).toFixed(2)} | ` +
            `${seconds === 'large' ? '' : (files * seconds / batch).toFixed(1)} | ${peak ? `${(peak / 2 ** 20).toFixed(2)} GiB` : ''} | ${zipping} |`);
    }
}

await main();
