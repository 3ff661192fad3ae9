// The browser edition's page: the form's real controls, its canvas, the
// timer, the URL fragment and the row of commands, over the WebAssembly
// module (the form, the script language and the scene of web/bridge.cpp).
'use strict';
(function () {
  const W = 844, H = 645;
  const $ = (id) => document.getElementById(id);
  const canvas = $('canvas'), moving = $('moving'), controlsDiv = $('controls'), formDiv = $('form');
  const dumpsPre = $('dumps'), statusDiv = $('status'), notice = $('notice');
  const dialog = $('message');
  const encoder = new TextEncoder(), decoder = new TextDecoder();

  let M = null;          // the module
  let timer = 0;         // the interval of tmrMain, or 0 while it is off
  let playing = null;    // the script being played in slices
  let scale = 1;
  let stillVersion = -1, stillScale = 0;
  let controls = null;   // the last controls JSON, parsed
  let controlsText = '';
  let seedText = null;   // seed= of the fragment, or the page's own
  let firstFrame = false;
  let formReady = false; // the module has a form to paint

  // --- Strings in and out of the module -------------------------------------
  function withBytes(bytes, f) {
    const p = M._malloc(bytes.length + 1);
    M.HEAPU8.set(bytes, p);
    M.HEAPU8[p + bytes.length] = 0;
    try { return f(p, bytes.length); } finally { M._free(p); }
  }
  const str = (p) => M.UTF8ToString(p);

  // --- The fragment ----------------------------------------------------------
  // NAME=VALUE pairs separated by "&"; each VALUE percent-decoded into bytes
  // and nothing else. Throws a one-line message for bad percent-encoding.
  function readFragment(hash) {
    const out = {};
    const text = hash.startsWith('#') ? hash.slice(1) : hash;
    if (text === '') return out;
    for (const pair of text.split('&')) {
      const eq = pair.indexOf('=');
      if (eq < 0) continue;
      const name = pair.slice(0, eq);
      if (name !== 'seed' && name !== 'script' && name !== 'bare') continue;
      out[name] = percentDecode(name, pair.slice(eq + 1));
    }
    return out;
  }

  function percentDecode(name, value) {
    // The fragment is ASCII as the browser keeps it; anything else is
    // taken as its UTF-8 bytes.
    const src = encoder.encode(value);
    const out = new Uint8Array(src.length);
    let n = 0;
    const hex = (c) => (c >= 48 && c <= 57) ? c - 48
      : (c >= 65 && c <= 70) ? c - 55 : (c >= 97 && c <= 102) ? c - 87 : -1;
    for (let i = 0; i < src.length; ++i) {
      if (src[i] !== 37) { out[n++] = src[i]; continue; }
      const hi = i + 1 < src.length ? hex(src[i + 1]) : -1;
      const lo = i + 2 < src.length ? hex(src[i + 2]) : -1;
      if (hi < 0 || lo < 0)
        throw new Error(`${name}=: bad percent-encoding at character ${i + 1}`);
      out[n++] = hi * 16 + lo;
      i += 2;
    }
    return out.subarray(0, n);
  }

  // --- Scale ----------------------------------------------------------------
  function layout() {
    const bare = document.body.classList.contains('bare');
    const below = bare ? 0 : $('commands').offsetHeight + notice.offsetHeight;
    const s = Math.max(0.1, Math.min(innerWidth / W, (innerHeight - below) / H));
    scale = s;
    const dpr = devicePixelRatio || 1;
    formDiv.style.width = W * s + 'px';
    formDiv.style.height = H * s + 'px';
    formDiv.style.marginLeft = Math.max(0, (innerWidth - W * s) / 2) + 'px';
    for (const c of [canvas, moving]) {
      c.style.width = W * s + 'px';
      c.style.height = H * s + 'px';
      c.width = Math.round(W * s * dpr);
      c.height = Math.round(H * s * dpr);
    }
    controlsDiv.style.transform = s === 1 ? '' : `scale(${s})`;
    if (formReady && !playing) paint(true);
  }

  // --- Painting ---------------------------------------------------------------
  const FONT = '"MS Sans Serif", "Liberation Sans", Arial, Helvetica, sans-serif';
  const rgb = (c) => '#' + (c | 0).toString(16).padStart(6, '0');

  // Device pixels of a CSS pixel edge: whole, so edges stay crisp.
  function painter(ctx, k) {
    const d = (v) => Math.round(v * k);
    const rect = (x, y, w, h, colour) => {
      const x0 = d(x), y0 = d(y);
      ctx.fillStyle = colour;
      ctx.fillRect(x0, y0, d(x + w) - x0, d(y + h) - y0);
    };
    return {
      rect,
      shape(n, i) {
        const x = n[i + 2], y = n[i + 3], w = n[i + 4], h = n[i + 5];
        const filled = n[i + 6], fill = rgb(n[i + 7]), o = n[i + 8], ink = rgb(n[i + 9]);
        if (n[i] === 1) {
          if (filled) rect(x + o, y + o, w - 2 * o, h - 2 * o, fill);
          if (o > 0) {
            rect(x, y, w, o, ink); rect(x, y + h - o, w, o, ink);
            rect(x, y + o, o, h - 2 * o, ink); rect(x + w - o, y + o, o, h - 2 * o, ink);
          }
          return;
        }
        const half = o / 2;
        ctx.beginPath();
        ctx.ellipse(d(x) + (d(x + w) - d(x)) / 2, d(y) + (d(y + h) - d(y)) / 2,
          Math.max(0, (d(x + w) - d(x)) / 2 - half * k),
          Math.max(0, (d(y + h) - d(y)) / 2 - half * k), 0, 0, 2 * Math.PI);
        if (filled) { ctx.fillStyle = fill; ctx.fill(); }
        if (o > 0) { ctx.lineWidth = o * k; ctx.strokeStyle = ink; ctx.stroke(); }
      },
      line(n, i) {
        const w = n[i + 6], lw = Math.max(1, Math.round(w * k));
        // A line of whole device pixels: its centre on a pixel's middle when
        // its width is odd.
        const off = lw % 2 ? 0.5 : 0;
        ctx.beginPath();
        ctx.lineWidth = lw;
        ctx.lineCap = 'round';
        ctx.strokeStyle = '#000';
        ctx.moveTo(d(n[i + 2]) + off, d(n[i + 3]) + off);
        ctx.lineTo(d(n[i + 4]) + off, d(n[i + 5]) + off);
        ctx.stroke();
      },
      text(n, i, caption) {
        const x = n[i + 2], y = n[i + 3], w = n[i + 4], h = n[i + 5];
        if (n[i + 9]) rect(x, y, w, h, '#e0e0e0');
        if (!caption) return;
        ctx.font = `${n[i + 7] ? 'bold ' : ''}${n[i + 6] * k}px ${FONT}`;
        const m = ctx.measureText(caption);
        const bw = d(x + w) - d(x);
        const tw = Math.min(m.width, bw);
        const left = n[i + 8] ? d(x) + (bw - tw) / 2 : d(x);
        const ascent = m.fontBoundingBoxAscent || n[i + 6] * k * 0.905;
        ctx.save();
        ctx.beginPath();
        ctx.rect(d(x), d(y), bw, d(y + h) - d(y));
        ctx.clip();
        ctx.fillStyle = '#000';
        ctx.textBaseline = 'alphabetic';
        // A caption wider than its box is narrowed to fit, as the window's.
        ctx.fillText(caption, left, d(y) + Math.round(ascent), bw);
        ctx.restore();
      },
      logo(n, i) {
        // The wordmark from its vector form: crisp at every scale.
        const x = n[i + 2], y = n[i + 3];
        ctx.save();
        ctx.translate(d(x), d(y));
        ctx.scale(k, k);
        ctx.fillStyle = 'rgb(44,44,150)';
        ctx.font = 'bold 40px "Liberation Serif", "Times New Roman", Times, serif';
        ctx.textBaseline = 'middle';
        ctx.fillText('Arrivals', 6, 27);
        ctx.fillRect(178, 31, 106, 1.6);
        ctx.beginPath();
        ctx.moveTo(294, 31.8); ctx.lineTo(282, 26.5); ctx.lineTo(282, 37.1);
        ctx.fill();
        for (const t of [186, 201, 207, 234, 261]) ctx.fillRect(t, 19, 1.6, 12);
        ctx.restore();
      },
    };
  }

  const SIZE = { 1: 10, 2: 10, 3: 7, 4: 11, 5: 6 };

  function walk(n, layer, texts, p) {
    for (let i = 0; i < n.length; i += SIZE[n[i]]) {
      if (n[i + 1] !== layer) continue;
      switch (n[i]) {
        case 1: case 2: p.shape(n, i); break;
        case 3: p.line(n, i); break;
        case 4: p.text(n, i, texts[n[i + 10]]); break;
        case 5: p.logo(n, i); break;
      }
    }
  }

  let sceneTexts = [], textsVersion = -1;
  function scene() {
    const ptr = M._web_scene(), size = M._web_scene_size();
    const n = M.HEAPF32.subarray(ptr >> 2, (ptr >> 2) + size);
    const version = M._web_scene_texts_version();
    if (version !== textsVersion) {
      sceneTexts = str(M._web_scene_texts()).split('\x1f');
      textsVersion = version;
    }
    return { n, version };
  }

  // The form on two canvases: the still layer (ground, lines, labels, logo)
  // repainted only when one of its items changes, and over it the moving
  // layer, where a tick repaints the track when a marker or the count moved,
  // and the bars that changed, with the lines they stand on over them.
  let prevTrack = null, prevBars = null;
  const same = (a, b) => {
    if (!a || a.length !== b.length) return false;
    for (let i = 0; i < a.length; ++i) if (a[i] !== b[i]) return false;
    return true;
  };

  function paintStill(ctx, k, n) {
    ctx.fillStyle = '#e0e0e0';
    ctx.fillRect(0, 0, ctx.canvas.width, ctx.canvas.height);
    walk(n, 0, sceneTexts, painter(ctx, k));
  }

  function paint(force) {
    const s = scene(), n = s.n, k = canvas.width / W;
    if (force || s.version !== stillVersion || stillScale !== k) {
      paintStill(canvas.getContext('2d', { alpha: false }), k, n);
      stillVersion = s.version; stillScale = k;
      force = true;
    }
    const ctx = moving.getContext('2d');
    const p = painter(ctx, k);
    const d = (v) => Math.round(v * k);
    // The moving items: markers and the count on the track, and the bars.
    const track = [], bars = [];
    for (let i = 0; i < n.length; i += SIZE[n[i]]) {
      if (n[i + 1] !== 1) continue;
      (n[i] === 1 ? bars : track).push(i);
    }
    const pack = (list) => {
      const out = new Float32Array(list.length * 11);
      list.forEach((i, j) => out.set(n.subarray(i, i + SIZE[n[i]]), j * 11));
      return out;
    };
    const nowTrack = pack(track), nowBars = pack(bars);
    if (force) ctx.clearRect(0, 0, moving.width, moving.height);
    if (force || !same(prevTrack, nowTrack)) {
      let bottom = 0;
      for (const a of [prevTrack, nowTrack])
        if (a) for (let j = 0; j < a.length; j += 11) bottom = Math.max(bottom, a[j + 3] + a[j + 5]);
      ctx.clearRect(0, 0, moving.width, d(bottom) + 2);
      for (const i of track) n[i] === 2 ? p.shape(n, i) : p.text(n, i, sceneTexts[n[i + 10]]);
      prevTrack = nowTrack;
    }
    if (force || !same(prevBars, nowBars)) {
      // Clear the old boxes, paint the new bars, then the lines over both.
      const boxes = [];
      for (const a of [prevBars, nowBars])
        if (a) for (let j = 0; j < a.length; j += 11) {
          const x = d(a[j + 2]), y = d(a[j + 3]);
          boxes.push([x, y, d(a[j + 2] + a[j + 4]) - x, d(a[j + 3] + a[j + 5]) - y]);
        }
      if (prevBars) for (let j = 0; j < prevBars.length; j += 11) {
        const [x, y, w, h] = boxes[j / 11];
        ctx.clearRect(x, y, w, h);
      }
      for (const i of bars) p.shape(n, i);
      if (boxes.length) {
        ctx.save();
        ctx.beginPath();
        for (const [x, y, w, h] of boxes) ctx.rect(x, y, w, h);
        ctx.clip();
        for (let i = 0; i < n.length; i += SIZE[n[i]]) if (n[i] === 3) p.line(n, i);
        ctx.restore();
      }
      prevBars = nowBars;
    }
    if (!firstFrame) {
      firstFrame = true;
      performance.mark('arrivals-first-frame');
    }
  }

  // --- The real controls ------------------------------------------------------
  const view = {};
  function place(el, c) {
    const [x, y, w, h] = c.box;
    Object.assign(el.style, { left: x + 'px', top: y + 'px', width: w + 'px', height: h + 'px' });
  }
  function fontOf(el, c) {
    el.style.fontSize = c.font[0] + 'px';
    el.style.fontWeight = c.font[1] ? 'bold' : 'normal';
  }

  function makeButton(id, c, index) {
    const b = document.createElement('button');
    b.type = 'button'; b.id = id; b.className = 'btn';
    place(b, c); fontOf(b, c);
    b.addEventListener('click', () => event(() => M._web_click(index)));
    return b;
  }

  // An editable box in the ARIA combobox pattern: typing is a change of the
  // text, picking an item of the list is a pick; the two stay apart.
  function makeCombo(id, c, box, label) {
    const wrap = document.createElement('div');
    wrap.className = 'combo'; place(wrap, c);
    const input = document.createElement('input');
    input.id = id; input.type = 'text'; input.maxLength = 32767;
    input.setAttribute('role', 'combobox');
    input.setAttribute('aria-label', label);
    input.setAttribute('aria-autocomplete', 'none');
    input.setAttribute('aria-expanded', 'false');
    input.setAttribute('aria-controls', id + 'List');
    input.autocomplete = 'off'; input.spellcheck = false;
    fontOf(input, c);
    const arrow = document.createElement('button');
    arrow.type = 'button'; arrow.className = 'arrow'; arrow.tabIndex = -1;
    arrow.setAttribute('aria-label', 'Open the list of ' + label);
    arrow.textContent = '\u25BE';
    const list = document.createElement('ul');
    list.id = id + 'List'; list.hidden = true;
    list.setAttribute('role', 'listbox');
    list.setAttribute('aria-label', label);
    fontOf(list, c);
    wrap.append(input, arrow, list);
    let active = -1;
    const items = () => (box === 0 ? controls.cmbExperiment : controls.cmbData).items;
    const current = () => items().indexOf(input.value);
    const mark = (i) => {
      active = i;
      [...list.children].forEach((li, j) => {
        li.classList.toggle('active', j === i);
        li.setAttribute('aria-selected', j === i ? 'true' : 'false');
      });
      if (i >= 0) {
        input.setAttribute('aria-activedescendant', list.children[i].id);
        list.children[i].scrollIntoView({ block: 'nearest' });
      } else input.removeAttribute('aria-activedescendant');
    };
    const open = (yes) => {
      list.hidden = !yes;
      input.setAttribute('aria-expanded', yes ? 'true' : 'false');
      if (yes) mark(current()); else mark(-1);
    };
    const pick = (i) => {
      open(false);
      if (i >= 0 && i < items().length) event(() => M._web_pick(box, i));
    };
    input.addEventListener('input', () => {
      const bytes = encoder.encode(input.value);
      event(() => withBytes(bytes, (p, n) => M._web_type(box, p, n)));
    });
    input.addEventListener('keydown', (e) => {
      const n = items().length;
      if (e.key === 'ArrowDown' && e.altKey) { open(list.hidden); e.preventDefault(); return; }
      if (e.key === 'ArrowDown' || e.key === 'ArrowUp') {
        const step = e.key === 'ArrowDown' ? 1 : -1;
        e.preventDefault();
        if (!list.hidden) { mark(Math.max(0, Math.min(n - 1, active + step))); return; }
        // Up and Down pick the next item, as the window's box does.
        const i = current();
        const next = i < 0 ? (step > 0 ? 0 : -1) : i + step;
        if (next >= 0 && next < n) pick(next);
        return;
      }
      if (!list.hidden && e.key === 'Enter') { e.preventDefault(); pick(active); return; }
      if (!list.hidden && e.key === 'Escape') { e.preventDefault(); open(false); }
    });
    // The wheel turns a box only while it has the focus.
    wrap.addEventListener('wheel', (e) => {
      if (document.activeElement !== input || !list.hidden) return;
      e.preventDefault();
      const i = current(), next = i + (e.deltaY > 0 ? 1 : -1);
      if (i >= 0 && next >= 0 && next < items().length) pick(next);
    }, { passive: false });
    input.addEventListener('blur', () => setTimeout(() => {
      if (!wrap.contains(document.activeElement)) open(false);
    }, 150));
    arrow.addEventListener('mousedown', (e) => e.preventDefault());
    arrow.addEventListener('click', () => { input.focus(); open(list.hidden); });
    list.addEventListener('mousedown', (e) => e.preventDefault());
    list.addEventListener('click', (e) => {
      const li = e.target.closest('li');
      if (li) pick([...list.children].indexOf(li));
    });
    return { wrap, input, list, fill(itemsNow) {
      list.textContent = '';
      itemsNow.forEach((t, j) => {
        const li = document.createElement('li');
        li.id = `${id}Item${j}`; li.textContent = t;
        li.setAttribute('role', 'option');
        li.setAttribute('aria-selected', 'false');
        list.append(li);
      });
    } };
  }

  function makeView(i, c) {
    const label = document.createElement('label');
    label.className = 'view'; place(label, c); fontOf(label, c);
    const r = document.createElement('input');
    r.type = 'radio'; r.name = 'optGraphs'; r.id = 'optGraphs' + i;
    const caption = document.createElement('span');
    label.append(r, caption);
    r.addEventListener('click', () => event(() => M._web_select_view(i)));
    return { label, radio: r, caption };
  }

  function buildControls() {
    controlsDiv.textContent = '';
    const c = JSON.parse(str(M._web_controls()));
    controls = c;
    view.cmbExperiment = makeCombo('cmbExperiment', c.cmbExperiment, 0, 'Arrival process');
    view.btnStart = makeButton('btnStart', c.btnStart, 0);
    view.btnPause = makeButton('btnPause', c.btnPause, 1);
    view.cmbData = makeCombo('cmbData', c.cmbData, 1, 'Packets per second');
    view.opt = [makeView(0, c.optGraphs0), makeView(1, c.optGraphs1)];
    // The window's tab order: rate box, Pause, process box, Start, views.
    controlsDiv.append(view.cmbData.wrap, view.btnPause, view.cmbExperiment.wrap,
      view.btnStart, view.opt[0].label, view.opt[1].label);
    controlsText = '';
  }

  // Brings the real controls and the timer in line with the form.
  function sync() {
    if (M._web_controls_changed() || controlsText === '') {
      controlsText = str(M._web_controls());
      const c = controls = JSON.parse(controlsText);
      for (const [v, d] of [[view.cmbExperiment, c.cmbExperiment], [view.cmbData, c.cmbData]]) {
        if (v.list.children.length !== d.items.length) v.fill(d.items);
        if (v.input.value !== d.text) v.input.value = d.text;
        v.input.style.color = rgb(d.color);
      }
      view.btnStart.textContent = c.btnStart.caption;
      view.btnPause.textContent = c.btnPause.caption;
      const any = c.optGraphs0.value || c.optGraphs1.value;
      view.opt.forEach((o, i) => {
        const d = i ? c.optGraphs1 : c.optGraphs0;
        o.caption.textContent = d.caption;
        o.radio.checked = d.value;
        o.radio.tabIndex = d.value || (!any && i === 0) ? 0 : -1;
      });
    }
    const enabled = M._web_timer_enabled() !== 0;
    if (enabled && !timer) timer = setInterval(onTimer, 50);
    else if (!enabled && timer) { clearInterval(timer); timer = 0; }
  }

  // One event of the user or the timer: the form handles it, the page then
  // shows what it did, and the message boxes it raised, one after another.
  let messages = [];
  function event(f) {
    if (dialog.open || playing) return;
    f();
    sync();
    paint();
    for (let m = str(M._web_next_message()); m !== ''; m = str(M._web_next_message()))
      messages.push(m);
    showNextMessage();
  }
  function showNextMessage() {
    if (dialog.open || messages.length === 0) return;
    $('messageText').textContent = messages.shift();
    dialog.showModal();
  }
  dialog.addEventListener('close', showNextMessage);
  // Escape closes the box as OK does, as in the window.

  // One timer event, one tick: a late event never makes up for lost time.
  // While the message box is open the events are dropped.
  function onTimer() {
    if (dialog.open || playing) return;
    event(() => M._web_timer());
  }

  // --- Start: the fragment, the script in slices --------------------------
  function setStatus(status, message) {
    statusDiv.textContent = message ? `${status} ${message}` : String(status);
    notice.textContent = status === 0 ? '' : message;
    layout();
  }

  function takeDumps() {
    const d = str(M._web_take_dumps());
    if (d) dumpsPre.textContent += d;
  }

  function clockSeed() {
    const a = new Uint32Array(2);
    crypto.getRandomValues(a);
    return (BigInt(a[0]) << 32n | BigInt(a[1])).toString();
  }

  function start() {
    let frag;
    try {
      frag = readFragment(location.hash);
    } catch (e) {
      frag = { error: e.message };
    }
    begin(frag);
  }

  // Starts afresh on a fragment's pairs: as opening a new link would.
  function begin(frag) {
    if (timer) { clearInterval(timer); timer = 0; }
    if (dialog.open) dialog.close();
    messages = [];
    if (playing) playing.cancelled = 'restart';
    playing = null;
    dumpsPre.textContent = '';
    statusDiv.textContent = '';
    notice.textContent = '';
    formReady = false;
    $('linkOut').textContent = '';
    document.body.classList.toggle('bare', !!frag.bare && decoder.decode(frag.bare) === '1');
    layout();
    const script = frag.script || new Uint8Array(0);
    const hasScript = !!frag.script;
    seedText = frag.seed ? decoder.decode(frag.seed) : null;
    if (frag.error) return fail(2, frag.error);
    if (seedText === null && !hasScript) seedText = clockSeed();
    const status = withBytes(frag.seed || encoder.encode(seedText || ''), (sp, sn) =>
      withBytes(script, (p, n) => M._web_begin(sp, sn, seedText === null ? 0 : 1, p, n)));
    if (status !== 0) return fail(status, str(M._web_message()));
    play();
  }

  function fail(status, message) {
    takeDumps();
    const ok = seedText !== null && /^[0-9]+$/.test(seedText);
    withBytes(encoder.encode(ok ? seedText : ''), (sp) => M._web_recover(sp, ok ? 1 : 0));
    finish(status, message);
  }

  function finish(status, message) {
    playing = null;
    formReady = true;
    $('busy').hidden = true;
    buildControls();
    sync();
    paint(true);
    setStatus(status, message);
    view.cmbData.input.focus({ preventScroll: true });
  }

  // The script runs in slices of a few milliseconds, so that the tab keeps
  // answering (and Cancel works) however long it is.
  function play() {
    const run = { cancelled: false };
    playing = run;
    const t0 = performance.now();
    const slice = () => {
      if (playing !== run) return;
      const end = performance.now() + 30;
      let status = -1;
      while (status < 0 && performance.now() < end && !run.cancelled)
        status = M._web_play();
      if (run.cancelled) {
        M._web_current_line(); // stops the script, and says where
        return fail(130, str(M._web_message()));
      }
      if (status >= 0) {
        takeDumps();
        if (status !== 0) return fail(status, str(M._web_message()));
        finish(0, '');
        performance.mark('arrivals-script-shown');
        return;
      }
      showProgress(t0, M._web_progress());
      channelPost(slice);
    };
    slice();
  }

  // The progress bar and Cancel over the form, once a slow job (begun at
  // `t0`) has taken 200 ms; `share` of it is done, from 0 to 1.
  function showProgress(t0, share) {
    if (performance.now() - t0 > 200) $('busy').hidden = false;
    const pct = Math.round(share * 100);
    $('progressBar').style.width = pct + '%';
    $('progress').setAttribute('aria-valuenow', pct);
  }

  // A task of its own without the 4 ms clamp of nested timeouts.
  const channel = new MessageChannel();
  let channelNext = null;
  channel.port1.onmessage = () => { const f = channelNext; channelNext = null; if (f) f(); };
  function channelPost(f) { channelNext = f; channel.port2.postMessage(0); }

  $('cancel').addEventListener('click', () => { if (playing) playing.cancelled = true; });

  // --- The row of commands --------------------------------------------------
  function download(name, blob) {
    const a = document.createElement('a');
    a.href = URL.createObjectURL(blob);
    a.download = name;
    document.body.append(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(a.href), 1000);
  }

  // The form as a picture: the canvas, and the real controls painted in from
  // the same control data, so that it looks like the window.
  function picture() {
    const k = canvas.width / W;
    const pic = document.createElement('canvas');
    pic.width = canvas.width; pic.height = canvas.height;
    const ctx = pic.getContext('2d');
    ctx.drawImage(canvas, 0, 0);
    ctx.drawImage(moving, 0, 0);
    const d = (v) => Math.round(v * k);
    const c = controls;
    const face = (b, caption, centred) => {
      const [x, y, w, h] = b.box;
      ctx.fillStyle = '#e0e0e0'; ctx.fillRect(d(x), d(y), d(x + w) - d(x), d(y + h) - d(y));
      ctx.strokeStyle = '#9c9c9c'; ctx.lineWidth = Math.max(1, Math.round(k));
      ctx.strokeRect(d(x) + 0.5, d(y) + 0.5, d(x + w) - d(x) - 1, d(y + h) - d(y) - 1);
      ctx.font = `${b.font[1] ? 'bold ' : ''}${b.font[0] * k}px ${FONT}`;
      ctx.fillStyle = rgb(b.color || 0);
      ctx.textBaseline = 'middle';
      const tw = ctx.measureText(caption).width;
      ctx.fillText(caption, centred ? d(x) + (d(x + w) - d(x) - tw) / 2 : d(x + 4),
        d(y + h / 2), d(x + w) - d(x));
    };
    face(c.btnStart, c.btnStart.caption, true);
    face(c.btnPause, c.btnPause.caption, true);
    face(c.cmbExperiment, c.cmbExperiment.text, false);
    face(c.cmbData, c.cmbData.text, false);
    for (const o of [c.optGraphs0, c.optGraphs1]) {
      const [x, y, , h] = o.box;
      ctx.beginPath();
      ctx.arc(d(x + 7), d(y + h / 2), 6 * k, 0, 2 * Math.PI);
      ctx.fillStyle = '#fff'; ctx.fill();
      ctx.strokeStyle = '#555'; ctx.lineWidth = k; ctx.stroke();
      if (o.value) {
        ctx.beginPath(); ctx.arc(d(x + 7), d(y + h / 2), 3 * k, 0, 2 * Math.PI);
        ctx.fillStyle = '#000'; ctx.fill();
      }
      ctx.font = `${o.font[1] ? 'bold ' : ''}${o.font[0] * k}px ${FONT}`;
      ctx.fillStyle = '#000'; ctx.textBaseline = 'middle';
      ctx.fillText(o.caption, d(x + 18), d(y + h / 2));
    }
    return pic;
  }
  $('cmdPicture').addEventListener('click', () =>
    picture().toBlob((b) => download('arrivals.png', b), 'image/png'));

  $('cmdOpen').addEventListener('click', () => $('openFile').click());
  $('openFile').addEventListener('change', async (e) => {
    const f = e.target.files[0];
    if (!f) return;
    const bytes = new Uint8Array(await f.arrayBuffer());
    e.target.value = '';
    openScript(bytes);
  });
  function openScript(bytes) {
    // A script from a file plays as a link with that script would, without
    // putting kilobytes into the address: the address loses its fragment.
    history.replaceState(null, '', location.pathname + location.search);
    begin({ script: bytes });
  }

  // Bytes as a fragment's VALUE: unreserved characters as they are, every
  // other byte as %XX, so that the link survives any mail or chat.
  function percentEncode(bytes) {
    let out = '';
    for (const b of bytes) {
      const c = String.fromCharCode(b);
      out += /[A-Za-z0-9\-._~]/.test(c) ? c : '%' + b.toString(16).toUpperCase().padStart(2, '0');
    }
    return out;
  }
  const recording = () => str(M._web_recording());
  $('cmdLink').addEventListener('click', () => {
    const url = location.href.split('#')[0] + '#script=' +
      percentEncode(encoder.encode(recording()));
    const out = $('linkOut');
    out.textContent = '';
    const a = document.createElement('a');
    a.href = url; a.textContent = url.length > 120 ? url.slice(0, 117) + '...' : url;
    out.append(a);
    if (navigator.clipboard) navigator.clipboard.writeText(url).catch(() => {});
    layout();
  });
  $('cmdSaveScript').addEventListener('click', () =>
    download('arrivals-run.script', new Blob([recording()], { type: 'text/plain' })));
  // A trace is the recording replayed, in slices with the progress bar and
  // Cancel, as a long script plays; the form holds still meanwhile.
  const trace = (which, name) => {
    if (playing || dialog.open) return;
    withBytes(encoder.encode(recording()), (p, n) => M._web_trace_begin(p, n, which));
    const run = { cancelled: false };
    playing = run;
    const t0 = performance.now();
    const done = () => {
      playing = null;
      $('busy').hidden = true;
      $('progress').setAttribute('aria-label', 'Playing the script');
      return str(M._web_trace_end());
    };
    $('progress').setAttribute('aria-label', `Saving ${name}`);
    const slice = () => {
      if (playing !== run) return; // a new start: its page has no trace
      if (run.cancelled) return done();
      const end = performance.now() + 30;
      let status = -1;
      while (status < 0 && performance.now() < end) status = M._web_trace_step();
      if (status >= 0) {
        const csv = done();
        download(name, new Blob([csv], { type: 'text/csv' }));
        return;
      }
      showProgress(t0, M._web_trace_progress());
      channelPost(slice);
    };
    slice();
  };
  $('cmdPackets').addEventListener('click', () => trace(0, 'packets.csv'));
  $('cmdSeconds').addEventListener('click', () => trace(1, 'seconds.csv'));

  // --- Start-up -------------------------------------------------------------
  addEventListener('resize', layout);
  addEventListener('hashchange', start);
  ArrivalsWasm().then((m) => {
    M = m;
    // For the page's tests and benchmark: the module, and one timer event
    // as the timer delivers it.
    window.arrivalsModule = m;
    window.arrivalsTimerEvent = onTimer;
    window.arrivalsRepaint = () => paint(true);
    start();
  });
})();
