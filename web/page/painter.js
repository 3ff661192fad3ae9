// The form's painted part on two canvases, from the module's frames: the
// still layer (ground, lines, labels, logo), repainted whole when one of its
// items changes, and over it the moving layer (bars, markers, the count),
// where only the boxes of the items the frame's change list names are
// repainted, with the lines that lie over the bars. The page keeps no copy
// of a frame: what changed is the module's to say. The same code paints the
// form as a picture at scale 1, the real controls' faces drawn in.
'use strict';
// eslint-disable-next-line no-unused-vars
const ArrivalsPainter = (() => {
  const S = SceneFormat, F = S.field, K = S.kind, L = S.layer, C = S.change;
  const FONT = '"MS Sans Serif", "Liberation Sans", Arial, Helvetica, sans-serif';
  const decoder = new TextDecoder();
  // A colour's CSS name, made once per colour: shapes ask it at each tick.
  const colours = new Map();
  const rgb = (c) => {
    let name = colours.get(c);
    if (name === undefined) {
      name = '#' + (c | 0).toString(16).padStart(6, '0');
      colours.set(c, name);
    }
    return name;
  };

  // A caption's width and ascent in `font`, measured once: the count's
  // digits are measured again at every tick that changes them.
  const measures = new Map();
  function measure(ctx, font, words) {
    const key = font + '\n' + words;
    let m = measures.get(key);
    if (m === undefined) {
      if (measures.size >= 4096) measures.clear();
      const r = ctx.measureText(words);
      m = { width: r.width, fontBoundingBoxAscent: r.fontBoundingBoxAscent };
      measures.set(key, m);
    }
    return m;
  }

  // Ovals painted once, by size and colours (see shape), with a margin of
  // PAD device pixels for their antialiased edges.
  const sprites = new Map(), PAD = 2;

  // Drawing calls at `k` device pixels a CSS pixel; edges on whole device
  // pixels, so that they stay crisp.
  function painter(ctx, k, texts) {
    const d = (v) => Math.round(v * k);
    const rect = (x, y, w, h, colour) => {
      const x0 = d(x), y0 = d(y);
      ctx.fillStyle = colour;
      ctx.fillRect(x0, y0, d(x + w) - x0, d(y + h) - y0);
    };
    const caption = (n, i, at, length) =>
      decoder.decode(texts.subarray(n[i + at], n[i + at] + n[i + length]));
    function shape(n, i, copy) {
      const x = n[i + F.x], y = n[i + F.y], w = n[i + F.w], h = n[i + F.h];
      const filled = n[i + F.filled], fill = rgb(n[i + F.fill]);
      const o = n[i + F.outline], ink = rgb(n[i + F.ink]);
      if (n[i + F.kind] === K.rect) {
        if (filled) rect(x + o, y + o, w - 2 * o, h - 2 * o, fill);
        if (o > 0) {
          rect(x, y, w, o, ink); rect(x, y + h - o, w, o, ink);
          rect(x, y + o, o, h - 2 * o, ink); rect(x + w - o, y + o, o, h - 2 * o, ink);
        }
        return;
      }
      // An oval over nothing, at a whole scale (`copy`), is painted once for
      // its size and colours, then copied to whole device pixels: stroking
      // an ellipse is the dearest call of a tick, and such a copy gives the
      // same pixels. Over other paint its edges would blend apart from its
      // own, and at other scales they lie by where it lies: it is painted
      // in place.
      const x0 = d(x), y0 = d(y), w0 = d(x + w) - x0, h0 = d(y + h) - y0;
      if (!copy || !Number.isInteger(k)) {
        const half = o / 2;
        ctx.beginPath();
        ctx.ellipse(x0 + w0 / 2, y0 + h0 / 2, Math.max(0, w0 / 2 - half * k),
          Math.max(0, h0 / 2 - half * k), 0, 0, 2 * Math.PI);
        if (filled) { ctx.fillStyle = fill; ctx.fill(); }
        if (o > 0) { ctx.lineWidth = o * k; ctx.strokeStyle = ink; ctx.stroke(); }
        return;
      }
      const key = `${w0} ${h0} ${filled} ${fill} ${o} ${ink} ${k}`;
      let sprite = sprites.get(key);
      if (sprite === undefined) {
        if (sprites.size >= 256) sprites.clear();
        sprite = document.createElement('canvas');
        sprite.width = w0 + 2 * PAD; sprite.height = h0 + 2 * PAD;
        const s = sprite.getContext('2d'), half = o / 2;
        s.beginPath();
        s.ellipse(PAD + w0 / 2, PAD + h0 / 2, Math.max(0, w0 / 2 - half * k),
          Math.max(0, h0 / 2 - half * k), 0, 0, 2 * Math.PI);
        if (filled) { s.fillStyle = fill; s.fill(); }
        if (o > 0) { s.lineWidth = o * k; s.strokeStyle = ink; s.stroke(); }
        sprites.set(key, sprite);
      }
      ctx.drawImage(sprite, x0 - PAD, y0 - PAD);
    }
    function line(n, i) {
      const lw = Math.max(1, Math.round(n[i + F.width] * k));
      // A line of whole device pixels: its centre on a pixel's middle when
      // its width is odd.
      const off = lw % 2 ? 0.5 : 0;
      ctx.beginPath();
      ctx.lineWidth = lw;
      ctx.lineCap = 'round';
      ctx.strokeStyle = S.colour.ink;
      ctx.moveTo(d(n[i + F.x1]) + off, d(n[i + F.y1]) + off);
      ctx.lineTo(d(n[i + F.x2]) + off, d(n[i + F.y2]) + off);
      ctx.stroke();
    }
    function text(n, i) {
      const x = n[i + F.x], y = n[i + F.y], w = n[i + F.w], h = n[i + F.h];
      if (n[i + F.opaque]) rect(x, y, w, h, S.colour.ground);
      const words = caption(n, i, F.text, F.length);
      if (!words) return;
      const px = n[i + F.font];
      const font = `${n[i + F.bold] ? 'bold ' : ''}${px * k}px ${FONT}`;
      ctx.font = font;
      const m = measure(ctx, font, words);
      const bw = d(x + w) - d(x);
      const tw = Math.min(m.width, bw);
      const left = n[i + F.centred] ? d(x) + (bw - tw) / 2 : d(x);
      const ascent = m.fontBoundingBoxAscent || px * k * 0.905;
      ctx.save();
      ctx.beginPath();
      ctx.rect(d(x), d(y), bw, d(y + h) - d(y));
      ctx.clip();
      ctx.fillStyle = S.colour.ink;
      ctx.textBaseline = 'alphabetic';
      // A caption wider than its box is narrowed to fit, as the window's.
      ctx.fillText(words, left, d(y) + Math.round(ascent), bw);
      ctx.restore();
    }
    // A part of the logo: antialiased, its points where the record puts
    // them, not on whole pixels.
    function polygon(n, i) {
      ctx.beginPath();
      for (let c = 0; c < n[i + F.count]; ++c)
        ctx.lineTo(n[i + F.ax + 2 * c] * k, n[i + F.ay + 2 * c] * k);
      ctx.closePath();
      ctx.fillStyle = rgb(n[i + F.fill]);
      ctx.fill();
    }
    function lettering(n, i) {
      const face = caption(n, i, F.face, F.faceLength);
      ctx.font = `${n[i + F.bold] ? 'bold ' : ''}${n[i + F.em] * k}px "${face}", serif`;
      ctx.fillStyle = rgb(n[i + F.ink]);
      ctx.textBaseline = 'alphabetic';
      ctx.fillText(caption(n, i, F.text, F.length), n[i + F.baseX] * k, n[i + F.baseY] * k);
    }
    // `copy`: an oval may be copied (see shape).
    function item(n, i, copy = false) {
      switch (n[i + F.kind]) {
        case K.rect: case K.oval: shape(n, i, copy); break;
        case K.line: line(n, i); break;
        case K.text: text(n, i); break;
        case K.polygon: polygon(n, i); break;
        case K.lettering: lettering(n, i); break;
      }
    }

    // The faces of the real controls (buttons, boxes, view buttons), from
    // the frame's control data, for the picture: on the page they are
    // elements of their own over the canvas.
    function controls(c) {
      const face = (b, words, centred) => {
        const [x, y, w, h] = b.box;
        rect(x, y, w, h, S.colour.ground);
        ctx.strokeStyle = '#9c9c9c'; ctx.lineWidth = Math.max(1, Math.round(k));
        ctx.strokeRect(d(x) + 0.5, d(y) + 0.5, d(x + w) - d(x) - 1, d(y + h) - d(y) - 1);
        ctx.font = `${b.font[1] ? 'bold ' : ''}${b.font[0] * k}px ${FONT}`;
        ctx.fillStyle = rgb(b.color || 0);
        ctx.textBaseline = 'middle';
        const tw = ctx.measureText(words).width;
        ctx.fillText(words, centred ? d(x) + (d(x + w) - d(x) - tw) / 2 : d(x + 4),
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
          ctx.fillStyle = S.colour.ink; ctx.fill();
        }
        ctx.font = `${o.font[1] ? 'bold ' : ''}${o.font[0] * k}px ${FONT}`;
        ctx.fillStyle = S.colour.ink; ctx.textBaseline = 'middle';
        ctx.fillText(o.caption, d(x + 18), d(y + h / 2));
      }
    }
    return { d, item, controls };
  }

  // Numbers in a record, by its kind: a plain array, for the walk through
  // every record at each tick.
  const SIZE = [];
  for (const [kind, size] of Object.entries(S.size)) SIZE[kind] = size;
  const next = (n, i) => i + SIZE[n[i + F.kind]];

  // A record's box in CSS pixels, in `out` at `o` (x, y, w, h): a line's
  // with its width and round ends. Written in place, since the walk through
  // the records at each tick asks it of every moving one.
  function boxInto(n, i, out, o) {
    if (n[i + F.kind] !== K.line) {
      out[o] = n[i + F.x]; out[o + 1] = n[i + F.y];
      out[o + 2] = n[i + F.w]; out[o + 3] = n[i + F.h];
      return;
    }
    const half = Math.ceil(n[i + F.width] / 2) + 1;
    const x1 = n[i + F.x1], x2 = n[i + F.x2], y1 = n[i + F.y1], y2 = n[i + F.y2];
    const x = Math.min(x1, x2) - half, y = Math.min(y1, y2) - half;
    out[o] = x; out[o + 1] = y;
    out[o + 2] = Math.max(x1, x2) + half - x; out[o + 3] = Math.max(y1, y2) + half - y;
  }
  // The records a moving box may touch, gathered by one walk through a
  // frame: the moving ones and the lines (painted again over the bars),
  // in painting order, each with its box (x, y, w, h at 4 c). Boxes and
  // items are then matched on these alone, not on every record again.
  const near = { at: [], moving: [], box: [], count: 0 };
  function gather(n) {
    let c = 0;
    for (let i = 0; i < n.length; i = next(n, i)) {
      const moving = n[i + F.layer] === L.moving;
      if (!moving && n[i + F.kind] !== K.line) continue;
      near.at[c] = i;
      near.moving[c] = moving;
      boxInto(n, i, near.box, 4 * c);
      ++c;
    }
    near.count = c;
  }
  // Whether gathered record `c` meets the box x, y, w, h.
  function meets(c, x, y, w, h) {
    const B = near.box, o = 4 * c;
    return B[o] < x + w && x < B[o] + B[o + 2] && B[o + 1] < y + h && y < B[o + 1] + B[o + 3];
  }

  // `boxes` (x, y, w, h after each other) with every two that meet replaced
  // by the box around both, until no two meet.
  function merge(boxes) {
    const out = boxes.slice();
    for (let again = true; again;) {
      again = false;
      for (let a = 0; a < out.length && !again; a += 4) {
        for (let b = a + 4; b < out.length; b += 4) {
          if (!(out[a] < out[b] + out[b + 2] && out[b] < out[a] + out[a + 2] &&
            out[a + 1] < out[b + 1] + out[b + 3] && out[b + 1] < out[a + 1] + out[a + 3])) continue;
          const x = Math.min(out[a], out[b]), y = Math.min(out[a + 1], out[b + 1]);
          out[a + 2] = Math.max(out[a] + out[a + 2], out[b] + out[b + 2]) - x;
          out[a + 3] = Math.max(out[a + 1] + out[a + 3], out[b + 1] + out[b + 3]) - y;
          out[a] = x; out[a + 1] = y;
          out.splice(b, 4);
          again = true;
          break;
        }
      }
    }
    return out;
  }

  // `boxes` merged (see merge) and grown until each holds whole, with
  // `margin` CSS pixels about them for their antialiased edges, the moving
  // items it meets: cleared and repainted, such a box needs no clip.
  function enclose(boxes, margin) {
    let out = merge(boxes);
    const B = near.box;
    for (let grown = true; grown;) {
      grown = false;
      for (let b = 0; b < out.length; b += 4) {
        let bx = out[b], by = out[b + 1], bw = out[b + 2], bh = out[b + 3];
        for (let c = 0; c < near.count; ++c) {
          if (!near.moving[c] || !meets(c, bx, by, bw, bh)) continue;
          const o = 4 * c;
          const x = B[o] - margin, y = B[o + 1] - margin;
          const r = B[o] + B[o + 2] + margin, bottom = B[o + 1] + B[o + 3] + margin;
          if (x >= bx && y >= by && r <= bx + bw && bottom <= by + bh) continue;
          const x0 = Math.min(x, bx), y0 = Math.min(y, by);
          bw = Math.max(r, bx + bw) - x0;
          bh = Math.max(bottom, by + bh) - y0;
          bx = x0; by = y0;
          grown = true;
        }
        out[b] = bx; out[b + 1] = by; out[b + 2] = bw; out[b + 3] = bh;
      }
      if (grown) out = merge(out);
    }
    return out;
  }

  // The still layer on `ctx`: the ground and the still items.
  function paintStill(ctx, frame, k) {
    const n = frame.n, p = painter(ctx, k, frame.texts);
    ctx.fillStyle = S.colour.ground;
    ctx.fillRect(0, 0, ctx.canvas.width, ctx.canvas.height);
    for (let i = 0; i < n.length; i = next(n, i)) if (n[i + F.layer] === L.still) p.item(n, i);
  }

  // The moving layer on `ctx`, from the records gather() found, inside
  // the box at `b` of `boxes` (CSS pixels, x, y, w, h; cleared first and
  // painted without a clip, since the box holds every moving item it meets
  // whole; all of the layer, not cleared, when `boxes` is null): its items
  // in order, then the lines over the bars. `clear`: the layer under them
  // holds nothing else (not so in a picture, painted over its ground).
  const bars = [], lines = [], painted = [];
  function paintMoving(ctx, p, n, boxes, b = 0, clear = true) {
    const d = p.d;
    let x = 0, y = 0, w = 0, h = 0;
    ctx.save();
    if (boxes) {
      x = boxes[b]; y = boxes[b + 1]; w = boxes[b + 2]; h = boxes[b + 3];
      const x0 = d(x), y0 = d(y);
      ctx.clearRect(x0, y0, d(x + w) - x0, d(y + h) - y0);
    }
    bars.length = 0;
    lines.length = 0;
    painted.length = 0;
    const B = near.box;
    for (let c = 0; c < near.count; ++c) {
      if (boxes && !meets(c, x, y, w, h)) continue;
      const i = near.at[c], kind = n[i + F.kind];
      if (kind === K.line) lines.push(i);
      if (!near.moving[c]) continue;
      // An oval over nothing painted yet on this cleared layer.
      let copy = clear && kind === K.oval;
      for (let j = 0; copy && j < painted.length; ++j)
        copy = !meets(painted[j], B[4 * c], B[4 * c + 1], B[4 * c + 2], B[4 * c + 3]);
      p.item(n, i, copy);
      painted.push(c);
      if (kind === K.rect) bars.push(i);
    }
    if (bars.length) {
      ctx.beginPath();
      for (const i of bars) {
        const bx = n[i + F.x], by = n[i + F.y];
        ctx.rect(d(bx), d(by), d(bx + n[i + F.w]) - d(bx), d(by + n[i + F.h]) - d(by));
      }
      ctx.clip();
      for (const i of lines) p.item(n, i);
    }
    ctx.restore();
  }

  // The form as a picture of `width` x `height` pixels at scale 1, whatever
  // the page's scale and the screen's pixel ratio: a full frame's layers
  // and the faces of the real controls in `controls`.
  function picture(frame, controls, width, height) {
    const pic = document.createElement('canvas');
    pic.width = width; pic.height = height;
    const ctx = pic.getContext('2d');
    paintStill(ctx, frame, 1);
    const p = painter(ctx, 1, frame.texts);
    gather(frame.n);
    paintMoving(ctx, p, frame.n, null, 0, false);
    p.controls(controls);
    return pic;
  }

  function create(still, moving, width) {
    let stillK = 0;
    const stillCtx = still.getContext('2d', { alpha: false }), movingCtx = moving.getContext('2d');

    // Paints `frame`; `force` repaints everything (a new scale). A frame
    // whose change list is empty paints nothing.
    const boxes = [];
    function paint(frame, force = false) {
      const k = still.width / width, n = frame.n, ch = frame.changes;
      let whole = force || frame.full || k !== stillK;
      if (!whole && ch.length === 0) return;
      boxes.length = 0;
      // A pixel around each box: the antialiased edge of a marker.
      const grow = (at) => {
        boxes[at] -= 1; boxes[at + 1] -= 1; boxes[at + 2] += 2; boxes[at + 3] += 2;
      };
      for (let j = 0; j < ch.length && !whole; j += S.changeSize) {
        if (ch[j + C.layer] !== L.moving) whole = true;
        if (ch[j + C.w] > 0) {
          boxes.push(ch[j + C.x], ch[j + C.y], ch[j + C.w], ch[j + C.h]);
          grow(boxes.length - 4);
        }
        if (ch[j + C.at] >= 0) {
          boxes.push(0, 0, 0, 0);
          boxInto(n, ch[j + C.at], boxes, boxes.length - 4);
          grow(boxes.length - 4);
        }
      }
      if (!whole && !boxes.length) return;
      gather(n);
      const p = painter(movingCtx, k, frame.texts);
      if (whole) {
        paintStill(stillCtx, frame, k);
        stillK = k;
        movingCtx.clearRect(0, 0, moving.width, moving.height);
        paintMoving(movingCtx, p, n, null);
      } else {
        // Boxes that meet are painted as one, each grown until it holds
        // every moving item it meets, so that it is painted with no clip:
        // painting through a clip is far dearer than a few small passes.
        const merged = enclose(boxes, Math.max(1, 2 / k));
        for (let b = 0; b < merged.length; b += 4) paintMoving(movingCtx, p, n, merged, b);
      }
    }

    return { paint };
  }

  // Records of a drawing of their own (the variance-time plot), all
  // painted in order on `ctx` at `k` device pixels a CSS pixel.
  function paintRecords(ctx, n, texts, k) {
    const p = painter(ctx, k, texts);
    for (let i = 0; i < n.length; i = next(n, i)) p.item(n, i);
  }

  return { create, picture, rgb, FONT, paintRecords };
})();
