#!/usr/bin/env node
// The converter's command line under Node: the WebAssembly program of the same name, beside
// this file as NAME.mjs and NAME.wasm, run once with this process's arguments, environment,
// files, output streams and exit status, as the native tool runs.
'use strict';
const fs = require('node:fs');
const path = require('node:path');
const { pathToFileURL } = require('node:url');

const onWindows = process.platform === 'win32';

// The folders at the root of this machine, each a drive on Windows.
function hostRoots() {
    if (onWindows) {
        return [...'ABCDEFGHIJKLMNOPQRSTUVWXYZ'].map((drive) => `${drive}:\\`).filter((root) => fs.existsSync(root));
    }
    return fs.readdirSync('/').map((name) => `/${name}`).filter((folder) => {
        try {
            return fs.statSync(folder).isDirectory();
        } catch {
            return false;  // a link to nowhere
        }
    });
}

// Where the program sees a path of this machine: at the same place, on Windows below /C:.
function programPath(hostPath) {
    if (!onWindows) return hostPath;
    const { root } = path.win32.parse(hostPath);
    const rest = hostPath.slice(root.length).replaceAll('\\', '/');
    return /^[A-Za-z]:\\$/.test(root) ? `/${root[0].toUpperCase()}:/${rest}` : rest;
}

// Mounts this machine's folders where the program looks for them, so that its paths, relative
// or absolute, name the same files as for the native tool.
function mountHostFiles({ FS, NODEFS }) {
    // Emscripten answers a link's text relative to the mount's root; the program needs it as it is.
    const readlink = NODEFS.node_ops.readlink;
    NODEFS.node_ops.readlink = (node) => {
        readlink(node);
        return programPath(fs.readlinkSync(NODEFS.realPath(node)));
    };
    // Emscripten knows only its own devices; this machine's (/dev/null, /dev/urandom, a
    // terminal) are read and written through Node like files, which is what the system does.
    const getMode = NODEFS.getMode;
    NODEFS.getMode = (hostPath) => {
        const mode = getMode(hostPath);
        return FS.isChrdev(mode) || FS.isBlkdev(mode) ? (mode & 0o7777) | 0o100000 : mode;
    };
    // O_TRUNC empties only a regular file, but emscripten truncates whatever it opened, and a
    // device refuses that.
    const setattr = NODEFS.node_ops.setattr;
    NODEFS.node_ops.setattr = (node, attr) => {
        const regular = fs.statSync(NODEFS.realPath(node)).isFile();
        setattr(node, regular ? attr : { ...attr, size: undefined });
    };
    for (const root of hostRoots()) {
        const at = programPath(root).replace(/\/$/, '');
        if (!FS.analyzePath(at).exists) FS.mkdir(at);
        FS.mount(NODEFS, { root }, at);
    }
    // An output named at the root would otherwise stay in the module's memory and vanish.
    FS.chmod('/', 0o555);
    FS.chdir(programPath(process.cwd()));
}

async function main() {
    const [{ runMain }, { loadProgram }] = await Promise.all([import('./run_main.mjs'), import('./load_program.mjs')]);
    const program = await loadProgram(pathToFileURL(path.join(__dirname, `${path.basename(__filename, '.js')}.mjs`)));
    const args = process.argv.slice(2).map((arg) => (path.isAbsolute(arg) ? programPath(arg) : arg.replaceAll(path.sep, '/')));
    const { status } = await runMain(program, args, {
        environment: process.env,
        prepare: mountHostFiles,
        stdout: (line) => process.stdout.write(`${line}\n`),
        stderr: (line) => process.stderr.write(`${line}\n`),
    });
    process.exitCode = status;
}

main().catch((error) => {
    process.stderr.write(`${error.message}\n`);
    process.exitCode = 1;
});
