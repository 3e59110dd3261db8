// The page side of the web back end, prepended to the program's JavaScript:
// the command line from the page's address, the saves kept in the browser's
// IndexedDB, the game library chosen in the page (web_library.js), the canvas, picture decoding, yielding to the browser and the
// Web Audio sound device. Everything hangs off Module.yw.
Module.yw = (function () {
  'use strict';
  const yw = {};

  // ?seed=5&play=games/x becomes --seed 5 --play games/x.
  const args = [];
  new URLSearchParams(window.location.search).forEach(function (value, name) {
    args.push('--' + name);
    if (value !== '') args.push(value);
  });
  Module.arguments = args;

  // Saves. The program folder /data comes from the packed data; whatever
  // the game writes under it is mirrored into /saves, an IndexedDB folder,
  // and copied back over /data at the next start. A chosen game library
  // (web_library.js) is played from /library and mirrored into /chosen.
  const kData = '/data';
  const kSaves = '/saves';
  const library = Module.ywLibrary;
  const mirrors = [[kData, kSaves], ...library.mirrors];
  const written = new Set();
  let syncing = false;
  let syncAgain = false;

  function mirrorOf(path) {
    if (typeof path !== 'string') return null;
    // (No destructuring in the loop: Emscripten's minifier drops it.)
    for (const m of mirrors)
      if (path.startsWith(m[0] + '/')) return m[1] + path.slice(m[0].length);
    return null;
  }
  function watchWrites() {
    const inData = function (path) {
      return mirrorOf(path) !== null;
    };
    const close = FS.close;
    FS.close = function (stream) {
      const writing = (stream.flags & 3) !== 0;  // O_WRONLY or O_RDWR
      const path = stream.path;
      const result = close.apply(this, arguments);
      if (writing && inData(path)) written.add(path);
      return result;
    };
    const rename = FS.rename;
    FS.rename = function (from, to) {
      const result = rename.apply(this, arguments);
      if (inData(from)) written.add(from);
      if (inData(to)) written.add(to);
      return result;
    };
    const unlink = FS.unlink;
    FS.unlink = function (path) {
      const result = unlink.apply(this, arguments);
      if (inData(path)) written.add(path);
      return result;
    };
  }
  function sync() {
    if (syncing) {
      syncAgain = true;
      return;
    }
    syncing = true;
    FS.syncfs(false, function (err) {
      if (err) console.error('yarrowind: the saves could not be stored', err);
      syncing = false;
      yw.syncCount = (yw.syncCount || 0) + 1;
      if (syncAgain) {
        syncAgain = false;
        sync();
      }
    });
  }
  // Called after every yield to the browser: what the game wrote since the
  // last call is copied to the IndexedDB folder and stored.
  yw.flushSaves = function () {
    if (written.size === 0) return;
    for (const path of written) {
      const mirror = mirrorOf(path);
      if (ywIsFile(path)) {
        ywMakeFolders(mirror);
        FS.writeFile(mirror, FS.readFile(path));
      } else if (ywIsFile(mirror)) {
        FS.unlink(mirror);
      }
    }
    written.clear();
    sync();
  };
  // Whether every save made so far has reached IndexedDB.
  yw.savesStored = function () {
    return written.size === 0 && !syncing;
  };

  Module.preRun = Module.preRun || [];
  Module.preRun.push(function () {
    FS.mkdir(kSaves);
    FS.mount(IDBFS, {}, kSaves);
    library.mount();
    addRunDependency('yw-saves');
    FS.syncfs(true, function (err) {
      if (err) console.error('yarrowind: the saves could not be read', err);
      removeRunDependency('yw-saves');
    });
  });
  Module.preInit = Module.preInit || [];
  const previousInit = Module.onRuntimeInitialized;
  Module.onRuntimeInitialized = function () {
    // The packed data is in place now: the saves go over it, and the
    // program runs on the bundled folder or on the chosen library.
    ywCopyTree(kSaves, kData);
    const root = library.programFolder(kData);
    args.push('--root', root);
    watchWrites();
    library.bind(yw.showMessage, root);
    bindPictureChoice();
    Module.ywTouch.bind();
    if (previousInit) previousInit();
  };

  // Yielding. The loop runs a turn a frame of the browser's (the callback
  // of requestAnimationFrame), and none sooner than gapMs after the last
  // (the game's frame limit on a faster display); gapMs < 0 comes back at
  // once, by a message to ourselves. A hidden page gets no frames: its
  // game goes on at a few turns a second.
  const channel = new MessageChannel();
  let wake = null;
  channel.port1.onmessage = function () {
    const w = wake;
    wake = null;
    if (w) w();
  };
  function nextFrame() {
    return new Promise(function (resolve) {
      let timer = 0;
      const frame = requestAnimationFrame(function (t) {
        clearTimeout(timer);
        resolve(t);
      });
      timer = setTimeout(function () {
        cancelAnimationFrame(frame);
        resolve(performance.now());
      }, 250);
    });
  }
  let lastFrame = -Infinity;
  yw.yieldToBrowser = async function (gapMs) {
    if (gapMs < 0) {
      return new Promise(function (resolve) {
        wake = resolve;
        channel.port2.postMessage(0);
      });
    }
    let t = await nextFrame();
    // (A frame comes every 16.7 ms at 60 Hz: a 60 fps limit takes each.)
    while (t - lastFrame < gapMs - 3 && t >= lastFrame) t = await nextFrame();
    lastFrame = t;
  };

  // The canvas holds the game-sized frame; CSS scales it into the game
  // area (#screen: the page above the bar, less the touch controls).
  let context = null;
  let shown = null;
  yw.firstPicture = new Promise(function (resolve) {
    shown = resolve;
  });
  yw.present = function (rgba, width, height) {
    const canvas = Module.canvas;
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
      context = null;
    }
    if (!context) context = canvas.getContext('2d', {alpha: false});
    context.putImageData(new ImageData(new Uint8ClampedArray(rgba), width, height), 0, 0);
    shown();
  };
  // The page's files are kept for the next visit and an offline one
  // (service_worker.js), fetched once the game is on screen.
  yw.firstPicture.then(function () {
    if ('serviceWorker' in navigator && window.isSecureContext)
      navigator.serviceWorker.register('service_worker.js').catch(function () {});
  });
  yw.gameArea = function () {
    const screen = document.getElementById('screen');
    return {width: screen.clientWidth, height: screen.clientHeight};
  };
  yw.placeCanvas = function (x, y, width, height) {
    const s = Module.canvas.style;
    s.left = x + 'px';
    s.top = y + 'px';
    s.width = width + 'px';
    s.height = height + 'px';
  };
  // The picture setting, kept in the browser as the desktop keeps it in
  // its settings: 0 pixel-perfect, 1 fill (the default), 2 stretch.
  const kFits = ['pixel-perfect', 'fill', 'stretch'];
  const kFitKey = 'yarrowind-picture';
  yw.pictureFit = function () {
    let chosen = null;
    try {
      chosen = window.localStorage.getItem(kFitKey);
    } catch (e) {
      // storage refused: the default
    }
    const i = kFits.indexOf(chosen);
    return i < 0 ? 1 : i;
  };
  function bindPictureChoice() {
    const choice = document.getElementById('picture');
    choice.value = kFits[yw.pictureFit()];
    choice.addEventListener('change', function () {
      try {
        window.localStorage.setItem(kFitKey, choice.value);
      } catch (e) {
        // kept for this visit only
      }
      choice.blur();
      window.dispatchEvent(new Event('resize'));
    });
  }
  // A line for the player under the game (a library that cannot be read).
  yw.showMessage = function (text, isProblem) {
    const note = document.getElementById('message');
    note.textContent = text;
    note.className = isProblem ? 'problem' : '';
  };
  yw.messageBox = function (text) {
    console.error('yarrowind: ' + text);
    window.alert(text);
  };

  // Pictures are decoded by the browser, as they are: no colour management,
  // no premultiplied alpha.
  function pictureType(b) {
    if (b[0] === 0x42 && b[1] === 0x4d) return 'image/bmp';
    if (b[0] === 0xff && b[1] === 0xd8) return 'image/jpeg';
    if (b[0] === 0x89 && b[1] === 0x50) return 'image/png';
    return '';
  }
  yw.picture = null;
  yw.decodePicture = async function (bytes) {
    yw.picture = null;
    try {
      const blob = new Blob([bytes], {type: pictureType(bytes)});
      const bitmap = await createImageBitmap(
          blob, {colorSpaceConversion: 'none', premultiplyAlpha: 'none'});
      const canvas = new OffscreenCanvas(bitmap.width, bitmap.height);
      const ctx = canvas.getContext('2d', {willReadFrequently: true});
      ctx.drawImage(bitmap, 0, 0);
      yw.picture = ctx.getImageData(0, 0, bitmap.width, bitmap.height);
      bitmap.close();
      return 1;
    } catch (e) {
      return 0;
    }
  };

  // The running engine, for the page's tools (the browser test reads its
  // state through yw.dumpState()).
  yw.engine = 0;
  yw.running = function (engine) {
    yw.engine = engine;
  };
  yw.dumpState = function () {
    if (!yw.engine) return null;
    const text = Module._yw_dump_state(yw.engine);
    const state = JSON.parse(UTF8ToString(text));
    Module._free(text);
    return state;
  };
  yw.ended = function (code) {
    yw.exitCode = code;
    const note = document.getElementById('status');
    if (note) note.textContent = 'The game has ended. Reload the page to play again.';
  };

  yw.audio = makeAudio();
  window.yw = yw;
  return yw;
})();
