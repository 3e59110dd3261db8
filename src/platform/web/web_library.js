// The player's own game library, chosen in the page as a folder (with its
// sub-folders) or as a .zip file. The chosen files are kept in the
// browser's IndexedDB (the folder /chosen), so the page finds them again
// after a reload; the program then runs on the program folder /library: the
// chosen files over the bundled interface pictures and settings. The saves
// made in /library are mirrored into /chosen as those of the bundled games
// are into /saves (yarrowind_web.js).

// File system helpers shared with yarrowind_web.js.
function ywIsFile(path) {
  const found = FS.analyzePath(path);
  return found.exists && FS.isFile(found.object.mode);
}
function ywMakeFolders(path) {
  const parts = path.split('/').slice(1, -1);
  let at = '';
  for (const p of parts) {
    at += '/' + p;
    if (!FS.analyzePath(at).exists) FS.mkdir(at);
  }
}
function ywEntries(folder) {
  return FS.readdir(folder).filter(function (name) {
    return name !== '.' && name !== '..';
  });
}
// Copies the files below `from` to `to`, except those `skip` says no to.
function ywCopyTree(from, to, skip) {
  for (const name of ywEntries(from)) {
    const src = from + '/' + name;
    const dst = to + '/' + name;
    if (skip && skip(src)) continue;
    if (FS.isDir(FS.stat(src).mode)) {
      ywCopyTree(src, dst, skip);
    } else {
      ywMakeFolders(dst);
      FS.writeFile(dst, FS.readFile(src));
    }
  }
}
function ywRemoveTree(path) {
  if (!FS.isDir(FS.stat(path).mode)) return FS.unlink(path);
  for (const name of ywEntries(path)) ywRemoveTree(path + '/' + name);
  FS.rmdir(path);
}
// The files below a folder, as full paths.
function ywFilesBelow(folder) {
  const files = [];
  for (const name of ywEntries(folder)) {
    const path = folder + '/' + name;
    if (FS.isDir(FS.stat(path).mode)) files.push(...ywFilesBelow(path));
    else files.push(path);
  }
  return files;
}

Module.ywLibrary = (function () {
  'use strict';
  const kChosen = '/chosen';
  const kLibrary = '/library';
  const kMarker = kChosen + '/.yarrowind-library';  // the library's name
  // What a chosen library may hold, unpacked: the files are kept in memory
  // twice (as chosen and as played) besides IndexedDB.
  const kMaxBytes = 256 * 1024 * 1024;
  const kMaxFiles = 20000;
  const kSave = /\.sav$/i;

  function problem(text) {
    const e = new Error(text);
    e.forPlayer = true;
    return e;
  }
  function megabytes(n) {
    return Math.ceil(n / 1048576) + ' MB';
  }

  // A path inside the library with '/' between its parts (a zip made on
  // Windows may use backslashes); null when it would leave the library.
  function cleanPath(name) {
    const parts = [];
    for (const p of name.replace(/\\/g, '/').split('/')) {
      if (p === '..') return null;
      if (p !== '' && p !== '.') parts.push(p);
    }
    return parts.length > 0 ? parts.join('/') : null;
  }

  // ---- Zip files: the central directory lists the files; each is unpacked
  // (stored or deflated) when read, never beyond the size listed for it.
  const le16 = (b, at) => b[at] | (b[at + 1] << 8);
  const le32 = (b, at) => (le16(b, at) | (le16(b, at + 2) << 16)) >>> 0;

  let crcTable = null;
  function crc32(bytes) {
    if (!crcTable) {
      crcTable = new Uint32Array(256);
      for (let n = 0; n < 256; ++n) {
        let c = n;
        for (let k = 0; k < 8; ++k) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
        crcTable[n] = c >>> 0;
      }
    }
    let c = 0xffffffff;
    for (let i = 0; i < bytes.length; ++i) c = crcTable[(c ^ bytes[i]) & 0xff] ^ (c >>> 8);
    return (c ^ 0xffffffff) >>> 0;
  }

  async function unpackChecked(b, local, method, packed, size, crc, damaged) {
    const out = await unpack(b, local, method, packed, size, damaged);
    if (crc32(out) !== crc) throw damaged;
    return out;
  }

  async function unpack(b, local, method, packed, size, damaged) {
    if (local + 30 > b.length || le32(b, local) !== 0x04034b50) throw damaged;
    const start = local + 30 + le16(b, local + 26) + le16(b, local + 28);
    if (start + packed > b.length) throw damaged;
    const data = b.subarray(start, start + packed);
    if (method === 0) {
      if (packed !== size) throw damaged;
      return data.slice();
    }
    const out = new Uint8Array(size);
    let got = 0;
    const reader =
        new Blob([data]).stream().pipeThrough(new DecompressionStream('deflate-raw')).getReader();
    try {
      for (;;) {
        const {done, value} = await reader.read();
        if (done) break;
        if (got + value.length > size) throw damaged;
        out.set(value, got);
        got += value.length;
      }
    } catch (e) {
      reader.cancel().catch(function () {});
      throw damaged;
    }
    if (got !== size) throw damaged;
    return out;
  }

  async function zipEntries(file) {
    if (file.size > kMaxBytes)
      throw problem(`${file.name} is too large (${megabytes(file.size)}; at most ${megabytes(kMaxBytes)}).`);
    const b = new Uint8Array(await file.arrayBuffer());
    const broken = problem(`${file.name} is not a zip file, or it is damaged.`);
    // The end record is the last PK 5 6 signature, within a comment's
    // largest length of the end.
    let end = -1;
    for (let at = b.length - 22; at >= 0 && at >= b.length - 22 - 65535; --at) {
      if (le32(b, at) === 0x06054b50) {
        end = at;
        break;
      }
    }
    if (end < 0) throw broken;
    const count = le16(b, end + 10);
    let at = le32(b, end + 16);
    const names = new TextDecoder('utf-8');
    const entries = [];
    for (let i = 0; i < count; ++i) {
      if (at + 46 > b.length || le32(b, at) !== 0x02014b50) throw broken;
      const flags = le16(b, at + 8), method = le16(b, at + 10), crc = le32(b, at + 16);
      const packed = le32(b, at + 20), size = le32(b, at + 24);
      const nameLength = le16(b, at + 28), local = le32(b, at + 42);
      if (at + 46 + nameLength > b.length) throw broken;
      const name = names.decode(b.subarray(at + 46, at + 46 + nameLength));
      at += 46 + nameLength + le16(b, at + 30) + le16(b, at + 32);
      if (/[\\/]$/.test(name)) continue;  // a folder
      if (flags & 1) throw problem(`${file.name} is locked with a password.`);
      if (method !== 0 && method !== 8)
        throw problem(`${file.name} is packed in a way the page cannot unpack (method ${method}).`);
      const damaged = problem(`${file.name} is damaged: ${name} cannot be unpacked.`);
      entries.push({name: name, size: size,
                    read: () => unpackChecked(b, local, method, packed, size, crc, damaged)});
    }
    return entries;
  }

  function folderEntries(files) {
    return Array.from(files, function (f) {
      return {name: f.webkitRelativePath || f.name, size: f.size,
              read: async () => new Uint8Array(await f.arrayBuffer())};
    });
  }

  // ---- Where each chosen file goes in the program folder. A chosen
  // program folder (one whose games folder holds a game) keeps its layout,
  // its own interface pictures and settings included; otherwise every game
  // found (a folder with an autoexec.skr) becomes a folder of games/. A
  // game at the top of a zip file is named after the file.
  function arrange(entries, libraryName) {
    const dirOf = (p) => p.slice(0, Math.max(0, p.lastIndexOf('/')));
    const baseOf = (p) => p.slice(p.lastIndexOf('/') + 1);
    const depth = (p) => (p === '' ? 0 : p.split('/').length);
    const under = (p, dir) => dir === '' || p.startsWith(dir + '/');
    const below = (p, dir) => (dir === '' ? p : p.slice(dir.length + 1));
    const files = [];
    for (const entry of entries) {
      const path = cleanPath(entry.name);
      if (path) files.push({path: path, entry: entry});
    }
    const games = files.filter((f) => baseOf(f.path).toLowerCase() === 'autoexec.skr')
                      .map((f) => dirOf(f.path))
                      .sort((x, y) => depth(x) - depth(y) || (x < y ? -1 : x > y ? 1 : 0));
    const inGames = games.find((g) => g !== '' && baseOf(dirOf(g)).toLowerCase() === 'games');
    if (inGames !== undefined) {
      const root = dirOf(dirOf(inGames));
      return files.filter((f) => under(f.path, root))
          .map((f) => ({path: below(f.path, root), entry: f.entry}));
    }
    const placed = [];
    const taken = new Set();
    const done = new Set();
    for (const g of games) {
      const name = g === '' ? libraryName : baseOf(g);
      if (taken.has(name.toLowerCase())) continue;
      taken.add(name.toLowerCase());
      for (const f of files) {
        if (done.has(f) || !under(f.path, g)) continue;
        done.add(f);
        placed.push({path: 'games/' + name + '/' + below(f.path, g), entry: f.entry});
      }
    }
    return placed;
  }

  function syncStorage() {
    return new Promise(function (resolve, reject) {
      FS.syncfs(false, function (err) {
        if (err) reject(problem('The library could not be kept in the browser\'s storage.'));
        else resolve();
      });
    });
  }

  // Replaces the chosen library by `files` (none: the bundled games again).
  // The saved games found in /chosen stay, so a library chosen again finds
  // its saves; everything is read before anything is replaced.
  async function replace(files, name) {
    const contents = [];
    for (const f of files) contents.push(await f.entry.read());
    const saves = ywFilesBelow(kChosen).filter((p) => kSave.test(p))
                      .map((p) => ({path: p, bytes: FS.readFile(p)}));
    for (const name of ywEntries(kChosen)) ywRemoveTree(kChosen + '/' + name);
    files.forEach(function (f, i) {
      ywMakeFolders(kChosen + '/' + f.path);
      FS.writeFile(kChosen + '/' + f.path, contents[i]);
    });
    for (const s of saves) {
      if (ywIsFile(s.path)) continue;
      ywMakeFolders(s.path);
      FS.writeFile(s.path, s.bytes);
    }
    if (name !== null) FS.writeFile(kMarker, name);
    await syncStorage();
  }

  async function choose(entries, name) {
    const files = arrange(entries, name.replace(/\.zip$/i, ''));
    if (files.length === 0)
      throw problem(`No game was found in ${name}: a game is a folder with an autoexec.skr file.`);
    const bytes = files.reduce((sum, f) => sum + f.entry.size, 0);
    if (bytes > kMaxBytes || files.length > kMaxFiles)
      throw problem(`${name} is too large (${files.length} files, ${megabytes(bytes)}; at most ` +
                    `${kMaxFiles} files, ${megabytes(kMaxBytes)}).`);
    await replace(files, name);
  }

  const lib = {};
  // The chosen library's name, or null when the bundled games are played.
  lib.chosenName = function () {
    return ywIsFile(kMarker) ? FS.readFile(kMarker, {encoding: 'utf8'}) : null;
  };
  // Before the program starts: the IndexedDB folder of the chosen library.
  lib.mount = function () {
    FS.mkdir(kChosen);
    FS.mount(IDBFS, {}, kChosen);
  };
  // Once the storage is read: the program folder to run on (/data, the
  // bundled one, or /library made from the chosen library over it).
  lib.programFolder = function (bundled) {
    if (lib.chosenName() === null) return bundled;
    const own = new Set(ywEntries(kChosen).map((n) => n.toLowerCase()));
    FS.mkdir(kLibrary);
    for (const name of ywEntries(bundled)) {
      const path = bundled + '/' + name;
      if (FS.isFile(FS.stat(path).mode) && !own.has(name.toLowerCase()))
        FS.writeFile(kLibrary + '/' + name, FS.readFile(path));
    }
    ywCopyTree(kChosen, kLibrary, (p) => p === kMarker);
    return kLibrary;
  };
  lib.mirrors = [[kLibrary, kChosen]];

  // The page's controls: choose a folder, open a zip file, go back to the
  // bundled games. Each ends in a reload that starts the program on the
  // new library, or in a message saying what was wrong.
  lib.bind = function (showMessage) {
    const name = lib.chosenName();
    document.getElementById('library-name').textContent = name === null ? 'bundled' : name;
    const run = async function (step) {
      // The game's keys must not press the control again.
      if (document.activeElement) document.activeElement.blur();
      try {
        showMessage('Reading the library...', false);
        await step();
        window.location.reload();
      } catch (e) {
        showMessage(e.forPlayer ? e.message : 'The library could not be read: ' + e, true);
      }
    };
    const folder = document.getElementById('choose-folder');
    const zip = document.getElementById('choose-zip');
    folder.addEventListener('change', function () {
      const files = folder.files;
      const top = files.length > 0 ? files[0].webkitRelativePath.split('/')[0] : '';
      run(() => choose(folderEntries(files), top || 'the folder'));
      folder.value = '';
    });
    zip.addEventListener('change', function () {
      const file = zip.files[0];
      if (file) run(async () => choose(await zipEntries(file), file.name));
      zip.value = '';
    });
    document.getElementById('choose-bundled').addEventListener('click', function () {
      run(() => replace([], null));
    });
    folder.disabled = zip.disabled = false;
    document.getElementById('choose-bundled').disabled = name === null;
  };
  return lib;
})();
