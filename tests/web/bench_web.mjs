// How hard the page works: a game is started in headless Chromium and the
// main thread's busy share is read from the DevTools protocol (the growth
// of Performance.getMetrics' TaskDuration) over 5 s standing on the map;
// then the player walks for 5 s and the gaps between the pictures the page
// draws are measured (median, 95th percentile, largest). First, the page
// is opened twice over a 10 Mbit/s link (40 ms latency): the bytes it
// downloads and the time to its first picture. Figures to read, not a
// test: nothing here passes or fails.
//
//   node bench_web.mjs [--site DIR | --url URL] [--game games/NAME] [--viewport 1366x768]
//
// --url measures a running server (scripts/serve-web compresses); --site
// serves the folder itself, uncompressed.
//
// Chromium is /usr/bin/chromium unless CHROMIUM names another.
import http from 'node:http';
import fs from 'node:fs';
import path from 'node:path';
import {fileURLToPath} from 'node:url';
import puppeteer from 'puppeteer-core';

const here = path.dirname(fileURLToPath(import.meta.url));
const option = (name, fallback) => {
  const i = process.argv.indexOf('--' + name);
  return i >= 0 && i + 1 < process.argv.length ? process.argv[i + 1] : fallback;
};
const site = path.resolve(option('site', path.join(here, '../../build/web/site')));
const game = option('game', 'games/gullpoint');
const [width, height] = option('viewport', '1366x768').split('x').map(Number);
const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

const types = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm'};
const server = http.createServer((req, res) => {
  let file = path.join(site, decodeURIComponent(new URL(req.url, 'http://x').pathname));
  if (fs.existsSync(file) && fs.statSync(file).isDirectory()) file = path.join(file, 'index.html');
  if (!file.startsWith(site) || !fs.existsSync(file)) return res.writeHead(404).end();
  res.writeHead(200, {'Content-Type': types[path.extname(file)] || 'application/octet-stream'});
  res.end(fs.readFileSync(file));
});
await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
const base = option('url', `http://127.0.0.1:${server.address().port}/`);
const browser = await puppeteer.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  headless: true,
  args: ['--no-sandbox', '--autoplay-policy=no-user-gesture-required', '--mute-audio'],
});
try {
  const page = await browser.newPage();
  await page.setViewport({width: width, height: height});
  const cdp = await page.createCDPSession();
  await cdp.send('Performance.enable');
  await cdp.send('Network.enable');
  await cdp.send('Network.emulateNetworkConditions',
                 {offline: false, latency: 40, downloadThroughput: 1.25e6, uploadThroughput: 1.25e6});
  let bytes = 0;
  cdp.on('Network.loadingFinished', (e) => (bytes += e.encodedDataLength));
  // The first picture: the canvas takes the game's size.
  await page.evaluateOnNewDocument(() => {
    const look = () => {
      const c = document.getElementById('canvas');
      if (c && c.width > 300) window.ywFirstPicture = performance.now();
      else requestAnimationFrame(look);
    };
    requestAnimationFrame(look);
  });
  for (const visit of ['first', 'second']) {
    bytes = 0;
    await page.goto(base, {waitUntil: 'networkidle0', timeout: 120000});
    const at = await page.evaluate(() => window.ywFirstPicture);
    console.log(`${visit} visit: first picture after ${(at / 1000).toFixed(2)} s; ` +
                `${(bytes / 1e6).toFixed(2)} MB downloaded until the network is quiet`);
  }
  await cdp.send('Network.emulateNetworkConditions',
                 {offline: false, latency: 0, downloadThroughput: -1, uploadThroughput: -1});
  await page.goto(`${base}?seed=1&play=${game}`);
  await page.waitForFunction(() => window.yw && window.yw.engine, {timeout: 30000});
  // Through the game's opening messages to the map.
  const mode = () => page.evaluate(() => (window.yw.dumpState() || {}).GameMode);
  for (let i = 0; i < 60 && (await mode()) !== 6; ++i) {
    if ((await mode()) === 5) await page.keyboard.press('Enter');
    await sleep(400);
  }
  if ((await mode()) !== 6) throw new Error('the game did not reach its map');
  await sleep(1500);

  const busy = async () => {
    const {metrics} = await cdp.send('Performance.getMetrics');
    return metrics.find((m) => m.name === 'TaskDuration').value;
  };
  const before = await busy();
  const started = Date.now();
  await sleep(5000);
  const standing = (await busy() - before) / ((Date.now() - started) / 1000);

  await page.evaluate(() => {
    window.ywPictures = [];
    const present = window.yw.present;
    window.yw.present = function () {
      window.ywPictures.push(performance.now());
      return present.apply(this, arguments);
    };
  });
  const from = await page.evaluate(() => window.yw.dumpState());
  const walkStart = await busy();
  const walkStarted = Date.now();
  const steps = new Set();
  for (const key of ['ArrowDown', 'ArrowUp', 'ArrowDown', 'ArrowUp']) {
    await page.keyboard.down(key);
    for (let i = 0; i < 5; ++i) {
      await sleep(250);
      const s = await page.evaluate(() => window.yw.dumpState());
      steps.add(s.PlayerPosX + ',' + s.PlayerPosY);
    }
    await page.keyboard.up(key);
  }
  const walking = (await busy() - walkStart) / ((Date.now() - walkStarted) / 1000);
  const times = await page.evaluate(() => window.ywPictures);
  const gaps = times.slice(1).map((t, i) => t - times[i]).sort((a, b) => a - b);
  const at = (q) => gaps[Math.min(gaps.length - 1, Math.floor(q * gaps.length))] || NaN;
  console.log(`page: ${option('url', site)}, ${game}, ${width}x${height}`);
  console.log(`standing: main thread busy ${(100 * standing).toFixed(1)}% of the time`);
  console.log(`walking: main thread busy ${(100 * walking).toFixed(1)}%; ${times.length} ` +
              `pictures in 5 s, gaps median ${at(0.5).toFixed(1)} ms, 95th percentile ` +
              `${at(0.95).toFixed(1)} ms, largest ${at(1).toFixed(1)} ms; ` +
              `${steps.size} places stood on from ${from.PlayerPosX},${from.PlayerPosY}`);
} finally {
  await browser.close();
  server.close();
}
