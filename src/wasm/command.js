#!/usr/bin/env node
// The converter's command line under Node: the WebAssembly program of the same name, beside
// this file as NAME.mjs and NAME.wasm, run once with this process's arguments, environment,
// files, output streams and exit status, as the native tool runs. Its link reaches this
// machine's files through Node itself (emscripten's NODERAWFS), from this process's folder.
'use strict';

const path = require('node:path');
const { pathToFileURL } = require('node:url');

// Emscripten's paths are POSIX ones. On Windows an absolute path reaches the program as a
// local device path written with slashes (//?/C:/music/a.ild), which emscripten and FFmpeg
// take for an absolute file name and Windows for C:\music\a.ild. A relative one keeps only
// backslashes: emscripten joins it to the working folder (C:\work) with a slash, and a "/.."
// would drop that whole folder.
function programPath(argument) {
    if (process.platform !== 'win32') return argument;
    return path.isAbsolute(argument)
        ? path.toNamespacedPath(path.resolve(argument)).replaceAll('\\', '/')
        : argument.replaceAll('/', '\\');
}

// Where NODERAWFS parts from what the system does with a path or a file. Its numbers are
// emscripten's (EINVAL, ENAMETOOLONG).
function answerAsTheSystem({ FS }) {
    const { open, llseek } = FS;
    // It cuts each piece of a path between slashes to 255 UTF-16 units, and so would open
    // another file: the system takes no name that long.
    FS.open = (file, ...rest) => {
        if (file.split('/').some((piece) => piece.length > 255)) throw new FS.ErrnoError(37);
        return open(file, ...rest);
    };
    // It seeks to the end of an open folder by the folder's size, where Linux's file systems
    // refuse or land past any file's end: the program must find no length there.
    FS.llseek = (stream, offset, whence) => {
        if (whence === 2 && stream.path && FS.isDir(FS.stat(stream.path).mode)) throw new FS.ErrnoError(28);
        return llseek(stream, offset, whence);
    };
}

async function main() {
    const [{ runMain }, { loadProgram }] = await Promise.all([import('./run_main.mjs'), import('./load_program.mjs')]);
    const name = path.join(__dirname, path.basename(__filename, '.js'));
    const program = await loadProgram(pathToFileURL(`${name}.mjs`), pathToFileURL(`${name}.wasm`));
    const { status } = await runMain(program, process.argv.slice(2).map(programPath), {
        environment: process.env,
        prepare: answerAsTheSystem,
        stdout: (line) => process.stdout.write(`${line}\n`),
        stderr: (line) => process.stderr.write(`${line}\n`),
    });
    process.exitCode = status;
}

main().catch((error) => {
    process.stderr.write(`${error.message}\n`);
    process.exitCode = 1;
});
