// Runs a program's main() as a process runs a native program: in a fresh instance of its
// WebAssembly module, whose memory goes with the instance once main has returned. The module
// is compiled once per thread and instantiated for every run.

const runsOnNode = typeof process == 'object' && typeof process.versions?.node == 'string';
const compiled = new Map();  // loader URL -> promise of its compiled WebAssembly module

async function compile(wasmUrl) {
    if (runsOnNode) {
        const { readFile } = await import('node:fs/promises');
        return WebAssembly.compile(await readFile(wasmUrl));
    }
    return WebAssembly.compileStreaming(fetch(wasmUrl));
}

function compiledModule(loaderUrl) {
    if (!compiled.has(loaderUrl.href)) {
        compiled.set(loaderUrl.href, compile(new URL(loaderUrl.href.replace(/\.mjs$/, '.wasm'))));
    }
    return compiled.get(loaderUrl.href);
}

// A new instance of the program that `loaderUrl` names (emscripten's loader, PROGRAM.mjs, its
// module PROGRAM.wasm beside it), ready for main, its environment variables `environment`.
// Each line the program writes goes to `stdout(line)` or `stderr(line)`, without its newline.
async function instantiate(loaderUrl, { environment, stdout, stderr }) {
    const [{ default: createProgram }, wasm] = await Promise.all([import(loaderUrl.href), compiledModule(loaderUrl)]);
    let instantiationFailed;
    const failure = new Promise((resolve, reject) => { instantiationFailed = reject; });
    return Promise.race([failure, createProgram({
        instantiateWasm(imports, receiveInstance) {
            WebAssembly.instantiate(wasm, imports).then(receiveInstance, instantiationFailed);
            return {};
        },
        // Before the program's static constructors, which may read them.
        preRun: ({ ENV }) => Object.assign(ENV, environment),
        print: stdout,
        printErr: stderr,
        // The program's exit ends its instance, never the process or page that runs it.
        quit(status, exitStatus) { throw exitStatus; },
    })]);
}

// Runs main(args) in a new instance of the program; `prepare(program)` sets up its files
// first. Resolves to main's status and the instance, whose file system holds what main
// left there.
export async function runMain(loaderUrl, args, { environment = {}, prepare = () => {}, stdout, stderr }) {
    const program = await instantiate(loaderUrl, { environment, stdout, stderr });
    prepare(program);
    return { status: program.callMain(args), program };
}
