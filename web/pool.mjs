// Runs conversions in module workers, one file per worker at a time, first come first served.

// As many workers as cores, but each conversion holds its file decoded in memory: past a
// few, more workers cost memory and gain little.
const maxWorkers = 8;

export function workerCount() {
    return Math.max(1, Math.min(navigator.hardwareConcurrency || 2, maxWorkers));
}

export class ConversionPool {
    #size = workerCount();
    #idle = [];
    #workers = 0;
    #queue = [];     // { file, onStart, resolve, reject }
    #running = new Map();  // worker -> its job

    // Resolves to { ogg: Uint8Array, summary } or rejects with the tool's message, once a
    // worker has converted the file; `onStart` is called when a worker takes it.
    convert(file, onStart = () => {}) {
        return new Promise((resolve, reject) => {
            this.#queue.push({ file, onStart, resolve, reject });
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
    }

    #dispatch() {
        while (this.#queue.length > 0) {
            const worker = this.#idle.pop() ?? this.#newWorker();
            if (!worker) return;
            const job = this.#queue.shift();
            this.#running.set(worker, job);
            job.onStart();
            worker.postMessage({ file: job.file });
        }
    }

    #newWorker() {
        if (this.#workers >= this.#size) return null;
        this.#workers++;
        const worker = new Worker(new URL('./worker.mjs', import.meta.url), { type: 'module' });
        worker.onmessage = ({ data }) => this.#finish(worker, data, true);
        // A worker whose modules failed to load is dead: it fails its file and goes, and the
        // next file gets a new one.
        worker.onerror = (event) => {
            event.preventDefault();
            worker.terminate();
            this.#workers--;
            this.#finish(worker, { error: event.message || 'The converter failed to load' }, false);
        };
        return worker;
    }

    #finish(worker, { ogg, summary, error }, reusable) {
        const job = this.#running.get(worker);
        if (!job) return;
        this.#running.delete(worker);
        if (reusable) this.#idle.push(worker);
        if (error === undefined) job.resolve({ ogg, summary });
        else job.reject(new Error(error));
        this.#dispatch();
    }
}
