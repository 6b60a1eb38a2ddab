// Runs conversions in classic workers, one file per worker at a time, first come first
// served. The page compiles the converter once and hands the compiled module to every worker;
// it reads each file itself and hands over its bytes, since a WebKit worker started from a
// file:// page can read no Blob.

const maxWorkers = 8;
// A conversion holds its file decoded in memory: a 128 MiB ILD file needs about 1.1 GB.
const memoryFor = (ildBytes) => 64 * 2 ** 20 + 8 * ildBytes;
// Half of what the browser says the device has; those that do not say get 4 GB assumed.
const memoryBudget = () => ((navigator.deviceMemory ?? 4) * 2 ** 30) / 2;
// A worker that converted a large file goes, and its instance's memory at once with it,
// rather than when the collector gets to it.
const retiredAfter = 512 * 2 ** 20;

// The number of workers: ?workers=N in the page's address, or as many threads as run here at
// once. Browsers may report more processors than the machine has (WebKit reports 4 for any
// machine with fewer than 8 cores), and workers beyond the cores only slow each other, so
// a count above two is checked: one worker runs a fixed loop alone (the faster of two
// runs), then every worker runs it at once, and the count is what the ratio of their times
// says, up to the reported one and no fewer than two. Where other programs keep the cores
// busy the loops run together are slow too, yet a second worker still gains: 10 files of
// 30 s in Chromium at a load average of 8 took 3.4 s in two workers, 4.5 s in one.
export async function workerCount() {
    const asked = Number(new URLSearchParams(location.search).get('workers'));
    if (Number.isInteger(asked) && asked > 0) return Math.min(asked, maxWorkers);
    const reported = Math.max(1, Math.min(navigator.hardwareConcurrency || 2, maxWorkers));
    return reported <= 2 ? reported : threadsAtOnce(reported).catch(() => reported);
}

// A loop of some 25 ms on this machine's cores (2 vCPUs of an AMD EPYC).
const loop = `onmessage = ({ data: count }) => {
    const start = performance.now();
    let x = 1;
    for (let i = 0; i < count; ++i) x = (Math.imul(x, 1103515245) + 12345) | 0;
    postMessage([performance.now() - start, x]);
};`;

async function threadsAtOnce(reported) {
    const url = URL.createObjectURL(new Blob([loop], { type: 'text/javascript' }));
    const threads = Array.from({ length: reported }, () => new Worker(url));
    const run = (thread, count) => new Promise((resolve, reject) => {
        thread.onmessage = ({ data: [ms] }) => resolve(ms);
        thread.onerror = reject;
        thread.postMessage(count);
    });
    const count = 20e6;
    try {
        await Promise.all(threads.map((thread) => run(thread, count / 4)));  // started, the loop compiled
        const alone = Math.min(await run(threads[0], count), await run(threads[0], count));
        const together = Math.max(...await Promise.all(threads.map((thread) => run(thread, count))));
        return Math.max(2, Math.min(reported, Math.round((reported * alone) / together)));
    } finally {
        for (const thread of threads) thread.terminate();
        URL.revokeObjectURL(url);
    }
}

export class ConversionPool {
    #program;      // promise of the compiled WebAssembly.Module
    #workerUrl;
    #size;         // set once workerCount() has said
    #budget = memoryBudget();
    #idle = [];
    #workers = 0;
    #queue = [];   // { file, onStart, resolve, reject, memory }
    #running = new Map();  // worker -> its job
    #memoryInUse = 0;

    constructor(program, workerUrl) {
        this.#program = program;
        this.#workerUrl = workerUrl;
        this.size = workerCount().then((size) => {
            this.#size = size;
            this.#startWorkers();
            this.#dispatch();
            return size;
        });
    }

    // Every worker starts with the page and makes its instance before any file comes: an
    // engine's first instance of the module in a worker is its slowest (WebKitGTK: seconds).
    async #startWorkers() {
        const module = await this.#program.catch(() => null);
        while (module && this.#workers < this.#size) {
            const worker = this.#newWorker();
            worker.postMessage({ module });
            this.#idle.push(worker);
        }
    }

    // Resolves to { ogg: Uint8Array, summary } or rejects with the tool's message, once a
    // worker has converted the file; `onStart` is called when a worker takes it.
    convert(file, onStart = () => {}) {
        return new Promise((resolve, reject) => {
            this.#queue.push({ file, onStart, resolve, reject, memory: memoryFor(file.size) });
            this.#dispatch();
        });
    }

    // Forgets every queued and running conversion; none of their promises settles.
    clear() {
        for (const worker of [...this.#idle, ...this.#running.keys()]) worker.terminate();
        this.#idle = [];
        this.#running.clear();
        this.#queue = [];
        this.#workers = 0;
        this.#memoryInUse = 0;
        if (this.#size !== undefined) this.#startWorkers();
    }

    // The next file starts while a worker is free and its memory fits beside the running
    // ones'; a file too large for the budget runs alone.
    #dispatch() {
        while (this.#queue.length > 0) {
            const job = this.#queue[0];
            if (this.#running.size > 0 && this.#memoryInUse + job.memory > this.#budget) return;
            const worker = this.#idle.pop() ?? this.#newWorker();
            if (!worker) return;
            this.#queue.shift();
            this.#running.set(worker, job);
            this.#memoryInUse += job.memory;
            job.onStart();
            this.#start(worker, job);
        }
    }

    async #start(worker, job) {
        try {
            const [module, ild] = await Promise.all([this.#program, job.file.arrayBuffer()]);
            worker.postMessage({ module, ild }, [ild]);
        } catch (error) {
            this.#finish(worker, { error: error.message }, true);
        }
    }

    #newWorker() {
        if (this.#size === undefined || this.#workers >= this.#size) return null;
        this.#workers++;
        const worker = new Worker(this.#workerUrl);
        worker.onmessage = ({ data }) => this.#finish(worker, data, true);
        // A worker that died (out of memory, say) fails its file and goes; the next file gets
        // a new one.
        worker.onerror = (event) => {
            event.preventDefault();
            this.#finish(worker, { error: event.message || 'The converter stopped' }, false);
        };
        return worker;
    }

    #retire(worker) {
        worker.terminate();
        this.#workers--;
    }

    #finish(worker, { ogg, summary, error }, reusable) {
        const job = this.#running.get(worker);
        if (!job) return;
        this.#running.delete(worker);
        this.#memoryInUse -= job.memory;
        if (reusable && job.memory < retiredAfter) this.#idle.push(worker);
        else this.#retire(worker);
        if (error === undefined) job.resolve({ ogg, summary });
        else job.reject(new Error(error));
        this.#dispatch();
    }
}
