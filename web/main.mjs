// The page: a list of files, each converted in a worker by the API's conversion. Of a
// finished conversion only the Ogg file stays, as a Blob.
import { compileConverter, workerUrl } from './embedded.mjs';
import { filesFromDrop, filesFromInput } from './files.mjs';
import { ConversionPool } from './pool.mjs';
import { zipBlob } from './zip.mjs';

// What sets the oldest browsers the page runs in: gzip's DecompressionStream (Firefox 113,
// Safari 16.4), WebAssembly SIMD (Safari 16.4) and 'wasm-unsafe-eval' in the page's
// Content-Security-Policy (Chromium 97).
const oldest = 'Chrome or Edge 97, Firefox 113 or Safari 16.4';
const needed = ['WebAssembly', 'Worker', 'DecompressionStream'];

let pool;  // started once the browser is known to have what the page needs
const playsVorbis = document.createElement('audio').canPlayType('audio/ogg; codecs="vorbis"') !== '';
const entries = [];  // { path, file, size, state, row, ogg: Blob, url }
const $ = (id) => document.getElementById(id);

const isIld = (path) => /\.ild$/i.test(path);
const oggPath = (path) => path.replace(/\.ild$/i, '.ogg');
const baseName = (path) => path.slice(path.lastIndexOf('/') + 1);

function formatBytes(bytes) {
    if (bytes < 1000) return `${bytes} B`;
    if (bytes < 1e6) return `${(bytes / 1e3).toFixed(1)} kB`;
    return `${(bytes / 1e6).toFixed(1)} MB`;
}

// One row: the path, the state, then the tool's summary line or message, then what to do.
function newRow(path) {
    const row = document.createElement('li');
    row.innerHTML = '<span class="path"></span> <span class="state"></span> <span class="detail"></span> <span class="actions"></span>';
    row.querySelector('.path').textContent = path;
    return row;
}

function setState(entry, state, detail = '') {
    entry.state = state;
    entry.row.dataset.state = state;
    entry.row.querySelector('.state').textContent = state;
    const detailCell = entry.row.querySelector('.detail');
    detailCell.textContent = detail;
    // The sign of life of a file in a worker: a bar whose mark moves by itself, in steps.
    if (state === 'converting') {
        const working = document.createElement('span');
        working.className = 'working';
        working.setAttribute('role', 'progressbar');
        working.setAttribute('aria-label', `Converting ${entry.path}`);
        detailCell.append(working);
    }
    showProgress();
}

// Said instead of a player where the browser cannot play the result (Safari, say), or
// where playing failed (no sound device, say).
function cannotPlay(reason = 'This browser cannot play Ogg Vorbis') {
    const note = document.createElement('span');
    note.className = 'note';
    note.textContent = `${reason}: download it to listen.`;
    return note;
}

// Play and download buttons for a converted file. Its audio player is made when first asked
// for, so that a long list holds no more than the Ogg files themselves.
function playButton(entry) {
    if (!playsVorbis) return cannotPlay();
    const play = document.createElement('button');
    play.type = 'button';
    play.textContent = 'Play';
    play.setAttribute('aria-label', `Play ${oggPath(entry.path)}`);
    play.addEventListener('click', () => {
        const audio = document.createElement('audio');
        audio.controls = true;
        audio.src = entry.url;
        audio.setAttribute('aria-label', oggPath(entry.path));
        audio.addEventListener('error', () => audio.replaceWith(audio.error.code === MediaError.MEDIA_ERR_SRC_NOT_SUPPORTED
            ? cannotPlay() : cannotPlay(`This browser could not play it (${audio.error.message || audio.error.code})`)));
        play.replaceWith(audio);
        audio.play().catch(() => {});  // a browser that refuses to start sound still shows the player
        audio.focus();
    });
    return play;
}

function showActions(entry) {
    const actions = entry.row.querySelector('.actions');
    const play = playButton(entry);
    const download = document.createElement('a');
    download.href = entry.url;
    download.download = baseName(oggPath(entry.path));
    download.textContent = 'Download';
    download.setAttribute('aria-label', `Download ${oggPath(entry.path)}`);
    actions.append(play, download);
}

async function convertEntry(entry) {
    try {
        const { ogg, summary } = await pool.convert(entry.file, () => setState(entry, 'converting'));
        entry.ogg = new Blob([ogg], { type: 'audio/ogg' });
        entry.url = URL.createObjectURL(entry.ogg);
        setState(entry, 'converted', summary);
        showActions(entry);
    } catch (error) {
        setState(entry, 'failed', error.message);
    }
    entry.file = null;
}

function addFiles(files) {
    files.sort((a, b) => a.path.localeCompare(b.path));
    for (const { path, file } of files) {
        const entry = { path, file, size: file.size, row: newRow(path) };
        entries.push(entry);
        $('file-list').append(entry.row);
        if (isIld(path)) {
            setState(entry, 'waiting');
            convertEntry(entry);
        } else {
            setState(entry, 'skipped', 'Not an .ild file');
        }
    }
}

// Files and bytes done of the batch's ILD files; a failed file is done too.
function showProgress() {
    const ild = entries.filter((entry) => entry.state !== 'skipped');
    const done = ild.filter((entry) => entry.state === 'converted' || entry.state === 'failed');
    const size = (list) => list.reduce((sum, entry) => sum + entry.size, 0);
    const count = (state) => entries.filter((entry) => entry.state === state).length;
    const progress = $('batch-progress');
    progress.max = Math.max(1, size(ild));
    progress.value = size(done);
    const parts = [`${done.length} of ${ild.length} files done (${formatBytes(size(done))} of ${formatBytes(size(ild))})`];
    if (count('converting')) parts.push(`${count('converting')} converting`);
    if (count('failed')) parts.push(`${count('failed')} failed`);
    if (count('skipped')) parts.push(`${count('skipped')} skipped`);
    $('batch-status').textContent = entries.length ? `${parts.join(', ')}.` : 'No files yet.';
    $('download-all').disabled = count('converted') === 0;
    $('clear').disabled = entries.length === 0;
    document.body.dataset.busy = String(done.length < ild.length);
}

// Every converted file, at its path with .ogg for .ild, in one zip.
async function downloadAll() {
    const converted = entries.filter((entry) => entry.state === 'converted');
    const zip = await zipBlob(converted.map((entry) => ({ path: oggPath(entry.path), blob: entry.ogg })));
    const link = document.createElement('a');
    link.href = URL.createObjectURL(zip);
    link.download = 'converted.zip';
    link.click();
    setTimeout(() => URL.revokeObjectURL(link.href), 60_000);
}

function clearAll() {
    pool.clear();
    for (const entry of entries) if (entry.url) URL.revokeObjectURL(entry.url);
    entries.length = 0;
    $('file-list').replaceChildren();
    showProgress();
}

// Drops anywhere on the page; the overlay says that the page takes them.
function listenForDrops() {
    const overlay = $('drop-overlay');
    let depth = 0;  // dragenter and dragleave come for every element crossed
    const carriesFiles = (event) => event.dataTransfer?.types.includes('Files');
    document.addEventListener('dragenter', (event) => {
        if (!carriesFiles(event)) return;
        depth++;
        overlay.hidden = false;
    });
    document.addEventListener('dragleave', () => {
        depth = Math.max(0, depth - 1);
        overlay.hidden = depth === 0;
    });
    document.addEventListener('dragover', (event) => {
        if (!carriesFiles(event)) return;
        event.preventDefault();
        event.dataTransfer.dropEffect = 'copy';
    });
    document.addEventListener('drop', async (event) => {
        if (!carriesFiles(event)) return;
        event.preventDefault();
        depth = 0;
        overlay.hidden = true;
        addFiles(await filesFromDrop(event.dataTransfer));
    });
}

function listenForChoices() {
    for (const [button, input] of [['choose-files', 'file-input'], ['choose-folder', 'folder-input']]) {
        $(button).addEventListener('click', () => $(input).click());
        $(input).addEventListener('change', () => {
            addFiles(filesFromInput($(input)));
            $(input).value = '';
        });
    }
    $('download-all').addEventListener('click', downloadAll);
    $('clear').addEventListener('click', clearAll);
}

// The warning that the page has not started stays, with its reason, where the browser lacks
// what the page needs.
function warn(text) {
    $('not-started').textContent = text;
    $('not-started').hidden = false;
}

function start() {
    const missing = needed.filter((name) => !(name in self));
    if (missing.length) return warn(`This browser is too old for the page, which needs ${oldest} or later: it lacks ${missing.join(', ')}.`);
    const program = compileConverter();
    program.catch((error) => warn(`The converter cannot start here (${error.message}). It needs ${oldest} or later.`));
    pool = new ConversionPool(program, workerUrl());
    listenForDrops();
    listenForChoices();
    $('not-started').hidden = true;
    pool.size.then((size) => { document.body.dataset.workers = String(size); });
}

start();
