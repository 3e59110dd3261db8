// The player's own game library, chosen in the page as a folder (with its
// sub-folders) or as a .zip file. The chosen files are kept in the
// browser's IndexedDB (the folder /chosen), so the page finds them again
// after a reload; the program then runs on the program folder /library: the
// chosen files over the bundled interface pictures and settings. The saves
// made in /library are mirrored into /chosen as those of the bundled games
// are into /saves (yarrowind_web.js). Each library keeps its own saves: those
// of a library put aside wait in /chosen/.kept under its fingerprint (its
// files' names and sizes) until the same library is chosen again, so two
// games of one folder name from different libraries never share slots.
// The saves of the games played can be exported to a .zip file and
// imported from one.

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
  const kKept = kChosen + '/.kept';  // the saves of libraries put aside
  // A library coming is written here in full before it replaces the one
  // kept: a library that cannot be written leaves the kept one as it was.
  const kStaging = kChosen + '/.staging';
  // What a chosen library may hold, unpacked: the files are kept in memory
  // twice (as chosen and as played) besides IndexedDB.
  const kMaxBytes = 256 * 1024 * 1024;
  // Limits checked before any other work: a zip file's entries (folders
  // included) or a folder's files, the folders above a file, the games.
  const kMaxFiles = 20000;
  const kMaxDepth = 32;
  const kMaxGames = 500;
  const kSave = /\.sav$/i;

  const lib = {};
  function problem(text) {
    const e = new Error(text);
    e.forPlayer = true;
    return e;
  }
  function saves(n) {
    return n === 1 ? '1 save' : n + ' saves';
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

  // ---- Zip files, read with fflate (bundled into the page). Before fflate
  // sees the file, the end record and the central directory are walked
  // here: the number of entries, each name's depth, the sizes, passwords
  // and packing methods are checked, so a file past a limit is refused at
  // once. Each file unpacked is checked against its CRC.
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

  function tooDeep(label, name) {
    return problem(`${label} holds ${name.slice(0, 60)}... ${name.split(/[\\/]/).length - 1} ` +
                   `folders deep; the page reads at most ${kMaxDepth}.`);
  }
  function tooMany(label, n) {
    return problem(`${label} holds ${n} files; the page reads at most ${kMaxFiles} ` +
                   `(and ${kMaxGames} games, ${megabytes(kMaxBytes)}).`);
  }
  // The folders above a file's name, '.' and empty parts aside.
  const foldersOf = (name) => name.split(/[\\/]/).filter((p) => p !== '' && p !== '.').length - 1;

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
    if (count > kMaxFiles) throw tooMany(file.name, count);
    // Entries fflate would read as ZIP64 are not read here.
    if (count === 0xffff || le32(b, end + 16) === 0xffffffff || le16(b, end + 8) !== count ||
        (end >= 20 && le32(b, end - 20) === 0x07064b50))
      throw broken;
    let at = le32(b, end + 16);
    const names = new TextDecoder('utf-8');
    const listed = [];
    let total = 0;
    for (let i = 0; i < count; ++i) {
      if (at + 46 > b.length || le32(b, at) !== 0x02014b50) throw broken;
      const flags = le16(b, at + 8), method = le16(b, at + 10), crc = le32(b, at + 16);
      const packed = le32(b, at + 20), size = le32(b, at + 24);
      const nameLength = le16(b, at + 28), local = le32(b, at + 42);
      if (at + 46 + nameLength > b.length) throw broken;
      const name = names.decode(b.subarray(at + 46, at + 46 + nameLength));
      at += 46 + nameLength + le16(b, at + 30) + le16(b, at + 32);
      if (foldersOf(name) > kMaxDepth) throw tooDeep(file.name, name);
      const folder = /[\\/]$/.test(name);
      if (!folder && flags & 1) throw problem(`${file.name} is locked with a password.`);
      if (!folder && method !== 0 && method !== 8)
        throw problem(`${file.name} is packed in a way the page cannot unpack (method ${method}).`);
      if (packed === 0xffffffff || size === 0xffffffff || local === 0xffffffff) throw broken;
      if (method === 0 && packed !== size) throw broken;
      // The file's data lies within the zip file.
      if (local + 30 > b.length || le32(b, local) !== 0x04034b50) throw broken;
      if (local + 30 + le16(b, local + 26) + le16(b, local + 28) + packed > b.length) throw broken;
      total += size;
      if (total > kMaxBytes)
        throw problem(`${file.name} is too large unpacked (at most ${megabytes(kMaxBytes)}).`);
      listed.push({name: name, size: size, crc: crc, folder: folder});
    }
    const source = {read: (wanted) => unzipChecked(file.name, b, listed, wanted, broken)};
    return listed.filter((e) => !e.folder)
        .map((e) => ({name: e.name, size: e.size, listed: e, source: source}));
  }

  // Unpacks the entries wanted, in one pass of fflate over the directory
  // walked above (its entries come in the same order).
  function unzipChecked(label, b, listed, wanted, broken) {
    const want = new Set(wanted.map((e) => e.listed));
    const nameOf = new Map();
    let i = 0, out;
    try {
      out = fflate.unzipSync(b, {filter: function (info) {
        const e = listed[i++];
        if (!e || !want.has(e)) return false;
        if (e.size !== info.originalSize || nameOf.has(info.name)) throw broken;
        nameOf.set(info.name, e);
        e.unzipped = info.name;
        return true;
      }});
    } catch (e) {
      throw e instanceof Error && e.forPlayer ? e : broken;
    }
    if (i !== listed.length) throw broken;
    return wanted.map(function (e) {
      const bytes = out[e.listed.unzipped];
      if (!bytes || bytes.length !== e.size || crc32(bytes) !== e.listed.crc)
        throw problem(`${label} is damaged: ${e.name} cannot be unpacked.`);
      return bytes;
    });
  }

  // Reads the entries chosen, of one source (a zip file or a folder).
  async function readEntries(entries) {
    return entries.length === 0 ? [] : entries[0].source.read(entries);
  }

  const folderSource = {read: async function (wanted) {
    const out = [];
    for (const e of wanted) out.push(new Uint8Array(await e.file.arrayBuffer()));
    return out;
  }};
  function folderEntries(files, label) {
    if (files.length > kMaxFiles) throw tooMany(label, files.length);
    return Array.from(files, function (f) {
      const name = f.webkitRelativePath || f.name;
      if (foldersOf(name) > kMaxDepth) throw tooDeep(label, name);
      return {name: name, size: f.size, file: f, source: folderSource};
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
    if (games.length > kMaxGames) throw tooMany(libraryName, `${games.length} games in ${files.length}`);
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

  // The chosen library's fingerprint: its files (saves aside), each by
  // name and size.
  function fingerprint() {
    const list = ywFilesBelow(kChosen)
                     .filter((p) => p !== kMarker && !p.startsWith(kKept + '/') && !p.startsWith(kStaging + '/') &&
                                    !kSave.test(p))
                     .map((p) => p.slice(kChosen.length) + ':' + FS.stat(p).size)
                     .sort()
                     .join('\n');
    return crc32(new TextEncoder().encode(list)).toString(16) + '-' + list.length.toString(16);
  }
  function moveSaves(from, to, saves) {
    for (const path of saves) {
      const dest = to + path.slice(from.length);
      ywMakeFolders(dest);
      FS.writeFile(dest, FS.readFile(path));
      FS.unlink(path);
    }
  }

  // Writes the library coming into the staging folder; on any failure the
  // staging folder goes and nothing else has changed.
  function stage(files, contents, label) {
    if (FS.analyzePath(kStaging).exists) ywRemoveTree(kStaging);
    FS.mkdir(kStaging);
    let at = null;
    try {
      files.forEach(function (f, i) {
        at = f.entry.name;
        ywMakeFolders(kStaging + '/' + f.path);
        FS.writeFile(kStaging + '/' + f.path, contents[i]);
      });
    } catch (e) {
      ywRemoveTree(kStaging);
      throw problem(`${label} cannot be unpacked at ${at} (a name both a file and a folder, or a ` +
                    'file that cannot be written). The library kept is unchanged.');
    }
  }

  // Replaces the chosen library by `files` (none: the bundled games again).
  // The saves of the library leaving are put aside under its fingerprint,
  // those of the library coming (if it was chosen before) are put back.
  // Everything is read and written beside the kept library before it is
  // replaced, by moves within the storage folder only.
  async function replace(files, name) {
    const contents = await readEntries(files.map((f) => f.entry));
    stage(files, contents, name);
    if (lib.chosenName() !== null) {
      const aside = kKept + '/' + fingerprint();
      moveSaves(kChosen, aside, ywFilesBelow(kChosen).filter(
          (p) => kSave.test(p) && !p.startsWith(kKept + '/') && !p.startsWith(kStaging + '/')));
    }
    for (const entry of ywEntries(kChosen)) {
      const path = kChosen + '/' + entry;
      if (path !== kKept && path !== kStaging) ywRemoveTree(path);
    }
    for (const entry of ywEntries(kStaging)) FS.rename(kStaging + '/' + entry, kChosen + '/' + entry);
    FS.rmdir(kStaging);
    if (name !== null) {
      FS.writeFile(kMarker, name);
      const kept = kKept + '/' + fingerprint();
      if (FS.analyzePath(kept).exists) {
        moveSaves(kept, kChosen, ywFilesBelow(kept).filter((p) => !ywIsFile(kChosen + p.slice(kept.length))));
        ywRemoveTree(kept);
      }
    }
    await syncStorage();
  }

  // ---- The saves of the library played, as a zip file (stored, not
  // packed: saves are small) and back.
  function zipOf(files) {
    const parts = [], central = [];
    let offset = 0;
    for (const f of files) {
      const name = new TextEncoder().encode(f.path);
      const crc = crc32(f.bytes), size = f.bytes.length;
      const local = new DataView(new ArrayBuffer(30 + name.length));
      const dir = new DataView(new ArrayBuffer(46 + name.length));
      // Version 2.0, names in UTF-8, stored, 1 January 1980. (No
      // destructuring in loops: Emscripten's minifier cannot read it.)
      const fill = function (v, at) {
        v.setUint16(at, 20, true);
        v.setUint16(at + 2, 0x800, true);
        v.setUint16(at + 6, 0, true);
        v.setUint16(at + 8, 0x21, true);
        v.setUint32(at + 10, crc, true);
        v.setUint32(at + 14, size, true);
        v.setUint32(at + 18, size, true);
        v.setUint16(at + 22, name.length, true);
      };
      fill(local, 4);
      fill(dir, 6);
      local.setUint32(0, 0x04034b50, true);
      dir.setUint32(0, 0x02014b50, true);
      dir.setUint16(4, 20, true);
      dir.setUint32(42, offset, true);
      new Uint8Array(local.buffer).set(name, 30);
      new Uint8Array(dir.buffer).set(name, 46);
      parts.push(local, f.bytes);
      central.push(dir);
      offset += local.byteLength + size;
    }
    const end = new DataView(new ArrayBuffer(22));
    const centralSize = central.reduce((sum, d) => sum + d.byteLength, 0);
    end.setUint32(0, 0x06054b50, true);
    end.setUint16(8, files.length, true);
    end.setUint16(10, files.length, true);
    end.setUint32(12, centralSize, true);
    end.setUint32(16, offset, true);
    return new Blob([...parts, ...central, end], {type: 'application/zip'});
  }
  // A save's place in a program folder: games/GAME/NAME.sav.
  const kSavePath = /^games\/[^/]+\/[^/]+\.sav$/i;
  function savesOf(root) {
    if (!FS.analyzePath(root + '/games').exists) return [];
    return ywFilesBelow(root + '/games').map((p) => p.slice(root.length + 1))
        .filter((p) => kSavePath.test(p));
  }
  function exportSaves(root, libraryName) {
    const paths = savesOf(root);
    if (paths.length === 0) throw problem('There are no saves to export yet.');
    const blob = zipOf(paths.map((p) => ({path: p, bytes: FS.readFile(root + '/' + p)})));
    const link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = 'saves of ' + libraryName.replace(/\.zip$/i, '').replace(/[\\/:*?"<>|]/g, '_') + '.zip';
    document.body.appendChild(link);
    link.click();
    link.remove();
    setTimeout(() => URL.revokeObjectURL(link.href), 10000);
    return `${saves(paths.length)} exported.`;
  }
  // The saves in the file go to the games of the library played that have
  // the folder named (in any case); the game writes them on to the
  // browser's storage as its own (yarrowind_web.js).
  async function importSaves(file, root) {
    const games = new Map(ywEntries(root + '/games').map((g) => [g.toLowerCase(), g]));
    const found = (await zipEntries(file)).filter(function (entry) {
      const path = cleanPath(entry.name);
      return path && kSavePath.test(path) && games.has(path.split('/')[1].toLowerCase());
    });
    const contents = await readEntries(found);
    let count = 0;
    found.forEach(function (entry, i) {
      const parts = cleanPath(entry.name).split('/');
      FS.writeFile(root + '/games/' + games.get(parts[1].toLowerCase()) + '/' + parts[2], contents[i]);
      ++count;
    });
    if (count === 0) throw problem(`${file.name} holds no saves of the games played here.`);
    return `${saves(count)} imported.`;
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
    ywCopyTree(kChosen, kLibrary, (p) => p === kMarker || p === kKept || p === kStaging);
    return kLibrary;
  };
  lib.mirrors = [[kLibrary, kChosen]];
  // The zip reader alone, for tests under node: the files of a zip file,
  // unpacked, or a refusal the player reads.
  lib.unzip = async function (file) {
    const entries = await zipEntries(file);
    const contents = await readEntries(entries);
    return entries.map((e, i) => ({name: e.name, bytes: contents[i]}));
  };

  // The page's controls: choose a folder, open a zip file, go back to the
  // bundled games. Each ends in a reload that starts the program on the
  // new library, or in a message saying what was wrong. Then the saves of
  // the library played (`root`): out to a file and in from one.
  lib.bind = function (showMessage, root) {
    const name = lib.chosenName();
    document.getElementById('library-name').textContent = name === null ? 'bundled' : name;
    const attempt = async function (step) {
      // The game's keys must not press the control again.
      if (document.activeElement) document.activeElement.blur();
      try {
        showMessage(await step(), false);
      } catch (e) {
        showMessage(e.forPlayer ? e.message : 'That did not work: ' + e, true);
      }
    };
    const run = (step) => attempt(async function () {
      showMessage('Reading the library...', false);
      await step();
      window.location.reload();
      return '';
    });
    const folder = document.getElementById('choose-folder');
    const zip = document.getElementById('choose-zip');
    const imports = document.getElementById('import-saves');
    folder.addEventListener('change', function () {
      const files = folder.files;
      const top = files.length > 0 ? files[0].webkitRelativePath.split('/')[0] : '';
      run(() => choose(folderEntries(files, top || 'the folder'), top || 'the folder'));
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
    document.getElementById('export-saves').addEventListener('click', function () {
      attempt(async () => exportSaves(root, name === null ? 'the bundled games' : name));
    });
    imports.addEventListener('change', function () {
      const file = imports.files[0];
      if (file) attempt(() => importSaves(file, root));
      imports.value = '';
    });
    folder.disabled = zip.disabled = imports.disabled = false;
    document.getElementById('export-saves').disabled = false;
    document.getElementById('choose-bundled').disabled = name === null;
  };
  return lib;
})();
