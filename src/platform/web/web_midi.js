// MIDI music in the page: FluidSynth (the js-synthesizer package) running in
// an AudioWorklet with the TimGM6mb soundfont, all served from midi/ beside
// the page. Most of the page's weight is the soundfont: it is fetched only
// when a game opens a MIDI piece, and not before the game's first picture. The piece's length and the playing position come from its own
// tempo map, read here, and the audio clock; without the synthesizer files
// or AudioWorklet support a piece fails to open, as on a machine without a
// MIDI device.
Module.ywMidi = (function () {
  'use strict';
  const kFolder = 'midi/';
  let loading = null;  // Promise of the synthesizer, or of null
  let queue = Promise.resolve();  // the synthesizer's commands, in order

  function later(step) {
    queue = queue.then(step).catch(function (e) {
      console.warn('yarrowind: MIDI:', e);
    });
  }

  function loadScript(src) {
    return new Promise(function (resolve, reject) {
      const script = document.createElement('script');
      script.src = src;
      script.onload = resolve;
      script.onerror = reject;
      document.head.appendChild(script);
    });
  }

  async function loadSynth(ctx, output) {
    try {
      if (!ctx.audioWorklet) return null;
      await Module.yw.firstPicture;
      if (typeof JSSynth === 'undefined') await loadScript(kFolder + 'js-synthesizer.min.js');
      await ctx.audioWorklet.addModule(kFolder + 'libfluidsynth.js');
      await ctx.audioWorklet.addModule(kFolder + 'js-synthesizer.worklet.min.js');
      const response = await fetch(kFolder + 'TimGM6mb.sf2');
      if (!response.ok) return null;
      const soundfont = await response.arrayBuffer();
      const synth = new JSSynth.AudioWorkletNodeSynthesizer();
      synth.init(ctx.sampleRate);
      const node = synth.createAudioNode(ctx);
      node.connect(output);
      await synth.loadSFont(soundfont);
      return synth;
    } catch (e) {
      console.warn('yarrowind: no MIDI synthesizer:', e);
      return null;
    }
  }

  // The tempo map of a standard MIDI file: milliseconds at a tick and
  // back, and the length. Null when the bytes are not a MIDI file.
  function readTempoMap(b) {
    const text = function (at) {
      return String.fromCharCode(b[at], b[at + 1], b[at + 2], b[at + 3]);
    };
    const u32 = function (at) {
      return ((b[at] << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3]) >>> 0;
    };
    if (b.length < 14 || text(0) !== 'MThd') return null;
    const tracks = (b[10] << 8) | b[11];
    const division = (b[12] << 8) | b[13];
    // Ticks per quarter note, or (SMPTE) a fixed number of ticks a second.
    const smpte = (division & 0x8000) !== 0;
    const ticksPerSecond = smpte ? (256 - b[12]) * b[13] : 0;
    const tempos = [{tick: 0, us: 500000}];
    let endTick = 0;
    let at = 8 + u32(4);
    for (let t = 0; t < tracks && at + 8 <= b.length; ++t) {
      const end = Math.min(b.length, at + 8 + u32(at + 4));
      if (text(at) !== 'MTrk') break;
      let p = at + 8;
      let tick = 0;
      let status = 0;
      const varLen = function () {
        let v = 0;
        for (let i = 0; i < 4 && p < end; ++i) {
          const c = b[p++];
          v = (v << 7) | (c & 0x7f);
          if (!(c & 0x80)) break;
        }
        return v;
      };
      while (p < end) {
        tick += varLen();
        if (p >= end) break;
        if (b[p] & 0x80) status = b[p++];
        if (status === 0xff) {
          const type = b[p++];
          const len = varLen();
          if (type === 0x51 && len === 3 && p + 3 <= end)
            tempos.push({tick: tick, us: (b[p] << 16) | (b[p + 1] << 8) | b[p + 2]});
          p += len;
          if (type === 0x2f) break;
        } else if (status === 0xf0 || status === 0xf7) {
          p += varLen();
        } else {
          const kind = status & 0xf0;
          p += kind === 0xc0 || kind === 0xd0 ? 1 : 2;
        }
      }
      endTick = Math.max(endTick, tick);
      at = end;
    }
    tempos.sort(function (x, y) {
      return x.tick - y.tick;
    });
    const msPerTick = function (us) {
      return smpte ? 1000 / ticksPerSecond : us / 1000 / Math.max(division, 1);
    };
    // Each tempo change with the milliseconds at which it starts.
    let ms = 0;
    for (let i = 0; i < tempos.length; ++i) {
      if (i > 0) ms += (tempos[i].tick - tempos[i - 1].tick) * msPerTick(tempos[i - 1].us);
      tempos[i].ms = ms;
    }
    const segmentAt = function (key, value) {
      let s = tempos[0];
      for (const x of tempos)
        if (x[key] <= value) s = x;
      return s;
    };
    const msAt = function (tick) {
      const s = segmentAt('tick', tick);
      return s.ms + (tick - s.tick) * msPerTick(s.us);
    };
    const tickAt = function (ms) {
      const s = segmentAt('ms', ms);
      return Math.round(s.tick + (ms - s.ms) / msPerTick(s.us));
    };
    return {lengthMs: msAt(endTick), tickAt: tickAt};
  }

  return {
    // A piece opens at once; the synthesizer plays it as soon as it has
    // loaded (the first piece of a session may start late).
    open: async function (ctx, output, bytes) {
      const map = readTempoMap(bytes);
      if (!map) return null;
      if (!loading) loading = loadSynth(ctx, output);
      let synth = null;
      const withSynth = function (step) {
        later(async function () {
          synth = await loading;
          if (synth) await step();
        });
      };
      let startedAt = 0;  // audio clock (s) at which position 0 would have been
      let pausedAt = -1;  // position (ms) while paused
      let playing = false;
      const position = function () {
        if (!playing) return 0;
        if (pausedAt >= 0) return pausedAt;
        return Math.min(map.lengthMs, (ctx.currentTime - startedAt) * 1000);
      };
      const stop = function () {
        if (!playing) return;
        playing = false;
        withSynth(async function () {
          synth.stopPlayer();
          synth.midiAllSoundsOff();
          await synth.resetPlayer();
        });
      };
      return {
        play: function (fromMs) {
          stop();
          playing = true;
          pausedAt = -1;
          startedAt = ctx.currentTime - fromMs / 1000;
          withSynth(async function () {
            await synth.addSMFDataToPlayer(bytes.slice().buffer);
            if (fromMs > 0) synth.seekPlayer(map.tickAt(fromMs));
            await synth.playPlayer();
          });
          return true;
        },
        pause: function () {
          if (!playing || pausedAt >= 0) return;
          pausedAt = position();
          withSynth(function () {
            synth.stopPlayer();
            synth.midiAllNotesOff();
          });
        },
        resume: function () {
          if (!playing || pausedAt < 0) return;
          startedAt = ctx.currentTime - pausedAt / 1000;
          pausedAt = -1;
          withSynth(function () {
            return synth.playPlayer();
          });
        },
        stop: stop,
        close: stop,
        finished: function () {
          return !playing || position() >= map.lengthMs;
        },
        lengthMs: function () {
          return map.lengthMs;
        },
        positionMs: position,
      };
    },
  };
})();
