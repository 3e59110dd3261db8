// The page's sound device: samples played on Web Audio buffer sources, one
// music channel shared by the ambient stream and the MIDI piece. Handles of
// samples, playbacks and streams share one space and are never reused.
// MIDI pieces play through Module.ywMidi (web_midi.js) when the page has a
// synthesizer; without one they fail to open, as on a machine without MIDI.
function makeAudio() {
  'use strict';
  let ctx = null;
  let buses = null;  // {effects, music}: gain nodes into the speakers
  let open = false;
  let nextHandle = 1;
  let nextOrder = 1;
  const samples = new Map();    // handle -> {buffer, max, replace}
  const playbacks = new Map();  // handle -> {sample, source, active, order}
  const streams = new Map();    // handle -> {buffer}
  let music = null;             // {stream, source, active} or {midi: true}
  let midi = null;              // the open piece (Module.ywMidi's object)

  function newHandle() {
    return nextHandle++;
  }
  // Browsers start sound only after the player has touched the page.
  function wakeOnGesture() {
    const resume = function () {
      if (ctx && ctx.state === 'suspended') ctx.resume();
    };
    window.addEventListener('keydown', resume, true);
    window.addEventListener('pointerdown', resume, true);
  }
  async function decode(bytes) {
    try {
      return await ctx.decodeAudioData(bytes.buffer);
    } catch (e) {
      return null;
    }
  }
  function startSource(buffer, loop, bus, onEnded) {
    const source = ctx.createBufferSource();
    source.buffer = buffer;
    source.loop = loop;
    source.connect(bus);
    source.onended = onEnded;
    source.start();
    return source;
  }
  function stopSource(source) {
    try {
      source.stop();
    } catch (e) {
      // already stopped
    }
    source.disconnect();
  }
  function stopMusic() {
    if (!music) return;
    if (music.midi) {
      if (midi) midi.stop();
    } else {
      stopSource(music.source);
    }
    music = null;
  }
  function stopPlayback(p) {
    if (p.active) stopSource(p.source);
    p.active = false;
  }

  const a = {};
  a.context = function () {
    return ctx;
  };
  // The effects and the music (ambient streams and MIDI) each pass through
  // a node of their own on the way to the speakers; a page's tools may
  // listen there.
  a.buses = function () {
    return buses;
  };
  a.init = function () {
    if (open) return 0;
    if (!ctx) {
      const Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) return 0;
      ctx = new Context();
      buses = {effects: ctx.createGain(), music: ctx.createGain()};
      buses.effects.connect(ctx.destination);
      buses.music.connect(ctx.destination);
      wakeOnGesture();
    }
    open = true;
    return 1;
  };
  a.free = function () {
    stopMusic();
    for (const p of playbacks.values()) stopPlayback(p);
    playbacks.clear();
    samples.clear();
    streams.clear();
    if (midi) midi.close();
    midi = null;
    open = false;
  };

  a.sampleLoad = async function (bytes, max, replace) {
    const buffer = await decode(bytes);
    if (!buffer || !open) return 0;
    const h = newHandle();
    samples.set(h, {buffer: buffer, max: max, replace: replace});
    return h;
  };
  a.samplePlay = function (h) {
    const s = samples.get(h);
    if (!s) return 0;
    const active = [];
    for (const p of playbacks.values())
      if (p.sample === h && p.active) active.push(p);
    if (active.length >= s.max) {
      if (!s.replace) return 0;
      let furthest = active[0];
      for (const p of active)
        if (p.order < furthest.order) furthest = p;
      stopPlayback(furthest);
    }
    const p = {sample: h, source: null, active: true, order: nextOrder++};
    p.source = startSource(s.buffer, false, buses.effects, function () {
      p.active = false;
    });
    const handle = newHandle();
    playbacks.set(handle, p);
    return handle;
  };
  a.sampleFree = function (h) {
    if (!samples.has(h)) return 0;
    playbacks.forEach(function (p, handle) {
      if (p.sample !== h) return;
      stopPlayback(p);
      playbacks.delete(handle);
    });
    samples.delete(h);
    return 1;
  };
  a.channelIsActive = function (h) {
    const p = playbacks.get(h);
    if (p) return p.active ? 1 : 0;
    if (streams.has(h)) return music && music.stream === h && music.active ? 1 : 0;
    return 0;
  };
  a.channelStop = function (h) {
    const p = playbacks.get(h);
    if (p) {
      stopPlayback(p);
      return 1;
    }
    if (streams.has(h)) {
      if (music && music.stream === h) stopMusic();
      return 1;
    }
    return 0;
  };

  a.streamCreate = async function (bytes) {
    const buffer = await decode(bytes);
    if (!buffer || !open) return 0;
    const h = newHandle();
    streams.set(h, {buffer: buffer});
    return h;
  };
  a.streamPlay = function (h, loop) {
    const s = streams.get(h);
    if (!s) return 0;
    stopMusic();
    const m = {stream: h, source: null, active: true};
    m.source = startSource(s.buffer, loop, buses.music, function () {
      m.active = false;
    });
    music = m;
    return 1;
  };
  a.streamFree = function (h) {
    if (!streams.has(h)) return 0;
    if (music && music.stream === h) stopMusic();
    streams.delete(h);
    return 1;
  };

  function midiOnChannel() {
    return midi !== null && music !== null && music.midi === true;
  }
  a.midiOpen = async function (bytes) {
    a.midiClose();
    if (!open || !Module.ywMidi) return 0;
    midi = await Module.ywMidi.open(ctx, buses.music, bytes);
    return midi ? 1 : 0;
  };
  a.midiPlay = function (fromMs) {
    if (!midi) return 0;
    stopMusic();
    if (!midi.play(Math.max(0, fromMs))) return 0;
    music = {midi: true};
    return 1;
  };
  a.midiPause = function () {
    if (!midiOnChannel()) return 0;
    midi.pause();
    return 1;
  };
  a.midiResume = function () {
    if (!midiOnChannel()) return 0;
    midi.resume();
    return 1;
  };
  a.midiClose = function () {
    if (!midi) return;
    if (midiOnChannel()) stopMusic();
    midi.close();
    midi = null;
  };
  a.midiPlaying = function () {
    return midiOnChannel() && !midi.finished() ? 1 : 0;
  };
  a.midiLengthMs = function () {
    return midi ? midi.lengthMs() : -1;
  };
  a.midiPositionMs = function () {
    return midi ? midi.positionMs() : -1;
  };
  return a;
}
