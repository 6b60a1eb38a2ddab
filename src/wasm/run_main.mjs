// Runs a program's main() as a process runs a native program: in an instance of its compiled
// WebAssembly module that holds nothing from an earlier run, whose memory goes with the
// instance once main has returned. It names no file and imports nothing, so that the web
// page's classic worker carries the same code, its `export` taken off.

// A new instance of `program`, { createProgram: emscripten's loader function, wasmModule: its
// compiled WebAssembly.Module, instantiate?: (imports) => promise of a WebAssembly.Instance },
// ready for main, its environment variables `environment`. Each line the program writes goes
// to `stdout(line)` or `stderr(line)`, without its newline.
async function instantiate({ createProgram, wasmModule, instantiate: make }, { environment, stdout, stderr }) {
    let instantiationFailed;
    const failure = new Promise((resolve, reject) => { instantiationFailed = reject; });
    return Promise.race([failure, createProgram({
        instantiateWasm(imports, receiveInstance) {
            (make ? make(imports) : WebAssembly.instantiate(wasmModule, imports)).then(receiveInstance, instantiationFailed);
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

// `program` with one WebAssembly instance for all its runs, one run at a time, set back
// before each to what a new instance holds: its memory as instantiated and zero above, its
// stack pointer at the top. Each run gets emscripten's runtime anew (files, streams, exit),
// and the instance's imports call the latest. So an engine that tiers code up by what one
// instance has run (V8) runs a batch of short files in its optimised code, and no run pays
// for a new instance. The memory never shrinks.
export function reusingOneInstance(program) {
    let instance, image, memory, runtime, stackTop;
    let imports = {};  // the latest runtime's
    let turn = Promise.resolve();
    const make = async (latest) => {
        // Without a runtime that got as far as main(), a new instance.
        if (instance && runtime) {
            // Nothing above the program's break has been written since it was zero.
            const bytes = new Uint8Array(memory.buffer);
            bytes.fill(0, image.length, runtime._sbrk(0));
            bytes.set(image);
            runtime.stackRestore(stackTop);
        } else {
            const forwarded = {};
            for (const [space, entries] of Object.entries(latest)) {
                forwarded[space] = {};
                for (const [name, entry] of Object.entries(entries)) {
                    if (typeof entry != 'function') throw new TypeError(`the program imports ${space}.${name}, which is not a function`);
                    forwarded[space][name] = (...args) => imports[space][name](...args);
                }
            }
            instance = await WebAssembly.instantiate(program.wasmModule, forwarded);
            memory = Object.values(instance.exports).find((entry) => entry instanceof WebAssembly.Memory);
            const bytes = new Uint8Array(memory.buffer);
            let end = bytes.length;
            while (end > 0 && bytes[end - 1] === 0) --end;
            image = bytes.slice(0, end);
        }
        imports = latest;
        return instance;
    };
    return {
        ...program,
        instantiate: make,
        // Runs `run(program)` once the previous run has settled: a run holds the instance
        // from its start to its last read of the memory.
        exclusively(run) {
            const result = turn.then(() => run(this));
            turn = result.catch(() => {});
            return result;
        },
        // The runtime that ran last, which reaches the instance's exports.
        ranIn(latest) {
            runtime = latest;
            stackTop ??= latest.stackSave();
        },
    };
}

// Runs main(args) in an instance of `program` that holds nothing from an earlier run;
// `prepare(instance)` sets up its files first. Resolves to main's status and the instance,
// whose file system holds what main left there.
export async function runMain(program, args, { environment = {}, prepare = () => {}, stdout, stderr }) {
    const instance = await instantiate(program, { environment, stdout, stderr });
    program.ranIn?.(instance);
    prepare(instance);
    return { status: instance.callMain(args), program: instance };
}
