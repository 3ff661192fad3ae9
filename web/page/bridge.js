// The page's side of web/bridge.cpp: a form of the WebAssembly module behind
// a handle of its own, so that one module may hold several. Bytes cross as
// a pointer and a length both ways, never as a C string, so a NUL or a byte
// that is not UTF-8 arrives whole.
'use strict';
// eslint-disable-next-line no-unused-vars
const ArrivalsBridge = (() => {
  const S = SceneFormat;
  const decoder = new TextDecoder(), encoder = new TextEncoder();

  class Form {
    constructor(module) {
      this.M = module;
      this.handle = 0;
    }

    // `bytes` copied into the module's memory for the length of `f`.
    withBytes(bytes, f) {
      const M = this.M;
      const p = M._malloc(Math.max(1, bytes.length));
      M.HEAPU8.set(bytes, p);
      try { return f(p, bytes.length); } finally { M._free(p); }
    }

    // A new run: `seed` (bytes, or null for none), `script` (bytes); with
    // `recover`, the form as `load` leaves it and no script.
    start(seed, script, recover = false) {
      const flags = (seed ? 1 << S.startFlag.seeded : 0) |
        (recover ? 1 << S.startFlag.recover : 0);
      this.handle = this.withBytes(seed || new Uint8Array(0), (sp, sn) =>
        this.withBytes(script || new Uint8Array(0), (p, n) =>
          this.M._web_start(this.handle, flags, sp, sn, p, n)));
    }

    close() {
      if (this.handle) this.M._web_start(this.handle, 1 << S.startFlag.close, 0, 0, 0, 0);
      this.handle = 0;
    }

    // -1 while the script has more to play, otherwise its status.
    play(cancel = false) { return this.M._web_play(this.handle, cancel ? 1 : 0); }

    // An event by its name (SceneFormat.event); `text` for a box typed in.
    // Most events (the timer's) carry no text, and cross with no copy.
    event(name, arg = 0, text = '') {
      if (text === '') {
        this.M._web_event(this.handle, S.event[name], arg, 0, 0);
        return;
      }
      const bytes = encoder.encode(text);
      this.withBytes(bytes, (p, n) => this.M._web_event(this.handle, S.event[name], arg, p, n));
    }

    // -1 while there is more to do, otherwise the trace's status.
    trace(op) { return this.M._web_trace(this.handle, S.trace[op]); }

    // The bytes of `what` (SceneFormat.take), a copy the page may keep.
    take(what) {
      const M = this.M;
      const r = M._web_take(this.handle, S.take[what]) >> 2;
      const p = M.HEAPU32[r + S.reply.bytes], n = M.HEAPU32[r + S.reply.byteCount];
      return M.HEAPU8.slice(p, p + n);
    }
    // Asked after every event, the timer's too: nothing taken makes no copy.
    takeText(what) {
      const M = this.M;
      const r = M._web_take(this.handle, S.take[what]) >> 2;
      const p = M.HEAPU32[r + S.reply.bytes], n = M.HEAPU32[r + S.reply.byteCount];
      return n === 0 ? '' : decoder.decode(M.HEAPU8.subarray(p, p + n));
    }
    progress() {
      const r = this.M._web_take(this.handle, S.take.progress);
      return this.M.HEAPF64[(r + 4 * S.reply.number) >> 3];
    }
    // The same in words: the line and the ticks done.
    progressText() { return this.takeText('progressText'); }

    // What to show now: the scene's records, texts and changes (views into
    // the module's memory, good until the next call), the controls when
    // they changed, the timer and the view.
    frame(full = false) {
      const M = this.M, f = S.frame;
      const w = M._web_frame(this.handle, full ? 1 : 0) >> 2;
      const u = M.HEAPU32, word = (name) => u[w + f[name]];
      const floats = (at, count) => M.HEAPF32.subarray(at >> 2, (at >> 2) + count);
      const controlBytes = word('controlBytes');
      return {
        n: floats(word('numbers'), word('numberCount')),
        texts: M.HEAPU8.subarray(word('texts'), word('texts') + word('textBytes')),
        changes: floats(word('changes'), word('changeCount') * S.changeSize),
        full: word('full') !== 0,
        controls: controlBytes ? JSON.parse(decoder.decode(
          M.HEAPU8.subarray(word('controls'), word('controls') + controlBytes))) : null,
        timer: word('timer') !== 0,
        view: word('view'),
        graphsVersion: word('graphsVersion'),
      };
    }
  }

  return { Form };
})();
