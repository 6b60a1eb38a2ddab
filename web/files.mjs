// Turns what the user dropped or chose into a flat list of { path, file }, where path is the
// file's name below what was chosen ("album/disc 1/track.ild" for a folder "album").

// Chosen with an <input type="file">; a folder input gives each file its path below the folder.
export function filesFromInput(input) {
    return [...input.files].map((file) => ({ path: file.webkitRelativePath || file.name, file }));
}

// Dropped files and folders, subfolders included. The entries must be taken before the first
// await: the browser empties the DataTransfer once the drop handler returns.
export async function filesFromDrop(dataTransfer) {
    const entries = [...dataTransfer.items]
        .filter((item) => item.kind === 'file')
        .map((item) => item.webkitGetAsEntry?.() ?? item.getAsFile());
    const lists = await Promise.all(entries.filter(Boolean).map(filesBelow));
    return lists.flat();
}

// An entry of a dropped tree, or a plain File where the browser offers no entries.
async function filesBelow(entry) {
    if (entry instanceof File) return [{ path: entry.name, file: entry }];
    if (entry.isFile) {
        const file = await new Promise((resolve, reject) => entry.file(resolve, reject));
        return [{ path: entry.fullPath.replace(/^\//, ''), file }];
    }
    const children = await folderEntries(entry);
    return (await Promise.all(children.map(filesBelow))).flat();
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
