// The web page as a user's browser gets it, in the three engines Debian 12 has: Chromium and
// Firefox ESR through puppeteer-core (over CDP and WebDriver BiDi), WebKitGTK's MiniBrowser
// through WebKitWebDriver (plain W3C WebDriver over HTTP) under Xvfb. Each browser offers
// the same few verbs; what an engine's automation cannot pose is null. Shared by the page's test and its
// benchmarks.
import { spawn } from 'node:child_process';
import { readdirSync, readFileSync } from 'node:fs';
import http from 'node:http';
import { createRequire } from 'node:module';
import { createServer } from 'node:net';
import path from 'node:path';

export const engines = ['chromium', 'firefox', 'webkit'];

// What each engine's automation cannot pose, and why.
export const cannot = {
    chromium: {},
    firefox: {
        folderInput: 'Firefox fills a folder input only through its own picker and a "Confirm Upload" dialog',
        osDrop: 'Firefox takes no drag from outside over automation',
    },
    webkit: {
        folderInput: 'WebKitGTK picks no folder: a folder\'s path arrives as one file named like the folder',
        osDrop: 'WebKitWebDriver takes no drag from outside',
    },
};

// Headless as root, and none of Chromium's own traffic (updates, sync, QUIC probes).
const chromiumFlags = ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'];
const miniBrowser = '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
// Browsers name files in the locale's character set, and the tests' names go beyond ASCII;
// a bare system, with LANG unset, is in the C locale, where such a chosen file never arrives.
const env = { ...process.env, LC_ALL: 'C.UTF-8' };

// CONDITION()'s first true result, asked every INTERVAL ms for TIMEOUT ms at most.
export async function waitFor(what, condition, timeout, interval = 100) {
    const deadline = Date.now() + timeout;
    for (;;) {
        const result = await condition();
        if (result) return result;
        if (Date.now() > deadline) throw new Error(`timed out waiting for ${what}`);
        await new Promise((resolve) => setTimeout(resolve, interval));
    }
}

// FOLDER served on a free port of 127.0.0.1; `requests` lists every path asked for.
export async function served(folder) {
    const requests = [];
    const server = http.createServer((request, response) => {
        const url = new URL(request.url, 'http://127.0.0.1');
        requests.push(url.pathname);
        try {
            const body = readFileSync(path.join(folder, decodeURIComponent(url.pathname)));
            response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' }).end(body);
        } catch {
            response.writeHead(404).end();
        }
    });
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    return { url: `http://127.0.0.1:${server.address().port}`, requests, close: () => server.close() };
}

// Proportional set size of the processes whose command line names PROFILE, so that pages
// they share count once.
function memoryKib(profile) {
    let total = 0;
    for (const pid of readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
        try {
            if (!readFileSync(`/proc/${pid}/cmdline`, 'utf8').includes(profile)) continue;
            total += Number(/^Pss:\s+(\d+)/m.exec(readFileSync(`/proc/${pid}/smaps_rollup`, 'utf8'))?.[1] ?? 0);
        } catch {
            // gone meanwhile
        }
    }
    return total;
}

async function puppeteerBrowser(engine, npmFolder, profile) {
    const puppeteer = createRequire(path.resolve(npmFolder, 'package.json'))('puppeteer-core');
    const browser = await puppeteer.launch(engine === 'chromium'
        ? { browser: 'chrome', executablePath: '/usr/bin/chromium', headless: true, userDataDir: profile, args: chromiumFlags, env }
        : { browser: 'firefox', executablePath: '/usr/bin/firefox-esr', headless: true, args: ['--remote-allow-system-access'], env });
    // Downloads saved without asking, so that no download panel takes the page's focus.
    const downloads = path.join(profile, 'downloads');
    const context = await browser.createBrowserContext({ downloadBehavior: { policy: 'allow', downloadPath: downloads } });
    const page = await context.newPage();
    const chromium = engine === 'chromium';
    return {
        open: (url) => page.goto(url),
        evaluate: (fn, ...args) => page.evaluate(fn, ...args),
        chooseFiles: async (selector, paths) => (await page.$(selector)).uploadFile(...paths),
        pressTab: () => page.keyboard.press('Tab'),
        resize: (width, height) => page.setViewport({ width, height }),
        screenshot: async () => Buffer.from(await page.screenshot({ fullPage: true })),
        // As a person drags them from a file manager, so that a folder arrives with its tree.
        drop: chromium ? async (paths) => {
            const session = await page.createCDPSession();
            const data = { items: [], files: paths, dragOperationsMask: 1 };
            for (const type of ['dragEnter', 'dragOver', 'drop']) await session.send('Input.dispatchDragEvent', { type, x: 600, y: 500, data });
        } : null,
        memoryKib: chromium ? () => memoryKib(profile) : null,
        downloads,
        close: () => browser.close(),
    };
}

async function freePort() {
    const server = createServer();
    await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
    const { port } = server.address();
    await new Promise((resolve) => server.close(resolve));
    return port;
}

// WebKitGTK has no headless mode: its driver starts MiniBrowser on a virtual display.
async function webkitBrowser() {
    const port = await freePort();
    const driver = spawn('xvfb-run', ['-a', '-s', '-screen 0 1600x1200x24', 'WebKitWebDriver', `--port=${port}`],
        { detached: true, stdio: 'ignore', env });
    const call = async (method, route, body) => {
        const response = await fetch(`http://127.0.0.1:${port}${route}`, { method, body: body && JSON.stringify(body) });
        const { value } = await response.json();
        if (!response.ok) throw new Error(`WebKitWebDriver ${route}: ${value.message}`);
        return value;
    };
    const { sessionId } = await waitFor('WebKitWebDriver', () => call('POST', '/session', { capabilities: { alwaysMatch: {
        'webkitgtk:browserOptions': { binary: miniBrowser, args: ['--automation'] } } } }).catch(() => null), 30_000, 250);
    const session = (method, route, body) => call(method, `/session/${sessionId}${route}`, body);
    const element = async (selector) => Object.values(await session('POST', '/element', { using: 'css selector', value: selector }))[0];
    return {
        open: (url) => session('POST', '/url', { url }),
        evaluate: (fn, ...args) => session('POST', '/execute/sync', { script: `return (${fn}).apply(null, arguments)`, args }),
        chooseFiles: async (selector, paths) => session('POST', `/element/${await element(selector)}/value`, { text: paths.join('\n') }),
        pressTab: () => session('POST', '/actions', { actions: [{ type: 'key', id: 'keyboard',
            actions: [{ type: 'keyDown', value: '\uE004' }, { type: 'keyUp', value: '\uE004' }] }] }),
        // The page is laid out anew some time after the window's resize.
        async resize(width, height) {
            const rect = await session('POST', '/window/rect', { width, height });
            await waitFor('the new layout', async () => (await this.evaluate(() => innerWidth)) === rect.width, 10_000);
        },
        screenshot: async () => Buffer.from(await session('GET', '/screenshot'), 'base64'),
        drop: null,
        memoryKib: null,
        downloads: null,
        async close() {
            await session('DELETE', '').catch(() => {});
            process.kill(-driver.pid);
        },
    };
}

// ENGINE's browser; NPMFOLDER holds the node_modules that web/package-lock.json pins, PROFILE
// is a folder of its own for its profile and downloads.
export function launch(engine, { npmFolder, profile }) {
    return engine === 'webkit' ? webkitBrowser() : puppeteerBrowser(engine, npmFolder, profile);
}
