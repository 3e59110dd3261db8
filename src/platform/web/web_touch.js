// Playing on a touch screen: a d-pad and the buttons Esc, Space and Enter,
// shown only where the device has touch (the page lays them out below the
// picture or beside it, shell.html). They press the game's keys through the
// page's own key events, as the keyboard does. A tap on the picture is read
// by the program (yw_tap): Enter on the title or a message, the entry
// tapped in a list.
Module.ywTouch = (function () {
  'use strict';
  const touch = {};
  touch.present = 'ontouchstart' in window || navigator.maxTouchPoints > 0;

  function send(type, key) {
    window.dispatchEvent(new KeyboardEvent(type, {key: key, bubbles: true, cancelable: true}));
  }
  // The key each finger holds down (by pointer id).
  const held = new Map();
  function hold(id, key, shown) {
    const was = held.get(id);
    if (was && was.key === key) return;
    if (was) {
      send('keyup', was.key);
      was.shown.classList.remove('on');
      held.delete(id);
    }
    if (!key) return;
    held.set(id, {key: key, shown: shown});
    shown.classList.add('on');
    send('keydown', key);
  }

  // The d-pad: the direction is the finger's from the cross's centre, so a
  // finger sliding round it turns the walker.
  function bindCross(cross) {
    const arms = {};
    for (const arm of cross.querySelectorAll('[data-key]')) arms[arm.dataset.key] = arm;
    const direction = function (ev) {
      const r = cross.getBoundingClientRect();
      const dx = ev.clientX - (r.left + r.width / 2), dy = ev.clientY - (r.top + r.height / 2);
      if (Math.hypot(dx, dy) < r.width * 0.12) return null;
      if (Math.abs(dx) > Math.abs(dy)) return dx < 0 ? 'ArrowLeft' : 'ArrowRight';
      return dy < 0 ? 'ArrowUp' : 'ArrowDown';
    };
    const follow = (ev) => hold(ev.pointerId, direction(ev), arms[direction(ev)]);
    cross.addEventListener('pointerdown', function (ev) {
      ev.preventDefault();
      cross.setPointerCapture(ev.pointerId);
      follow(ev);
    });
    cross.addEventListener('pointermove', function (ev) {
      if (cross.hasPointerCapture(ev.pointerId)) follow(ev);
    });
    for (const type of ['pointerup', 'pointercancel', 'lostpointercapture'])
      cross.addEventListener(type, (ev) => hold(ev.pointerId, null));
  }

  function bindButton(button) {
    button.addEventListener('pointerdown', function (ev) {
      ev.preventDefault();
      button.setPointerCapture(ev.pointerId);
      hold(ev.pointerId, button.dataset.key, button);
    });
    for (const type of ['pointerup', 'pointercancel', 'lostpointercapture'])
      button.addEventListener(type, (ev) => hold(ev.pointerId, null));
  }

  // Keys pressed for a tap, one after the other, each long enough for the
  // game's next turn to see it.
  let pressing = Promise.resolve();
  const sleep = (ms) => new Promise((r) => setTimeout(r, ms));
  function press(keys) {
    pressing = pressing.then(async function () {
      for (const key of keys) {
        send('keydown', key);
        await sleep(50);
        send('keyup', key);
        await sleep(70);
      }
    });
  }

  function bindTaps(canvas) {
    const downs = new Map();
    canvas.addEventListener('pointerdown', function (ev) {
      downs.set(ev.pointerId, {x: ev.clientX, y: ev.clientY, t: performance.now()});
    });
    canvas.addEventListener('pointerup', function (ev) {
      const down = downs.get(ev.pointerId);
      downs.delete(ev.pointerId);
      const engine = Module.yw.engine;
      if (!down || !engine || performance.now() - down.t > 700) return;
      if (Math.hypot(ev.clientX - down.x, ev.clientY - down.y) > 20) return;
      const r = canvas.getBoundingClientRect();
      const x = Math.floor((ev.clientX - r.left) * canvas.width / r.width);
      const y = Math.floor((ev.clientY - r.top) * canvas.height / r.height);
      if (x < 0 || y < 0 || x >= canvas.width || y >= canvas.height) return;
      const code = Module._yw_tap(engine, x, y);
      if (code === 0) return;
      const rows = (code - 1) / 2;
      const keys = new Array(Math.abs(rows)).fill(rows > 0 ? 'ArrowDown' : 'ArrowUp');
      press(keys.concat(['Enter']));
    });
    canvas.addEventListener('pointercancel', (ev) => downs.delete(ev.pointerId));
  }

  // Called once the page is there: the controls are shown and bound on a
  // touch screen; taps on the picture count everywhere.
  touch.bind = function () {
    bindTaps(Module.canvas);
    // Safari zooms on its own gestures whatever the page's CSS says.
    document.addEventListener('gesturestart', (ev) => ev.preventDefault());
    if (!touch.present) return;
    document.body.classList.add('touch');
    bindCross(document.getElementById('cross'));
    for (const b of document.querySelectorAll('#buttons [data-key]')) bindButton(b);
    window.addEventListener('blur', function () {
      for (const id of Array.from(held.keys())) hold(id, null);
    });
  };
  return touch;
})();
