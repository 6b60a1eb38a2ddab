#!/usr/bin/env node
// Builds the web page as one self-contained HTML file from web/: its ES modules bundled by
// esbuild into one inline module script, its workers' classic script (emscripten's worker
// loader, then web/worker.mjs bundled), the converter's .wasm (gzip, base64), the style sheet
// and the licence texts, all inline, under a Content-Security-Policy that lets the page load
// nothing.
//
// Usage: build_page.mjs OUTPUT LOADER WASM NODE_MODULES NAME=VALUE... [--licence=TITLE=PATH]...
//   LOADER, WASM   the converter linked as a classic worker script (createConverter) and its module
//   NODE_MODULES   where the page's imports from npm ('fflate') are
//   NAME=VALUE     replaces @NAME@ in web/index.html (versions)
//   ESBUILD        in the environment: the esbuild to run (default: esbuild on PATH)
import { execFileSync } from 'node:child_process';
import { createHash } from 'node:crypto';
import { mkdtempSync, readFileSync, renameSync, rmSync, symlinkSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { gzipSync } from 'node:zlib';

const source = new URL('../', import.meta.url).pathname;
const web = path.join(source, 'web');

function parseArguments([output, loader, wasm, nodeModules, ...rest]) {
    const values = {}, licences = [];
    for (const argument of rest) {
        const [, licence, name, value] = /^(--licence=)?([^=]+)=(.*)$/.exec(argument) ?? [];
        if (name === undefined) throw new Error(`cannot read the argument ${argument}`);
        if (licence) licences.push({ title: name, file: value });
        else values[name] = value;
    }
    return { output, loader, wasm, nodeModules, values, licences };
}

// esbuild names each module in a comment by its path from its working folder, so it works in
// a folder of links to web/, src/ and node_modules/ and keeps the links' paths: the names are
// the same wherever the source and the build are. Text beyond ASCII stays as it is written,
// and a licence comment where it is.
const esbuildOptions = ['--bundle', '--preserve-symlinks', '--charset=utf8', '--legal-comments=inline', '--log-level=warning'];

// The page's module script and the workers' classic script.
function bundleScripts(loader, nodeModules) {
    const root = mkdtempSync(path.join(tmpdir(), 'page-modules-'));
    try {
        for (const [name, target] of [['web', web], ['src', path.join(source, 'src')], ['node_modules', nodeModules]]) {
            symlinkSync(path.resolve(target), path.join(root, name));
        }
        const bundle = (entry, format) => execFileSync(process.env.ESBUILD || 'esbuild', [entry, `--format=${format}`, ...esbuildOptions],
            { cwd: root, encoding: 'utf8', maxBuffer: 1 << 26 });
        return {
            pageScript: inScript('the page', bundle('web/main.mjs', 'esm')),
            workerScript: inScript('the worker', `${readFileSync(loader, 'utf8')}\n${bundle('web/worker.mjs', 'iife')}`),
        };
    } finally {
        rmSync(root, { recursive: true });
    }
}

const escapeHtml = (text) => text.replace(/&/g, '&amp;').replace(/</g, '&lt;').replace(/>/g, '&gt;');
const sha256 = (text) => `'sha256-${createHash('sha256').update(text).digest('base64')}'`;

// A script element's text ends at "</script" and goes odd at "<!--".
function inScript(name, text) {
    if (/<\/script|<!--/i.test(text)) throw new Error(`${name} holds "</script" or "<!--", which HTML would not leave as they are`);
    return text;
}

function licencesHtml(licences) {
    return licences.map(({ title, file }) =>
        `<details><summary>${escapeHtml(title)}</summary><pre>${escapeHtml(readFileSync(file, 'utf8'))}</pre></details>`).join('\n');
}

function main() {
    const { output, loader, wasm, nodeModules, values, licences } = parseArguments(process.argv.slice(2));
    const style = readFileSync(path.join(web, 'style.css'), 'utf8');
    const { pageScript, workerScript } = bundleScripts(loader, nodeModules);
    // Blob URLs for the workers and the results, data: for the icon; nothing else at all.
    const policy = [`default-src 'none'`, `script-src ${sha256(pageScript)} 'wasm-unsafe-eval'`, `worker-src blob:`,
        `style-src ${sha256(style)}`, `img-src data:`, `media-src blob:`].join('; ');
    const inserted = {
        ...values,
        CONTENT_SECURITY_POLICY: policy,
        STYLE: style,
        LICENCES: licencesHtml(licences),
        WORKER_SCRIPT: workerScript,
        CONVERTER_WASM: gzipSync(readFileSync(wasm), { level: 9 }).toString('base64'),
        PAGE_SCRIPT: pageScript,
    };
    const page = readFileSync(path.join(web, 'index.html'), 'utf8').replace(/@([A-Z_]+)@/g, (match, name) => {
        if (!(name in inserted)) throw new Error(`web/index.html: nothing given for ${match}`);
        return inserted[name];
    });
    writeFileSync(`${output}.partial`, page);
    renameSync(`${output}.partial`, output);
}

main();
