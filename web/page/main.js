// A form of the page over the WebAssembly module `opts.module`: its canvas
// and controls, the timer, the message boxes and the notice, put together
// from the parts before it (bridge, fragment, jobs, painter, controls).
// Its elements are those whose ids begin with `opts.prefix` (none for
// arrivals.html; compare.html holds two forms, "a-" and "b-"). By default it
// fills the window and runs its own timer; `opts.fit()` gives it a scale
// instead, and `opts.clock(on)` is told when its timer goes on or off, for a
// page that delivers the timer events itself.
'use strict';
// eslint-disable-next-line no-unused-vars
const ArrivalsPage = (opts) => {
  const W = 844, H = 645;
  const prefix = opts.prefix || '';
  const $ = (id) => document.getElementById(prefix + id);
  const heightOf = (id) => { const e = $(id); return e ? e.offsetHeight : 0; };
  const still = $('canvas'), moving = $('moving'), controlsDiv = $('controls'), formDiv = $('form');
  const dumpsPre = $('dumps'), statusDiv = $('status'), notice = $('notice');
  const dialog = $('message');
  const encoder = new TextEncoder(), decoder = new TextDecoder();

  const app = {
    prefix,
    width: W,
    height: H,
    module: opts.module,
    form: new ArrivalsBridge.Form(opts.module),
    controls: null,    // the last control data
    view: null,        // the real controls
    painter: ArrivalsPainter.create(still, moving, W),
    jobs: ArrivalsJobs.create($('busy'), $('progressBar'), $('progress'), $('cancel'),
      $('progressText')),
  };
  let timer = 0;         // the interval of tmrMain, or 0 while it is off
  let scale = 1;
  let seedText = null;   // seed= of the fragment, or the page's own
  let firstFrame = false;
  let formReady = false; // the form has played its script and is shown
  let messages = [];

  app.say = (text) => { notice.textContent = text; app.layout(); };

  // --- Scale ----------------------------------------------------------------
  // The form is fitted to the window, or drawn at the student's zoom, a
  // percentage (0 for "Fit"); above the fit the page scrolls. A small or
  // touch screen gets the touch layout: the real controls leave the
  // picture for a panel of full-size controls beside it (landscape) or
  // below it (portrait), and the picture is fitted to what is left.
  const coarse = window.matchMedia('(pointer: coarse)');
  const SIDE = 280; // the least width of the panel beside the picture
  app.zoom = 0;
  app.touch = () => document.body.classList.contains('touch');
  app.layout = () => {
    const body = document.body, bare = body.classList.contains('bare');
    const touch = !bare && !opts.fit && (innerWidth < 600 || innerHeight < 500 || coarse.matches);
    if (touch !== app.touch()) {
      body.classList.toggle('touch', touch);
      if (touch) formDiv.after(controlsDiv);
      else formDiv.insertBefore(controlsDiv, $('busy'));
    }
    const wide = touch && !app.zoom && innerWidth > innerHeight;
    body.classList.toggle('wide', wide);
    body.classList.toggle('zoomed', app.zoom > 0);
    // Text grows with the zoom, from the layout's own size.
    body.style.fontSize = app.zoom ? (touch ? 16 : 13) * app.zoom / 100 + 'px' : '';
    const across = document.documentElement.clientWidth || innerWidth;
    let s;
    if (opts.fit) s = opts.fit();
    else if (app.zoom) s = app.zoom / 100;
    else if (wide) s = Math.min((across - SIDE) / W, innerHeight / H);
    else if (touch) s = Math.min(across / W, (innerHeight - controlsDiv.offsetHeight) / H);
    else {
      const below = bare ? 0
        : heightOf('commands') + heightOf('linkBox') + notice.offsetHeight +
          heightOf('redText');
      s = Math.min(innerWidth / W, (innerHeight - below) / H);
    }
    s = Math.max(0.1, s);
    const dpr = devicePixelRatio || 1;
    const resized = s !== scale || still.width !== Math.round(W * s * dpr);
    scale = s;
    formDiv.style.width = W * s + 'px';
    formDiv.style.height = H * s + 'px';
    formDiv.style.marginLeft = wide || opts.fit ? '' : Math.max(0, (across - W * s) / 2) + 'px';
    if ($('stage')) $('stage').style.marginLeft = wide ? W * s + 'px' : '';
    for (const c of [still, moving]) {
      c.style.width = W * s + 'px';
      c.style.height = H * s + 'px';
      if (resized) {
        c.width = Math.round(W * s * dpr);
        c.height = Math.round(H * s * dpr);
      }
    }
    controlsDiv.style.transform = s === 1 || touch ? '' : `scale(${s})`;
    if (formReady && resized) show(true);
  };
  coarse.addEventListener('change', () => app.layout());

  // What the form shows now: its frame painted, the real controls and the
  // timer brought in line.
  function show(full) {
    const frame = app.form.frame(full);
    if (frame.controls) {
      app.controls = frame.controls;
      if (!app.view) app.view = ArrivalsControls.create(app, controlsDiv, frame.controls);
      else app.view.show(frame.controls);
    }
    setTimer(frame.timer);
    app.painter.paint(frame, full);
    app.describe.show(frame);
    if (opts.shown) opts.shown(app);
    if (!firstFrame) {
      firstFrame = true;
      performance.mark('arrivals-first-frame');
    }
  }

  // One event of the user or the timer (SceneFormat.event): the form
  // handles it, the page then shows what it did, and the message boxes it
  // raised, one after another.
  app.event = (name, arg = 0, text = '') => {
    if (dialog.open || app.jobs.busy() || !formReady) return;
    app.form.event(name, arg, text);
    show(false);
    for (let m = app.form.takeText('messageBox'); m !== ''; m = app.form.takeText('messageBox'))
      messages.push(m);
    showNextMessage();
  };
  function showNextMessage() {
    if (dialog.open || messages.length === 0) return;
    $('messageText').textContent = messages.shift();
    dialog.showModal();
  }
  // Escape closes the box as OK does, as in the window.
  dialog.addEventListener('close', showNextMessage);

  // One timer event, one tick: a late event never makes up for lost time.
  // While the message box is open the events are dropped.
  function onTimer() { app.event('timer'); }
  function setTimer(on) {
    if (opts.clock) {
      timer = on ? 1 : 0;
      opts.clock(on);
    } else if (on && !timer) timer = setInterval(onTimer, 50);
    else if (!on && timer) { clearInterval(timer); timer = 0; }
  }

  // --- Start: the fragment, the script in slices -----------------------------
  function setStatus(status, message) {
    statusDiv.textContent = message ? `${status} ${message}` : String(status);
    app.say(status === 0 ? '' : message);
  }

  function takeDumps() {
    const d = app.form.takeText('dumps');
    if (d) dumpsPre.textContent += d;
  }

  function clockSeed() {
    const a = new Uint32Array(2);
    crypto.getRandomValues(a);
    return (BigInt(a[0]) << 32n | BigInt(a[1])).toString();
  }

  // Starts afresh on the URL's fragment.
  app.start = () => {
    let frag;
    try {
      frag = ArrivalsFragment.read(location.hash);
    } catch (e) {
      frag = { error: e.message };
    }
    app.begin(frag);
  };

  // Starts afresh on a fragment's pairs, as opening a new link would: a new
  // form, whose first frame is a full one.
  app.begin = (frag) => {
    setTimer(false);
    if (dialog.open) dialog.close();
    if ($('varianceBox')?.open) $('varianceBox').close(); // of the old run
    messages = [];
    app.jobs.drop();
    dumpsPre.textContent = '';
    statusDiv.textContent = '';
    notice.textContent = '';
    app.describe.clear();
    formReady = false;
    if ($('linkBox')) $('linkBox').hidden = true;
    document.body.classList.toggle('bare', !!frag.bare && decoder.decode(frag.bare) === '1');
    app.layout();
    seedText = frag.seed ? decoder.decode(frag.seed) : null;
    if (frag.error) return recover(2, frag.error);
    if (seedText === null && !frag.script) seedText = clockSeed();
    const seed = frag.seed || (seedText === null ? null : encoder.encode(seedText));
    app.form.start(seed, frag.script || new Uint8Array(0));
    play();
  };

  // After a failed script or a cancel: the form as `load` leaves it, with
  // the seed given (or the clock's).
  function recover(status, message) {
    takeDumps();
    const ok = seedText !== null && /^[0-9]+$/.test(seedText);
    app.form.start(ok ? encoder.encode(seedText) : null, null, true);
    finish(status, message);
  }

  function finish(status, message) {
    formReady = true;
    app.view = null;
    show(true);
    setStatus(status, message);
    // On a touch screen a focused box would pop up the keyboard.
    if (!opts.fit && !app.touch()) app.view.cmbData.input.focus({ preventScroll: true });
    if (opts.ready) opts.ready(app);
  }

  function play() {
    const form = app.form;
    app.jobs.run({
      step: (cancel) => form.play(cancel),
      progress: () => form.progress(),
      said: () => form.progressText(),
      finish(status) {
        takeDumps();
        if (status !== 0) return recover(status, form.takeText('message'));
        finish(0, '');
        performance.mark('arrivals-script-shown');
      },
      fail: (e) => recover(1, `the page failed: ${e && e.message ? e.message : e}`),
    }, 'Playing the script');
  }

  app.describe = ArrivalsDescribe.create(app, $);

  // For the page's tests and benchmark: the page, its form and one timer
  // event as the timer delivers it.
  app.ready = () => formReady;
  app.timerOn = () => timer !== 0;
  app.timerEvent = onTimer;
  app.repaint = () => show(true);
  return app;
};
