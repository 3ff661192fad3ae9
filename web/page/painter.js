// The form's painted part on two canvases, from the module's frames: the
// still layer (ground, lines, labels, logo), repainted whole when one of its
// items changes, and over it the moving layer (bars, markers, the count),
// where only the boxes of the items the frame's change list names are
// repainted, with the lines that lie over the bars. The page keeps no copy
// of a frame: what changed is the module's to say.
'use strict';
// eslint-disable-next-line no-unused-vars
const ArrivalsPainter = (() => {
  const S = SceneFormat, F = S.field, K = S.kind, L = S.layer, C = S.change;
  const FONT = '"MS Sans Serif", "Liberation Sans", Arial, Helvetica, sans-serif';
  const decoder = new TextDecoder();
  const rgb = (c) => '#' + (c | 0).toString(16).padStart(6, '0');

  // Drawing calls at `k` device pixels a CSS pixel; edges on whole device
  // pixels, so that they stay crisp.
  function painter(ctx, k, texts) {
    const d = (v) => Math.round(v * k);
    const rect = (x, y, w, h, colour) => {
      const x0 = d(x), y0 = d(y);
      ctx.fillStyle = colour;
      ctx.fillRect(x0, y0, d(x + w) - x0, d(y + h) - y0);
    };
    function shape(n, i) {
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
      const half = o / 2;
      ctx.beginPath();
      ctx.ellipse(d(x) + (d(x + w) - d(x)) / 2, d(y) + (d(y + h) - d(y)) / 2,
        Math.max(0, (d(x + w) - d(x)) / 2 - half * k),
        Math.max(0, (d(y + h) - d(y)) / 2 - half * k), 0, 0, 2 * Math.PI);
      if (filled) { ctx.fillStyle = fill; ctx.fill(); }
      if (o > 0) { ctx.lineWidth = o * k; ctx.strokeStyle = ink; ctx.stroke(); }
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
      const at = n[i + F.text];
      const caption = decoder.decode(texts.subarray(at, at + n[i + F.length]));
      if (!caption) return;
      const px = n[i + F.font];
      ctx.font = `${n[i + F.bold] ? 'bold ' : ''}${px * k}px ${FONT}`;
      const m = ctx.measureText(caption);
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
      ctx.fillText(caption, left, d(y) + Math.round(ascent), bw);
      ctx.restore();
    }
    function item(n, i) {
      switch (n[i + F.kind]) {
        case K.rect: case K.oval: shape(n, i); break;
        case K.line: line(n, i); break;
        case K.text: text(n, i); break;
        case K.logo: ArrivalsLogo.paint(ctx, k, d, n[i + F.x], n[i + F.y]); break;
      }
    }
    return { d, item };
  }

  // Numbers in a record, by its kind: a plain array, for the walk through
  // every record at each tick.
  const SIZE = [];
  for (const [kind, size] of Object.entries(S.size)) SIZE[kind] = size;
  const next = (n, i) => i + SIZE[n[i + F.kind]];

  // A record's box in CSS pixels: a line's with its width and round ends.
  function boxOf(n, i) {
    if (n[i + F.kind] !== K.line) return [n[i + F.x], n[i + F.y], n[i + F.w], n[i + F.h]];
    const half = Math.ceil(n[i + F.width] / 2) + 1;
    const x = Math.min(n[i + F.x1], n[i + F.x2]) - half;
    const y = Math.min(n[i + F.y1], n[i + F.y2]) - half;
    return [x, y, Math.max(n[i + F.x1], n[i + F.x2]) + half - x,
      Math.max(n[i + F.y1], n[i + F.y2]) + half - y];
  }
  const meets = (a, b) => a[0] < b[0] + b[2] && b[0] < a[0] + a[2] &&
    a[1] < b[1] + b[3] && b[1] < a[1] + a[3];

  function create(still, moving, width) {
    let stillK = 0;

    // The moving layer inside `boxes` (CSS pixels; all of it when null):
    // its items in order, then the lines over the bars.
    function paintMoving(frame, k, boxes) {
      const ctx = moving.getContext('2d');
      const p = painter(ctx, k, frame.texts), d = p.d, n = frame.n;
      const inside = (i) => !boxes || boxes.some((b) => meets(b, boxOf(n, i)));
      ctx.save();
      if (boxes) {
        ctx.beginPath();
        for (const [x, y, w, h] of boxes) {
          const x0 = d(x), y0 = d(y), bw = d(x + w) - x0, bh = d(y + h) - y0;
          ctx.clearRect(x0, y0, bw, bh);
          ctx.rect(x0, y0, bw, bh);
        }
        ctx.clip();
      } else {
        ctx.clearRect(0, 0, moving.width, moving.height);
      }
      const bars = [];
      for (let i = 0; i < n.length; i = next(n, i)) {
        if (n[i + F.layer] !== L.moving || !inside(i)) continue;
        p.item(n, i);
        if (n[i + F.kind] === K.rect) bars.push(boxOf(n, i));
      }
      if (bars.length) {
        ctx.beginPath();
        for (const [x, y, w, h] of bars) ctx.rect(d(x), d(y), d(x + w) - d(x), d(y + h) - d(y));
        ctx.clip();
        for (let i = 0; i < n.length; i = next(n, i))
          if (n[i + F.kind] === K.line && inside(i)) p.item(n, i);
      }
      ctx.restore();
    }

    // Paints `frame`; `force` repaints everything (a new scale).
    function paint(frame, force = false) {
      const k = still.width / width, n = frame.n, ch = frame.changes;
      let whole = force || frame.full || k !== stillK;
      const boxes = [];
      for (let j = 0; j < ch.length && !whole; j += S.changeSize) {
        if (ch[j + C.layer] !== L.moving) whole = true;
        if (ch[j + C.w] > 0) boxes.push([ch[j + C.x], ch[j + C.y], ch[j + C.w], ch[j + C.h]]);
        if (ch[j + C.at] >= 0) boxes.push(boxOf(n, ch[j + C.at]));
      }
      if (whole) {
        const ctx = still.getContext('2d', { alpha: false });
        ctx.fillStyle = S.colour.ground;
        ctx.fillRect(0, 0, still.width, still.height);
        const p = painter(ctx, k, frame.texts);
        for (let i = 0; i < n.length; i = next(n, i)) if (n[i + F.layer] === L.still) p.item(n, i);
        stillK = k;
        paintMoving(frame, k, null);
      } else if (boxes.length) {
        // A pixel around each box: the antialiased edge of a marker.
        paintMoving(frame, k, boxes.map(([x, y, w, h]) => [x - 1, y - 1, w + 2, h + 2]));
      }
    }

    return { paint };
  }

  return { create, rgb, FONT };
})();
