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

  // The form as a picture at scale 1, as the window's --screenshot gives
  // it: a full frame painted afresh by the canvas's own painter.
  function picture(app) {
    const frame = app.form.frame(true);
    return ArrivalsPainter.picture(frame, frame.controls, app.width, app.height);
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
        app.describe.say(`${name} saved`);
      },
      fail(e) {
        end();
        app.say(`${name} not saved: ${e && e.message ? e.message : e}`);
      },
    }, `Saving ${name}`);
  }

  // "Variance-time of this run": the recording replayed as a trace is
  // saved, only the counts of the seconds of its last run kept; then the
  // plot, painted from the module's records by the form's painter, its
  // points as a table and in words, and "Save points" for the CSV.
  function varianceTime(app, $) {
    if (app.jobs.busy()) {
      app.say('No variance-time plot: another job is running; wait for it or cancel it');
      return;
    }
    const form = app.form;
    form.trace('variance');
    app.jobs.run({
      step: (cancel) => form.trace(cancel ? 'cancel' : 'step'),
      progress: () => form.progress(),
      said: () => form.progressText(),
      finish(status) {
        if (status === 130) return; // cancelled
        if (status !== 0) throw new Error(form.takeText('message'));
        const bytes = form.take('varianceRecords');
        const n = new Float32Array(bytes.buffer, bytes.byteOffset, bytes.length / 4);
        const texts = form.take('varianceTexts');
        const points = form.takeText('variancePoints');
        const canvas = $('varianceCanvas');
        const k = window.devicePixelRatio || 1;
        canvas.width = Math.round(600 * k);
        canvas.height = Math.round(440 * k);
        canvas.style.width = '600px';
        canvas.style.height = '440px';
        ArrivalsPainter.paintRecords(canvas.getContext('2d'), n, texts, k);
        $('varianceSummary').textContent = form.takeText('varianceSummary');
        const body = $('variancePoints').tBodies[0];
        body.replaceChildren();
        for (const line of points.split('\n')) {
          if (!/^[0-9]/.test(line)) continue;
          const row = body.insertRow();
          for (const cell of line.split(',')) row.insertCell().textContent = cell;
        }
        $('cmdSavePoints').onclick = () =>
          download('points.csv', new Blob([points], { type: 'text/csv' }));
        app.say('');
        $('varianceBox').showModal();
      },
      fail(e) {
        try { form.trace('cancel'); } catch { /* already ended */ }
        app.say(`No variance-time plot: ${e && e.message ? e.message : e}`);
      },
    }, 'Variance-time of this run');
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
    $('cmdSaveScript').addEventListener('click', () => {
      download('arrivals-run.script', new Blob([recording()], { type: 'text/plain' }));
      app.describe.say('arrivals-run.script saved');
    });
    $('cmdPicture').addEventListener('click', () =>
      picture(app).toBlob((b) => {
        download('arrivals.png', b);
        app.describe.say('arrivals.png saved');
      }, 'image/png'));
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
    $('cmdVariance').addEventListener('click', () => varianceTime(app, $));
  }

  return { create };
})();
