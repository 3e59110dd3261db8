// Plays the web build in Chromium the way a player would and checks that it
// shows what the desktop program shows: through the title into Gull Point,
// a walk to the oil shed and its message, a save, a reload of the page and
// the save loaded back, the saves exported; then a game library of the
// player's own is opened in the page and played, its sound listened to, and
// another library with a game of the same name is kept apart from it, and
// a zip file that cannot be unpacked leaves it as it was. A
// phone (touch screen, upright and lying) plays the start of the first
// session by touch and imports the exported saves. The same keys, with the same
// pauses, are replayed by the headless desktop build; at each checkpoint the
// page must reach the same state (mode, map, position, message) and its
// canvas must hold the same pixels as the desktop's picture.
//
//   node browser_play_test.mjs --site DIR --yarrowind BIN --data DIR --out DIR
//
// Chromium is /usr/bin/chromium unless CHROMIUM names another. Everything is
// written under --out, which is removed when the test passes unless
// YW_WEB_KEEP is set. YW_WEB_SHOTS names a folder for screenshots of the page.
import {execFileSync} from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

const arg = (name) => {
  const i = process.argv.indexOf('--' + name);
  if (i < 0 || i + 1 >= process.argv.length) throw new Error('missing --' + name);
  return path.resolve(process.argv[i + 1]);
};
const site = arg('site');
const yarrowind = arg('yarrowind');
const data = arg('data');
const out = arg('out');
const shots = process.env.YW_WEB_SHOTS || '';
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// The two sessions: each a list of [action, pause after it in ms]. The
// actions are those of the headless replays: "key K [hold]", "type TEXT",
// "check NAME" (compare state and picture).
const toGame = [['key Enter', 400], ['key Enter', 500], ['key Enter', 600]];
// Esc, Save, slot 1, a description.
const save = (text) => [
  ['key Escape', 500], ['key Down', 200], ['key Down', 200], ['key Down', 200],
  ['key Enter', 500], ['key Enter 1', 500], ['type ' + text, 600], ['key Enter', 800]];
// The title's Load and the list of saved games.
const toSlots = [['key Enter', 400], ['key Down', 300], ['key Enter', 600]];
const firstSession = [
  ['wait', 200], ...toGame, ['check menu', 0], ['key Enter', 400], ['key Enter', 2900],
  ['check night', 0], ['key Enter', 400], ['check corran', 0], ['key Enter', 500],
  ['key Down', 300], ['key Down', 300], ['key Down', 300], ['key Down', 300],
  ['key Right', 300], ['key Right', 300], ['key Right', 300], ['key Right', 300],
  // The walk's length in animation steps depends on the page's real clock,
  // and the map behind a message stays as it was when the message opened:
  // here only the message box itself must match.
  ['key Right', 300], ['key Right', 300], ['key Up', 300], ['check shed 12,242,628,468', 0],
  ['key Enter', 400], ['key Escape', 500], ['check menu-open state', 0],
  ...save('Oilcan').slice(1),
  // The save list stands over the map as it was when the menu opened (its
  // animation phase is the page's clock's): the state must match.
  ['check saved state', 0], ['key Escape', 600], ['check after-save', 0],
];
// The third: a game library of the player's own, a zip file with
// Hollowmere in it, opened in the page. Its music plays from the start and
// a sound effect when the well's rope snaps: both must be heard.
// A save made there is found again after a reload.
const chosenSession = [
  ['wait', 200], ['key Enter', 400], ['key Enter', 500], ['check library', 0], ['key Enter', 600],
  ['key Enter', 400], ['key Enter', 6500], ['key Enter 1', 300], ['sound music', 0],
  ['key Enter', 400], ['key Enter', 400], ...save('Well'), ['key Escape', 600],
  ['key Up', 300], ['key Up', 300], ['key Up', 300], ['key Right', 300], ['key Enter', 500],
  ['key Down', 300], ['key Enter', 500], ['check fall 20,250,620,460', 0], ['key Enter', 600],
  ['sound effects', 0],
];
const chosenAgain = [['wait', 200], ...toGame, ...toSlots, ['check chosen-slots', 0]];
// By touch on the phone: as far as the menu opened on the map.
const touchSession = firstSession.slice(0, firstSession.findIndex(([a]) => a.startsWith('check menu-open')) + 1);
const secondSession = [
  ['wait', 200], ...toGame, ...toSlots, ['check slots', 0],
  // Corran turns at random, drawn once per turn of the loop, and the page
  // makes another number of turns than the desktop: his tile may differ.
  ['key Enter', 800], ['check loaded all tile', 0],
];

// ---- The desktop side: a headless replay of a session.
// The map's tiles animate on the game's clock (every 400 ms in the bundled
// games), which the page cannot share with the desktop's virtual one: the
// desktop takes a picture every 100 ms for 1.2 s at a checkpoint, and the
// page's picture must equal one of them.
const kPhases = 12;
const kTile = 32;  // a map tile of the bundled games on the screen (16 pixels, zoom 2)
const replayKey = {Escape: 'Esc', Enter: 'Enter', Down: 'Down', Up: 'Up', Left: 'Left',
                   Right: 'Right'};
function replayText(name, session) {
  let t = 0;
  let text = '';
  session.forEach(([action, pause], i) => {
    const [verb, ...rest] = action.split(' ');
    if (verb === 'key' || verb === 'type') text += `${t - 1} dump ${name}-${i}.json\n`;
    if (verb === 'key') text += `${t} key ${replayKey[rest[0]]}${rest[1] ? ' ' + rest[1] : ''}\n`;
    if (verb === 'type') text += `${t} type ${rest.join(' ')}\n`;
    if (verb === 'check') {
      text += `${t + 300} dump ${rest[0]}.json\n`;
      for (let k = 0; k < kPhases; ++k) text += `${t + 300 + 100 * k} shot ${rest[0]}~${k}.png\n`;
    }
    t += verb === 'check' ? 400 + 100 * kPhases : pause;
  });
  return text + `${t + 500} quit\n`;
}
function runHeadless(root, name, session) {
  const dir = path.join(out, 'desktop');
  fs.mkdirSync(dir, {recursive: true});
  fs.writeFileSync(path.join(dir, name + '.txt'), replayText(name, session));
  execFileSync(yarrowind, ['--headless', '--root', root, '--seed', '1', '--replay', name + '.txt'],
               {cwd: dir, env: {...process.env, SDL_VIDEODRIVER: 'dummy', SDL_AUDIODRIVER: 'dummy'},
                stdio: ['ignore', 'inherit', 'inherit']});
}

// ---- The web side.
function serve(folder) {
  const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm'};
  const server = http.createServer((req, res) => {
    const file = path.join(folder, decodeURIComponent(new URL(req.url, 'http://x').pathname));
    if (!file.startsWith(folder) || !fs.existsSync(file) || fs.statSync(file).isDirectory()) {
      const index = path.join(file, 'index.html');
      if (fs.existsSync(index)) return res.end(fs.readFileSync(index));
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream'});
    res.end(fs.readFileSync(file));
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

const failures = [];
function fail(text) {
  failures.push(text);
  console.error('FAIL: ' + text);
}

async function press(page, key, hold, touch) {
  const name = key === 'Escape' ? 'Escape' : key === 'Enter' ? 'Enter' : 'Arrow' + key;
  if (!touch) {
    await page.keyboard.down(name);
    await sleep(hold);
    return page.keyboard.up(name);
  }
  // A finger on the control; a message is closed by a tap on the picture.
  const message = name === 'Enter' && (await page.evaluate(() => window.yw.dumpState().GameMode)) === 5;
  const at = await page.$eval(message ? '#canvas' : `[data-key="${name}"]`, (e) => {
    const r = e.getBoundingClientRect();
    return [r.left + r.width / 2, r.top + r.height / 2];
  });
  await page.touchscreen.touchStart(at[0], at[1]);
  await sleep(hold);
  await page.touchscreen.touchEnd();
}

// What must agree between the two programs at a checkpoint.
function essentials(s) {
  return JSON.stringify({GameMode: s.GameMode, Switsch: s.Switsch, MapFile: s.MapFile, x: s.PlayerPosX,
                         y: s.PlayerPosY, Message: s.Message, CurrentList: s.CurrentList,
                         ListCursor: s.ListCursor, Party: s.Party && s.Party.length});
}

// Waits until the page is in the state of the desktop's dump `name`.
async function reach(page, name) {
  const dir = path.join(out, 'desktop');
  const want = JSON.parse(fs.readFileSync(path.join(dir, name + '.json'), 'utf8'));
  let got = null;
  for (let i = 0; i < 100; ++i) {  // up to 5 s for the page to get there
    got = await page.evaluate(() => window.yw.dumpState());
    if (got && essentials(got) === essentials(want)) return true;
    await sleep(50);
  }
  fail(`${name}: the page is in ${essentials(got || {})}, the desktop in ${essentials(want)}`);
  return false;
}

async function check(page, name, area, oneTile) {
  const dir = path.join(out, 'desktop');
  if (!(await reach(page, name))) return;
  if (area === 'state') return console.log(`ok: ${name} (state)`);
  await sleep(300);  // what the desktop's shot was taken after
  const goldens = [];
  for (let k = 0; k < kPhases; ++k)
    goldens.push(fs.readFileSync(path.join(dir, `${name}~${k}.png`)).toString('base64'));
  const whole = !area || area === 'all';
  const [left, top, right, bottom] = whole ? [0, 0, 1e9, 1e9] : area.split(',').map(Number);
  const result = await page.evaluate(async (pngs, left, top, right, bottom) => {
    const canvas = document.getElementById('canvas');
    const a = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let best = {differing: Infinity};
    for (const png of pngs) {
    const bytes = Uint8Array.from(atob(png), (c) => c.charCodeAt(0));
    const bitmap = await createImageBitmap(new Blob([bytes], {type: 'image/png'}),
                                           {colorSpaceConversion: 'none'});
    const want = new OffscreenCanvas(bitmap.width, bitmap.height).getContext('2d');
    want.drawImage(bitmap, 0, 0);
    if (canvas.width !== bitmap.width || canvas.height !== bitmap.height)
      return {size: `${canvas.width}x${canvas.height} against ${bitmap.width}x${bitmap.height}`};
    const b = want.getImageData(0, 0, bitmap.width, bitmap.height).data;
    let differing = 0;
    const box = {left: 1e9, top: 1e9, right: -1, bottom: -1};
    for (let i = 0; i < a.length; i += 4) {
      const x = (i / 4) % canvas.width, y = Math.floor(i / 4 / canvas.width);
      if (x < left || x >= right || y < top || y >= bottom) continue;
      if (a[i] === b[i] && a[i + 1] === b[i + 1] && a[i + 2] === b[i + 2]) continue;
      ++differing;
      box.left = Math.min(box.left, x), box.right = Math.max(box.right, x);
      box.top = Math.min(box.top, y), box.bottom = Math.max(box.bottom, y);
    }
    if (differing < best.differing) best = {differing: differing, box: box};
    }
    best.pixels = a.length / 4;
    best.canvas = canvas.toDataURL('image/png');
    return best;
  }, goldens, left, top, right, bottom);
  if (result.size) return fail(`${name}: the canvas is ${result.size}`);
  const picture = Buffer.from(result.canvas.split(',')[1], 'base64');
  fs.writeFileSync(path.join(out, `web-${name}.png`), picture);
  if (shots) await page.screenshot({path: path.join(shots, `web-${name}.png`)});
  const b = result.box;
  const inOneTile = b && b.right - b.left < kTile && b.bottom - b.top < kTile;
  if (oneTile && result.differing > 0 && inOneTile)
    console.log(`ok: ${name} (${result.differing} pixels of one tile differ)`);
  else if (result.differing > 0)
    fail(`${name}: ${result.differing} of ${result.pixels} pixels differ from the desktop's`);
  else
    console.log(`ok: ${name}`);
}

// Keeps the loudest sample of the effects and of the music since the last
// look (window.ywLoudest), from the page's own sound buses.
async function listen(page) {
  await page.waitForFunction(() => window.yw.audio.buses(), {timeout: 10000});
  await page.evaluate(() => {
    const ctx = window.yw.audio.context();
    window.ywLoudest = {};
    for (const [name, bus] of Object.entries(window.yw.audio.buses())) {
      const analyser = ctx.createAnalyser();
      bus.connect(analyser);
      const samples = new Float32Array(analyser.fftSize);
      window.ywLoudest[name] = 0;
      setInterval(() => {
        analyser.getFloatTimeDomainData(samples);
        for (const v of samples) window.ywLoudest[name] = Math.max(window.ywLoudest[name], Math.abs(v));
      }, 20);
    }
  });
}

async function heard(page, bus) {
  let loudest = 0;
  for (let i = 0; i < 60 && loudest < 0.01; ++i) {  // up to 3 s
    loudest = await page.evaluate((bus) => window.ywLoudest[bus], bus);
    if (loudest < 0.01) await sleep(50);
  }
  await page.evaluate((bus) => (window.ywLoudest[bus] = 0), bus);
  if (loudest < 0.01) fail(`the ${bus} bus is silent (loudest sample ${loudest})`);
  else console.log(`ok: the ${bus} bus is heard (loudest sample ${loudest.toFixed(3)})`);
}

async function play(page, name, session, touch) {
  // The game's clock starts with the engine; the pauses count from there.
  for (let i = 0; i < 200 && !(await page.evaluate(() => window.yw && window.yw.engine)); ++i)
    await sleep(50);
  if (session.some(([action]) => action.startsWith('sound'))) await listen(page);
  for (const [i, [action, pause]] of session.entries()) {
    const [verb, ...rest] = action.split(' ');
    // The key goes in when the page is where the desktop was, and has been
    // there a moment (states that ignore keys at first, held keys let go).
    if (verb === 'key' || verb === 'type') {
      await reach(page, `${name}-${i}`);
      await sleep(400);
    }
    if (verb === 'key') await press(page, rest[0], rest[1] ? Number(rest[1]) : 100, touch);
    if (verb === 'type') await page.keyboard.type(rest.join(' '), {delay: 40});
    if (verb === 'check') await check(page, rest[0], rest[1], rest[2] === 'tile');
    if (verb === 'sound') await heard(page, rest[0]);
    if (verb === 'wait') await sleep(pause);
  }
}

fs.rmSync(out, {recursive: true, force: true});
fs.mkdirSync(out, {recursive: true});
if (shots) fs.mkdirSync(shots, {recursive: true});
const root = path.join(out, 'program');
fs.cpSync(data, root, {recursive: true});
runHeadless(root, 'first', firstSession);
runHeadless(root, 'second', secondSession);
// The chosen library as the desktop plays it, and as the player gets it:
// a zip file with the game's folder at its top. Two files the page must
// refuse with a message: one that is no zip file, one without a game.
const chosen = path.join(out, 'chosen');
fs.cpSync(data, chosen, {recursive: true});
for (const game of fs.readdirSync(path.join(chosen, 'games')))
  if (game !== 'hollowmere') fs.rmSync(path.join(chosen, 'games', game), {recursive: true});
// The page names a game at the top of a zip file after the file.
fs.renameSync(path.join(chosen, 'games', 'hollowmere'), path.join(chosen, 'games', 'Hollowmere'));
const zip = (name, folder) => execFileSync('python3', ['-c',
  'import shutil, sys; shutil.make_archive(sys.argv[1], "zip", sys.argv[2])',
  path.join(out, name), folder]) && path.join(out, name + '.zip');
const goodZip = zip('Hollowmere', path.join(chosen, 'games', 'Hollowmere'));
fs.mkdirSync(path.join(out, 'notes'));
fs.writeFileSync(path.join(out, 'notes', 'readme.txt'), 'No game here.');
const noGameZip = zip('nogame', path.join(out, 'notes'));
fs.writeFileSync(path.join(out, 'broken.zip'), 'PK\x03\x04 this is not a zip file');
runHeadless(chosen, 'chosen', chosenSession);
runHeadless(chosen, 'chosen-again', chosenAgain);

// The phone's picture: inside the screen, fitted to its area, the touch
// controls beside or below it, never over it; the browser's gestures off.
async function checkPhone(page, how) {
  await sleep(600);  // the game places the picture on its next turn
  const g = await page.evaluate(() => {
    const box = (e) => (({left, top, right, bottom}) => ({left, top, right, bottom}))(e.getBoundingClientRect());
    return {picture: box(document.getElementById('canvas')), area: box(document.getElementById('screen')),
            controls: Array.from(document.querySelectorAll('#cross, #buttons button'), box),
            width: innerWidth, height: innerHeight, page: document.documentElement.scrollWidth,
            gestures: getComputedStyle(document.body).touchAction + ' ' +
                      getComputedStyle(document.documentElement).overscrollBehaviorX};
  });
  const p = g.picture, a = g.area;
  const over = (k) => k.left < p.right && p.left < k.right && k.top < p.bottom && p.top < k.bottom;
  const problems = [];
  if (p.left < 0 || p.top < 0 || p.right > g.width + 0.5 || p.bottom > g.height + 0.5 || g.page > g.width)
    problems.push('the picture runs off the screen');
  if (Math.abs(p.right - p.left - (a.right - a.left)) > 1 && Math.abs(p.bottom - p.top - (a.bottom - a.top)) > 1)
    problems.push('the picture does not fill its area');
  if (g.controls.length !== 4 || g.controls.some((k) => k.right - k.left < 40 || over(k)))
    problems.push('the touch controls are missing or over the picture');
  if (g.gestures !== 'none none') problems.push('the browser keeps its gestures: ' + g.gestures);
  if (problems.length > 0) return fail(`the phone ${how}: ${problems.join('; ')} ${JSON.stringify(g)}`);
  console.log(`ok: the phone ${how}: picture ${Math.round(p.right - p.left)}x${Math.round(p.bottom - p.top)}`);
}

// Waits until the page shows a line starting as `says` does.
async function told(page, says) {
  const shown = await page.waitForFunction(() => {
    const text = document.getElementById('message').textContent;
    return !text.startsWith('Reading') && text !== '' && text;
  }, {timeout: 10000}).then((h) => h.jsonValue());
  if (!shown.includes(says)) fail(`the page says "${shown}", not "${says}"`);
  else console.log(`ok: the page says: ${shown}`);
}

const server = await serve(site);
const url = `http://127.0.0.1:${server.address().port}/?seed=1`;
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  userDataDir: path.join(out, 'profile'),
  args: ['--no-sandbox', '--autoplay-policy=no-user-gesture-required', '--mute-audio'],
});
const watch = (page) => {
  page.on('pageerror', (e) => fail('page error: ' + e.message));
  page.on('dialog', (d) => {
    fail('message box: ' + d.message());
    d.dismiss();
  });
};
// The save reaches the browser's storage before the page goes away.
const reload = async (page) => {
  for (let i = 0; i < 100 && !(await page.evaluate(() => window.yw.savesStored() &&
                                                         window.yw.syncCount > 0)); ++i)
    await sleep(50);
  await page.reload();
};
const slotsIn = (page, folder) => page.evaluate((folder) => window.Module.FS.readdir(folder)
    .filter((f) => f.endsWith('.sav')).join(','), folder);
try {
  const page = await browser.newPage();
  await page.setViewport({width: 800, height: 600});
  watch(page);
  await page.goto(url);
  if (await page.$eval('#cross', (e) => e.offsetParent !== null))
    fail('the touch controls show where there is no touch screen');
  await play(page, 'first', firstSession);
  // The picture as large as fits by default; pixel-perfect (a whole
  // number of screen pixels a game pixel) when chosen, also after a reload.
  const shown = () => page.$eval('#canvas', (c) => `${c.offsetWidth}x${c.offsetHeight}`);
  const fill = await shown();
  const [w, h] = fill.split('x').map(Number);
  if (h !== (await page.$eval('#screen', (a) => a.clientHeight)) || Math.abs(w - h * 4 / 3) > 1)
    fail(`the picture is ${fill}, not as high as the page lets it be`);
  await page.select('#picture', 'pixel-perfect');
  await reload(page);
  await play(page, 'second', secondSession);
  if ((await shown()) !== '640x480') fail(`the pixel-perfect picture is ${await shown()}`);
  else console.log(`ok: the picture fills ${fill}; pixel-perfect, 640x480`);
  // The saves out to a file (imported on the phone below).
  const downloads = path.join(out, 'downloads');
  await (await browser.target().createCDPSession())
      .send('Browser.setDownloadBehavior', {behavior: 'allow', downloadPath: downloads});
  await page.click('#export-saves');
  await told(page, '1 save exported');
  const exported = path.join(downloads, 'saves of the bundled games.zip');
  for (let i = 0; i < 100 && !fs.existsSync(exported); ++i) await sleep(50);

  const input = await page.$('#choose-zip');
  for (const [file, says] of [[path.join(out, 'broken.zip'), 'not a zip file'],
                              [noGameZip, 'No game was found']]) {
    await page.evaluate(() => (document.getElementById('message').textContent = ''));
    await input.uploadFile(file);
    if (shots) await page.screenshot({path: path.join(shots, `web-${path.basename(file)}.png`)});
    await told(page, says);
  }
  await Promise.all([page.waitForNavigation(), input.uploadFile(goodZip)]);
  await play(page, 'chosen', chosenSession);
  await reload(page);
  await play(page, 'chosen-again', chosenAgain);
  // Another library of the same name with a game of the same folder name
  // (another edition: one file more) has slots of its own; the first
  // library, chosen again, finds its save again.
  const other = path.join(out, 'other', 'Hollowmere');
  fs.cpSync(path.join(chosen, 'games', 'Hollowmere'), other,
            {recursive: true, filter: (f) => !f.endsWith('.sav')});
  fs.writeFileSync(path.join(other, 'notes.txt'), 'Another edition.');
  for (const [file, want] of [[zip('other/Hollowmere', other), ''], [goodZip, 'slot1.sav']]) {
    await Promise.all([page.waitForNavigation(), (await page.$('#choose-zip')).uploadFile(file)]);
    await page.waitForFunction(() => window.yw && window.yw.engine, {timeout: 30000});
    const slots = await slotsIn(page, '/library/games/Hollowmere');
    if (slots !== want) fail(`${path.relative(out, file)} has the saves "${slots}", not "${want}"`);
    else console.log(`ok: ${path.relative(out, file)} has the saves "${slots}"`);
  }

  // A zip file that cannot be written (a name both a file and a folder) or
  // that goes too deep is refused, and the library kept, its save with it,
  // stays as it was, in the browser's storage too (synced as the next save
  // syncs, then read again).
  const badZip = (name, names) => execFileSync('python3', ['-c', 'import sys, zipfile\n' +
      'with zipfile.ZipFile(sys.argv[1], "w") as z:\n  for n in sys.argv[2:]: z.writestr(n, "x")',
  path.join(out, name), ...names]) && path.join(out, name);
  for (const [file, says] of [
         [badZip('both.zip', ['g/autoexec.skr', 'g/autoexec.skr/x']), 'unpacked at g/autoexec.skr/x'],
         [badZip('deep.zip', ['d/'.repeat(40) + 'autoexec.skr']), '40 folders deep; the page reads at most 32']]) {
    await page.evaluate(() => (document.getElementById('message').textContent = ''));
    await (await page.$('#choose-zip')).uploadFile(file);
    await told(page, says);
  }
  await page.evaluate(() => new Promise((done) => window.Module.FS.syncfs(false, done)));
  await page.reload();
  await page.waitForFunction(() => window.yw && window.yw.engine, {timeout: 30000});
  const kept = `${await page.$eval('#library-name', (e) => e.textContent)} ` +
               (await slotsIn(page, '/library/games/Hollowmere').catch(() => 'no game folder'));
  if (kept !== 'Hollowmere.zip slot1.sav') fail(`after the bad zip files the library is "${kept}"`);
  else console.log(`ok: after the bad zip files the library is "${kept}"`);

  // A phone, with a browser of its own: upright, the start of the first
  // session by touch, a tap on the menu's Save entry; lying, the saves
  // exported above imported and found in the save list.
  const phone = await (await browser.createBrowserContext()).newPage();
  watch(phone);
  await phone.setUserAgent('Mozilla/5.0 (Linux; Android 14; Pixel 8) AppleWebKit/537.36 ' +
                           '(KHTML, like Gecko) Chrome/126.0 Mobile Safari/537.36');
  const held = {isMobile: true, hasTouch: true, deviceScaleFactor: 3};
  await phone.setViewport({width: 390, height: 844, ...held});
  await phone.goto(url);
  await play(phone, 'first', touchSession, true);
  await checkPhone(phone, 'upright');
  if (shots) await phone.screenshot({path: path.join(shots, 'phone-upright.png')});
  // The menu's fourth entry, Save, is drawn at (110, 175) of the frame.
  const save = await phone.$eval('#canvas', (c) => {
    const r = c.getBoundingClientRect();
    return [r.left + 110 * r.width / c.width, r.top + 175 * r.height / c.height];
  });
  await phone.touchscreen.tap(save[0], save[1]);
  await reach(phone, `first-${firstSession.findIndex(([a]) => a === 'key Enter 1')}`);
  await phone.setViewport({width: 844, height: 390, ...held});
  await checkPhone(phone, 'lying');
  if (shots) await phone.screenshot({path: path.join(shots, 'phone-lying.png')});
  const imports = await phone.$('#import-saves');
  for (const [file, says] of [[noGameZip, 'holds no saves'], [exported, '1 save imported']]) {
    await phone.evaluate(() => (document.getElementById('message').textContent = ''));
    await imports.uploadFile(file);
    await told(phone, says);
  }
  await reload(phone);
  await play(phone, 'second', secondSession.slice(0, secondSession.findIndex(([a]) => a === 'check slots') + 1),
             true);
} finally {
  await browser.close();
  server.close();
}
if (failures.length > 0) {
  console.error(`${failures.length} failed; pictures and dumps are in ${out}`);
  process.exit(1);
}
console.log('the web build plays as the desktop build does');
if (!process.env.YW_WEB_KEEP) fs.rmSync(out, {recursive: true, force: true});
