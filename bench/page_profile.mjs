#!/usr/bin/env node
// Where one conversion's time goes, in each engine's worker and under Node, with the same
// module: making a new instance (instantiation, static constructors, the file system),
// writing the ILD file into it, main() itself, reading the Ogg file out, and in the page
// the round trip to the worker. The page's own worker script runs, with a handler that
// times each step in a new instance put after it; beside it, the round trip of the page's
// own worker, unchanged, and that worker's first file alone (files are run in the order
// given, so this is the first file's). Runs each file RUNS times in each worker, one at a
// time, and prints the medians in ms.
//
// Usage: bench/page_profile.mjs PAGE NPM_FOLDER WASM_BUILD ILDGEN [seconds [runs [engines]]]
//        (WASM_BUILD is build-wasm, whose brindlewood_orvo_audio_api.mjs Node runs; default
//        files of 0.01 s and 1 s, 15 runs, chromium,firefox,webkit)
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { loadavg, tmpdir } from 'node:os';
import path from 'node:path';
import { pathToFileURL } from 'node:url';

import { engines as allEngines, launch, waitFor } from '../tools/browsers.mjs';

const [page, npmFolder, wasmBuild, ildgen, seconds = '0.01,1', runs = '15', engines = allEngines.join(',')] = process.argv.slice(2);
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const steps = ['instance', 'write', 'main', 'read', 'worker', 'round trip', 'page\'s worker', 'its first'];

// One conversion with each step timed, in a worker or in Node: `createProgram` is
// emscripten's loader function, `module` the compiled WebAssembly.Module.
async function timedConversion(createProgram, module, ild) {
    const t = [performance.now()];
    const instance = await createProgram({
        instantiateWasm(imports, receive) {
            WebAssembly.instantiate(module, imports).then(receive);
            return {};
        },
        print() {},
        printErr() {},
        quit(status, exitStatus) { throw exitStatus; },
    });
    t.push(performance.now());
    instance.FS.writeFile('input.ild', ild);
    t.push(performance.now());
    const status = instance.callMain(['input.ild', 'output.ogg']);
    t.push(performance.now());
    const ogg = instance.FS.readFile('output.ogg');
    t.push(performance.now());
    if (status !== 0) throw new Error(`status ${status}`);
    return { times: [t[1] - t[0], t[2] - t[1], t[3] - t[2], t[4] - t[3], t[4] - t[0]], bytes: ogg.length };
}

// In the page: the module compiled as the page compiles it, one worker of the page's own
// script with the timed handler after it, and each file converted RUNS times in a row.
const inPage = async (timed, files, runs) => {
    const base64 = document.getElementById('converter-wasm').textContent.trim();
    const gzipped = Uint8Array.from(atob(base64), (char) => char.charCodeAt(0));
    const wasm = new Blob([gzipped]).stream().pipeThrough(new DecompressionStream('gzip'));
    const module = await WebAssembly.compile(await new Response(wasm).arrayBuffer());
    const handler = `const timedConversion = ${timed};
        self.onmessage = async ({ data: { module, ild } }) => self.postMessage(await timedConversion(createConverter, module, ild));`;
    const script = `${document.getElementById('worker-script').textContent}\n${handler}`;
    const worker = new Worker(URL.createObjectURL(new Blob([script], { type: 'text/javascript' })));
    const pagesWorker = new Worker(URL.createObjectURL(new Blob([document.getElementById('worker-script').textContent])));
    const roundTrip = async (to, ild) => {
        const sent = performance.now();
        const reply = await new Promise((resolve) => {
            to.onmessage = ({ data }) => resolve(data);
            to.postMessage({ module, ild: ild.slice() });
        });
        return [reply, performance.now() - sent];
    };
    const results = [];
    for (const base64File of files) {
        const ild = Uint8Array.from(atob(base64File), (char) => char.charCodeAt(0));
        const rows = [];
        for (let run = 0; run < runs; ++run) {
            const [reply, ms] = await roundTrip(worker, ild);
            const [, pages] = await roundTrip(pagesWorker, ild);
            rows.push([...reply.times, ms, pages]);
        }
        results.push(rows);
    }
    worker.terminate();
    pagesWorker.terminate();
    return results;
};

async function inNode(files) {
    const { default: createProgram } = await import(pathToFileURL(path.resolve(wasmBuild, 'brindlewood_orvo_audio_api.mjs')));
    const module = await WebAssembly.compile(readFileSync(path.join(wasmBuild, 'brindlewood_orvo_audio.wasm')));
    const results = [];
    for (const ild of files) {
        const rows = [];
        for (let run = 0; run < Number(runs); ++run) rows.push((await timedConversion(createProgram, module, ild)).times);
        results.push(rows);
    }
    return results;
}

function print(name, fileNames, results) {
    for (const [index, rows] of results.entries()) {
        const cells = steps.map((_, step) => (rows[0][step] === undefined ? '' : median(rows.map((row) => row[step])).toFixed(1)));
        if (rows[0][6] !== undefined) cells[7] = rows[0][6].toFixed(1);
        console.log(`| ${name} | ${fileNames[index]} | ${cells.join(' | ')} |`);
    }
}

async function main() {
    const work = mkdtempSync(path.join(tmpdir(), 'page-profile-'));
    try {
        const names = seconds.split(',').map((s) => `${s} s`);
        const files = seconds.split(',').map((s, index) => {
            const ild = path.join(work, `${index}.ild`);
            execFileSync(ildgen, ['music', ild, s, '44100']);
            return readFileSync(ild);
        });
        const load = loadavg()[0];
        console.log(`| where | file | ${steps.join(' | ')} |\n|---|---|${'---|'.repeat(steps.length)}`);
        print('Node', names, await inNode(files));
        for (const engine of engines.split(',')) {
            const browser = await launch(engine, { npmFolder, profile: path.join(work, `profile-${engine}`) });
            try {
                await browser.open(pathToFileURL(path.resolve(page)).href);
                await waitFor('the page to start', () => browser.evaluate(() => document.getElementById('not-started').hidden), 30_000);
                print(engine, names, await browser.evaluate(inPage, timedConversion.toString(),
                    files.map((file) => file.toString('base64')), Number(runs)));
            } finally {
                await browser.close();
            }
        }
        console.log(`\nmedians of ${runs} runs in one worker, ms; load average ${load.toFixed(2)} before, ${loadavg()[0].toFixed(2)} after`);
    } finally {
        rmSync(work, { recursive: true, force: true });
    }
}

await main();
