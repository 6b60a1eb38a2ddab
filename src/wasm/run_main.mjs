// Runs a program's main() as a process runs a native program: in a fresh instance of its
// compiled WebAssembly module, whose memory goes with the instance once main has returned.
// It names no file and imports nothing, so that the web page's classic worker carries the
// same code, its `export` taken off.

// A new instance of `program`, { createProgram: emscripten's loader function, wasmModule: its
// compiled WebAssembly.Module }, ready for main, its environment variables `environment`.
// Each line the program writes goes to `stdout(line)` or `stderr(line)`, without its newline.
async function instantiate({ createProgram, wasmModule }, { environment, stdout, stderr }) {
    let instantiationFailed;
    const failure = new Promise((resolve, reject) => { instantiationFailed = reject; });
    return Promise.race([failure, createProgram({
        instantiateWasm(imports, receiveInstance) {
            WebAssembly.instantiate(wasmModule, imports).then(receiveInstance, instantiationFailed);
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

// Runs main(args) in a new instance of `program`; `prepare(instance)` sets up its files
// first. Resolves to main's status and the instance, whose file system holds what main
// left there.
export async function runMain(program, args, { environment = {}, prepare = () => {}, stdout, stderr }) {
    const instance = await instantiate(program, { environment, stdout, stderr });
    prepare(instance);
    return { status: instance.callMain(args), program: instance };
}
