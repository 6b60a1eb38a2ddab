// Emscripten's loader reaches Node's own modules through require and __dirname, which an ES
// module does not have. In a browser both stay undefined, and the loader never reads them.
const runsOnNode = typeof process == 'object' && typeof process.versions?.node == 'string';
const require = runsOnNode ? (await import('node:module')).createRequire(import.meta.url) : undefined;
const __dirname = runsOnNode ? require('node:path').dirname(require('node:url').fileURLToPath(import.meta.url)) : undefined;
