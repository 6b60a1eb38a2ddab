// Turns what the user dropped or chose into a flat list of { path, file }, where path is the
// file's name below what was chosen ("album/disc 1/track.ild" for a folder "album").

// Chosen with an <input type="file">; a folder input gives each file its path below the folder.
export function filesFromInput(input) {
    return [...input.files].map((file) => ({ path: file.webkitRelativePath || file.name, file }));
}

// Dropped files and folders, subfolders included. Each item is taken before the first await:
// the browser empties the DataTransfer once the drop handler returns. Chromium reads a
// file:// page's drops only through file system handles, the other engines through entries.
export async function filesFromDrop(dataTransfer) {
    const items = [...dataTransfer.items].filter((item) => item.kind === 'file');
    const dropped = items.map((item) => item.getAsFileSystemHandle?.() ?? item.webkitGetAsEntry?.() ?? item.getAsFile());
    const lists = await Promise.all(dropped.map(async (each) => {
        const item = await each;
        if (item instanceof File) return [{ path: item.name, file: item }];
        return item && ('kind' in item ? filesBelowHandle(item, '') : filesBelowEntry(item));
    }));
    return lists.flat().filter(Boolean);
}

async function filesBelowHandle(handle, folder) {
    const path = folder + handle.name;
    if (handle.kind === 'file') return [{ path, file: await handle.getFile() }];
    const lists = [];
    for await (const child of handle.values()) lists.push(filesBelowHandle(child, `${path}/`));
    return (await Promise.all(lists)).flat();
}

async function filesBelowEntry(entry) {
    if (entry.isFile) {
        const file = await new Promise((resolve, reject) => entry.file(resolve, reject));
        return [{ path: entry.fullPath.replace(/^\//, ''), file }];
    }
    const children = await folderEntries(entry);
    return (await Promise.all(children.map(filesBelowEntry))).flat();
}

// readEntries hands a folder's entries out in pieces, and an empty piece at the end.
async function folderEntries(folder) {
    const reader = folder.createReader();
    const entries = [];
    for (;;) {
        const piece = await new Promise((resolve, reject) => reader.readEntries(resolve, reject));
        if (piece.length === 0) return entries;
        entries.push(...piece);
    }
}
