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
    const caption = (n, i, at, length) =>
      decoder.decode(texts.subarray(n[i + at], n[i + at] + n[i + length]));
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
      const words = caption(n, i, F.text, F.length);
      if (!words) return;
      const px = n[i + F.font];
      ctx.font = `${n[i + F.bold] ? 'bold ' : ''}${px * k}px ${FONT}`;
      const m = ctx.measureText(words);
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
    function item(n, i) {
      switch (n[i + F.kind]) {
        case K.rect: case K.oval: shape(n, i); break;
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

  // The still layer on `ctx`: the ground and the still items.
  function paintStill(ctx, frame, k) {
    const n = frame.n, p = painter(ctx, k, frame.texts);
    ctx.fillStyle = S.colour.ground;
    ctx.fillRect(0, 0, ctx.canvas.width, ctx.canvas.height);
    for (let i = 0; i < n.length; i = next(n, i)) if (n[i + F.layer] === L.still) p.item(n, i);
  }

  // The moving layer on `ctx`, inside `boxes` (CSS pixels, each cleared
  // first; all of it, not cleared, when null): its items in order, then
  // the lines over the bars.
  function paintMoving(ctx, frame, k, boxes) {
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

  // The form as a picture of `width` x `height` pixels at scale 1, whatever
  // the page's scale and the screen's pixel ratio: a full frame's layers
  // and the faces of the real controls in `controls`.
  function picture(frame, controls, width, height) {
    const pic = document.createElement('canvas');
    pic.width = width; pic.height = height;
    const ctx = pic.getContext('2d');
    paintStill(ctx, frame, 1);
    paintMoving(ctx, frame, 1, null);
    painter(ctx, 1, frame.texts).controls(controls);
    return pic;
  }

  function create(still, moving, width) {
    let stillK = 0;

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
      const ctx = moving.getContext('2d');
      if (whole) {
        paintStill(still.getContext('2d', { alpha: false }), frame, k);
        stillK = k;
        ctx.clearRect(0, 0, moving.width, moving.height);
        paintMoving(ctx, frame, k, null);
      } else if (boxes.length) {
        // A pixel around each box: the antialiased edge of a marker.
        paintMoving(ctx, frame, k, boxes.map(([x, y, w, h]) => [x - 1, y - 1, w + 2, h + 2]));
      }
    }

    return { paint };
  }

  return { create, picture, rgb, FONT };
})();
