#!/usr/bin/env node
// Builds the web page as one self-contained HTML file from web/: its ES modules bundled into
// one inline module script, its workers' classic script (emscripten's worker loader, then
// web/worker.mjs bundled), the converter's .wasm (gzip, base64), the style sheet and the
// licence texts, all inline, under a Content-Security-Policy that lets the page load nothing.
//
// Usage: build_page.mjs OUTPUT LOADER WASM NAME=VALUE... [--module=NAME=PATH]... [--licence=TITLE=PATH]...
//   LOADER, WASM   the converter linked as a classic worker script (createConverter) and its module
//   NAME=VALUE     replaces @NAME@ in web/index.html (versions)
//   --module       where a bare import specifier ('fflate') is
import { createHash } from 'node:crypto';
import { readFileSync, renameSync, writeFileSync } from 'node:fs';
import path from 'node:path';
import { gzipSync } from 'node:zlib';

const web = new URL('../web/', import.meta.url).pathname;

function parseArguments([output, loader, wasm, ...rest]) {
    const values = {}, modules = {}, licences = [];
    for (const argument of rest) {
        const [, option, name, value] = /^(?:--(module|licence)=)?([^=]+)=(.*)$/.exec(argument) ?? [];
        if (name === undefined) throw new Error(`cannot read the argument ${argument}`);
        if (option === 'module') modules[name] = value;
        else if (option === 'licence') licences.push({ title: name, file: value });
        else values[name] = value;
    }
    return { output, loader, wasm, values, modules, licences };
}

// Our modules import as `import { a, b } from './x.mjs';` and export declarations; each
// module a page needs becomes a function's body that returns what its importers import, so
// no two modules' top-level names meet. An export list (`export { a as b };`) is dropped:
// its names are declared in the module anyway.
const importLine = /^import \{([^}]*)\} from '([^']+)';\n/gm;

function moduleBody(file) {
    const body = readFileSync(file, 'utf8').replace(importLine, '').replace(/^export \{[^}]*\};\n/gm, '')
        .replace(/^export (?=(async )?function|class |const |let |var )/gm, '');
    if (/^(import|export) /m.test(body)) throw new Error(`${file}: an import or export of a form the page's build does not take`);
    return body;
}

function bundle(entry, bareModules) {
    const imported = new Map();  // file -> names imported from it
    const order = [];            // every file after the files it imports
    const visit = (file) => {
        if (order.includes(file)) return;
        for (const [, names, specifier] of readFileSync(file, 'utf8').matchAll(importLine)) {
            const dependency = specifier.startsWith('.') ? path.resolve(path.dirname(file), specifier) : bareModules[specifier];
            if (!dependency) throw new Error(`${file}: no module given for '${specifier}'`);
            if (names.includes(' as ')) throw new Error(`${file}: the page's build takes no renaming import`);
            imported.set(dependency, [...(imported.get(dependency) ?? []), ...names.split(',').map((name) => name.trim())]);
            visit(dependency);
        }
        order.push(file);
    };
    visit(entry);
    const parts = order.slice(0, -1).map((file) => {
        const names = [...new Set(imported.get(file))].join(', ');
        return `// ${path.basename(file)}\nconst { ${names} } = (() => {\n${moduleBody(file)}\nreturn { ${names} };\n})();\n`;
    });
    return parts.join('\n') + `\n// ${path.basename(entry)}\n${moduleBody(entry)}`;
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
    const { output, loader, wasm, values, modules, licences } = parseArguments(process.argv.slice(2));
    const style = readFileSync(path.join(web, 'style.css'), 'utf8');
    const pageScript = inScript('the page', bundle(path.join(web, 'main.mjs'), modules));
    const workerScript = inScript('the worker', `${readFileSync(loader, 'utf8')}\n${bundle(path.join(web, 'worker.mjs'), modules)}`);
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
