// The web page's zip reader (web_library.js, with the fflate it is built
// with) under node: seed zip files, mutated deterministically, must each be
// read or refused with a message for the player, never throw otherwise or
// take long; the files past the page's limits are refused at once.
//   node fuzz-zip.mjs [ROUNDS]
import fs from 'node:fs';
import path from 'node:path';
import vm from 'node:vm';
import {fileURLToPath} from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const web = path.join(here, '../../src/platform/web');
const context = {Module: {}, TextDecoder, TextEncoder, console};
vm.createContext(context);
vm.runInContext(fs.readFileSync(path.join(web, 'node_modules/fflate/umd/index.js'), 'utf8'), context);
vm.runInContext(fs.readFileSync(path.join(web, 'web_library.js'), 'utf8'), context);
const unzip = context.Module.ywLibrary.unzip;
const {zipSync} = context.fflate;
const rounds = Number(process.argv[2] || 3000);
let failures = 0;
const fail = (text) => {
  ++failures;
  console.error('FAIL: ' + text);
};
const asFile = (name, bytes) => ({name: name, size: bytes.length, arrayBuffer: async () => bytes.buffer});

// Reads one file: the files in it, or the player's message; the time taken.
async function read(name, bytes) {
  const start = performance.now();
  let got;
  try {
    got = await unzip(asFile(name, bytes));
  } catch (e) {
    got = e && e.forPlayer === true ? String(e.message) : e;
  }
  return {got: got, ms: performance.now() - start};
}

// A zip file with `n` entries named by `nameOf`, stored, empty, by hand.
function emptyEntries(n, nameOf) {
  const local = [], central = [];
  let offset = 0;
  for (let i = 0; i < n; ++i) {
    const name = new TextEncoder().encode(nameOf(i));
    const l = new Uint8Array(30 + name.length), c = new Uint8Array(46 + name.length);
    const lv = new DataView(l.buffer), cv = new DataView(c.buffer);
    lv.setUint32(0, 0x04034b50, true);
    lv.setUint16(26, name.length, true);
    l.set(name, 30);
    cv.setUint32(0, 0x02014b50, true);
    cv.setUint16(28, name.length, true);
    cv.setUint32(42, offset, true);
    c.set(name, 46);
    local.push(l);
    central.push(c);
    offset += l.length;
  }
  const end = new Uint8Array(22), ev = new DataView(end.buffer);
  const size = central.reduce((s, c) => s + c.length, 0);
  ev.setUint32(0, 0x06054b50, true);
  ev.setUint16(8, n, true);
  ev.setUint16(10, n, true);
  ev.setUint32(12, size, true);
  ev.setUint32(16, offset, true);
  return new Uint8Array(Buffer.concat([...local, ...central, end]));
}

// The limits: refused at once, saying which.
const deep = Array.from({length: 2000}, () => 'd').join('/') + '/autoexec.skr';
for (const [label, bytes, says] of [
         ['2000 folders deep', emptyEntries(1, () => deep), '2000 folders deep; the page reads at most 32'],
         ['65535 entries', emptyEntries(65535, (i) => `g${i}/autoexec.skr`), 'holds 65535 files'],
         ['33 folders deep', emptyEntries(1, () => 'a/'.repeat(33) + 'x'), 'at most 32']]) {
  const {got, ms} = await read(label + '.zip', bytes);
  if (typeof got !== 'string' || !got.includes(says)) fail(`${label}: ${got}, not "${says}"`);
  else if (ms > 500) fail(`${label}: refused after ${ms.toFixed(0)} ms`);
  else console.log(`ok: ${label}: refused in ${ms.toFixed(1)} ms: ${got}`);
}
const limit = await read('32 deep.zip', emptyEntries(1, () => 'a/'.repeat(32) + 'x'));
if (!Array.isArray(limit.got)) fail(`32 folders deep is refused: ${limit.got}`);

// The seeds, stored and deflated, read back as they were written.
const text = (s) => new TextEncoder().encode(s);
const game = {
  'Game/autoexec.skr': text('LOADMAP "start.map"\n'.repeat(40)),
  'Game/start.map': Uint8Array.from({length: 3000}, (_, i) => (i * 7) % 251),
  'Game/pics/': new Uint8Array(0),
  'Game/pics/a.bmp': text('BM' + 'x'.repeat(500)),
  'Game/slot1.sav': new Uint8Array(0),
};
const seeds = [zipSync(game, {level: 0}), zipSync(game, {level: 6}),
               zipSync({'g/autoexec.skr': text('x'), 'g/autoexec.skr/x': text('y')}, {level: 9})];
for (const [i, seed] of seeds.entries()) {
  const {got} = await read(`seed${i}.zip`, seed);
  const want = Object.keys(i < 2 ? game : {a: 0, b: 0}).filter((n) => !n.endsWith('/'));
  if (!Array.isArray(got) || got.length !== want.length) fail(`seed ${i} is not read: ${got}`);
  else if (i < 2 && got.some((f) => Buffer.compare(Buffer.from(f.bytes), Buffer.from(game[f.name])) !== 0))
    fail(`seed ${i} reads back other bytes`);
}

// A byte of a stored file changed: its CRC tells.
const changed = seeds[0].slice();
changed[changed.indexOf(0x4c) /* the L of LOADMAP */] = 0x6c;
const crc = (await read('changed.zip', changed)).got;
if (typeof crc !== 'string' || !crc.includes('Game/autoexec.skr cannot be unpacked'))
  fail(`a changed byte is not found: ${crc}`);

// Mutations, from a fixed seed: bytes flipped or set to extremes, fields of
// the headers set to 0 or their largest value, the file cut short.
let state = 0x9e3779b9;
const random = (n) => {
  state ^= state << 13;
  state ^= state >>> 17;
  state ^= state << 5;
  return (state >>> 0) % n;
};
const counts = {read: 0, refused: 0, damaged: 0};
let slowest = 0;
for (let round = 0; round < rounds; ++round) {
  const bytes = seeds[round % seeds.length].slice();
  const view = new DataView(bytes.buffer);
  for (let k = 1 + random(4); k > 0; --k) {
    const at = random(bytes.length - 4);
    switch (random(5)) {
      case 0: bytes[at] ^= 1 << random(8); break;
      case 1: bytes[at] = [0, 0xff, 0x7f, 0x80][random(4)]; break;
      case 2: view.setUint16(at, [0, 0xffff, 1, 0x8000][random(4)], true); break;
      case 3: view.setUint32(at, [0, 0xffffffff, 0x7fffffff, bytes.length][random(4)], true); break;
      default: bytes[at] = random(256);
    }
  }
  const cut = random(8) === 0 ? bytes.subarray(0, random(bytes.length)) : bytes;
  const {got, ms} = await read(`round${round}.zip`, cut.slice());
  slowest = Math.max(slowest, ms);
  if (Array.isArray(got)) ++counts.read;
  else if (typeof got === 'string') ++counts[got.includes('cannot be unpacked') ? 'damaged' : 'refused'];
  else fail(`round ${round}: ${got && got.stack ? got.stack : got}`);
  if (ms > 2000) fail(`round ${round} took ${ms.toFixed(0)} ms`);
  if (failures > 5) break;
}
// The rounds reached every outcome: read, refused, found damaged by CRC.
if (counts.read === 0 || counts.refused === 0 || counts.damaged === 0)
  fail('the rounds did not reach every outcome: ' + JSON.stringify(counts));
console.log(`${rounds} rounds: ${JSON.stringify(counts)}, the slowest ${slowest.toFixed(1)} ms`);
process.exit(failures > 0 ? 1 : 0);
