// The row of commands under the form: a link to the run, a script opened or
// saved, the picture, and the packets and seconds traces. Every byte of a
// recording reaches the link and the file as it is.
'use strict';
// eslint-disable-next-line no-unused-vars
const ArrivalsCommands = (() => {
  // Bytes of a trace gathered before they become one part of the file: the
  // file is a Blob of such parts, never one string or one buffer.
  const PART_BYTES = 8 << 20;
  // Characters of a link beyond which mail and chat programs may cut it.
  const LONG_LINK = 8000;

  function download(name, blob) {
    const a = document.createElement('a');
    a.href = URL.createObjectURL(blob);
    a.download = name;
    document.body.append(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(a.href), 60000);
  }

  // The form as a picture: the canvases, and the real controls painted in
  // from the same control data, so that it looks like the window.
  function picture(app) {
    const { still, moving } = app.canvases;
    const k = still.width / app.width;
    const pic = document.createElement('canvas');
    pic.width = still.width; pic.height = still.height;
    const ctx = pic.getContext('2d');
    ctx.drawImage(still, 0, 0);
    ctx.drawImage(moving, 0, 0);
    const d = (v) => Math.round(v * k);
    const c = app.controls, FONT = ArrivalsPainter.FONT;
    const face = (b, caption, centred) => {
      const [x, y, w, h] = b.box;
      ctx.fillStyle = SceneFormat.colour.ground;
      ctx.fillRect(d(x), d(y), d(x + w) - d(x), d(y + h) - d(y));
      ctx.strokeStyle = '#9c9c9c'; ctx.lineWidth = Math.max(1, Math.round(k));
      ctx.strokeRect(d(x) + 0.5, d(y) + 0.5, d(x + w) - d(x) - 1, d(y + h) - d(y) - 1);
      ctx.font = `${b.font[1] ? 'bold ' : ''}${b.font[0] * k}px ${FONT}`;
      ctx.fillStyle = ArrivalsPainter.rgb(b.color || 0);
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
        ctx.fillStyle = SceneFormat.colour.ink; ctx.fill();
      }
      ctx.font = `${o.font[1] ? 'bold ' : ''}${o.font[0] * k}px ${FONT}`;
      ctx.fillStyle = SceneFormat.colour.ink; ctx.textBaseline = 'middle';
      ctx.fillText(o.caption, d(x + 18), d(y + h / 2));
    }
    return pic;
  }

  // A trace is the recording replayed, in slices with the progress bar and
  // Cancel, as a long script plays; the form holds still meanwhile. Its
  // rows are taken after every slice and gathered into Blob parts.
  function saveTrace(app, which, name) {
    if (app.jobs.busy()) {
      app.say(`${name} not saved: another job is running; wait for it or cancel it`);
      return;
    }
    const form = app.form;
    const parts = [];
    let pending = [], pendingBytes = 0;
    const gather = () => {
      if (pending.length) parts.push(new Blob(pending));
      pending = []; pendingBytes = 0;
    };
    const end = () => { try { form.trace('cancel'); } catch { /* already ended */ } };
    form.trace(which);
    app.jobs.run({
      step(cancel) {
        const status = form.trace(cancel ? 'cancel' : 'step');
        const rows = form.take('traceSlice');
        if (rows.length) {
          pending.push(rows);
          pendingBytes += rows.length;
          if (pendingBytes >= PART_BYTES) gather();
        }
        return status;
      },
      progress: () => form.progress(),
      said: () => form.progressText(),
      finish(status) {
        if (status === 130) return; // cancelled
        if (status !== 0) throw new Error(form.takeText('message'));
        gather();
        download(name, new Blob(parts, { type: 'text/csv' }));
        app.say('');
      },
      fail(e) {
        end();
        app.say(`${name} not saved: ${e && e.message ? e.message : e}`);
      },
    }, `Saving ${name}`);
  }

  function create(app, $) {
    const recording = () => app.form.take('recording');
    // The link shown whole, to be copied whole; what it will not do said
    // beside it.
    const field = $('linkField'), copy = $('cmdCopy'), note = $('linkNote');
    $('cmdLink').addEventListener('click', () => {
      const url = location.href.split('#')[0] + '#script=' + ArrivalsFragment.encode(recording());
      field.value = url;
      copy.textContent = 'Copy';
      const notes = [];
      if (location.protocol === 'file:')
        notes.push('This page was opened from a file: the link works only where the same page is, at the same place.');
      const long = url.length > LONG_LINK;
      if (long)
        notes.push(`The link is ${url.length.toLocaleString('en-US')} characters long: ` +
          'mail and chat programs may cut it. Save this run as a script instead.');
      note.textContent = notes.join(' ');
      $('cmdSaveLong').hidden = !long;
      $('linkBox').hidden = false;
      app.layout();
      field.focus({ preventScroll: true });
      field.select();
    });
    copy.addEventListener('click', async () => {
      let copied = false;
      try {
        await navigator.clipboard.writeText(field.value);
        copied = true;
      } catch {
        // No clipboard for the page (an old browser, no permission): the
        // selection copied as Ctrl+C would.
        field.focus({ preventScroll: true });
        field.select();
        try { copied = document.execCommand('copy'); } catch { copied = false; }
      }
      copy.textContent = copied ? 'Copied' : 'Copy';
      if (!copied) app.say('The link was not copied: it is selected, copy it with Ctrl+C');
    });
    $('cmdSaveLong').addEventListener('click', () => $('cmdSaveScript').click());
    $('cmdSaveScript').addEventListener('click', () =>
      download('arrivals-run.script', new Blob([recording()], { type: 'text/plain' })));
    $('cmdPicture').addEventListener('click', () =>
      picture(app).toBlob((b) => download('arrivals.png', b), 'image/png'));
    $('cmdOpen').addEventListener('click', () => $('openFile').click());
    $('openFile').addEventListener('change', async (e) => {
      const f = e.target.files[0];
      if (!f) return;
      const bytes = new Uint8Array(await f.arrayBuffer());
      e.target.value = '';
      // A script from a file plays as a link with that script would,
      // without putting kilobytes into the address: the address loses its
      // fragment.
      history.replaceState(null, '', location.pathname + location.search);
      app.begin({ script: bytes });
    });
    $('cmdPackets').addEventListener('click', () => saveTrace(app, 'packets', 'packets.csv'));
    $('cmdSeconds').addEventListener('click', () => saveTrace(app, 'seconds', 'seconds.csv'));
  }

  return { create };
})();
