// The page: its form over the WebAssembly module, the timer, the URL's
// fragment, the message boxes and the notice, put together from the parts
// before it (bridge, fragment, jobs, painter, controls, commands).
'use strict';
(function () {
  const W = 844, H = 645;
  const $ = (id) => document.getElementById(id);
  const still = $('canvas'), moving = $('moving'), controlsDiv = $('controls'), formDiv = $('form');
  const dumpsPre = $('dumps'), statusDiv = $('status'), notice = $('notice');
  const dialog = $('message');
  const encoder = new TextEncoder(), decoder = new TextDecoder();

  const app = {
    width: W,
    height: H,
    form: null,        // the module's form (ArrivalsBridge.Form)
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
  app.layout = () => {
    const bare = document.body.classList.contains('bare');
    const below = bare ? 0
      : $('commands').offsetHeight + $('linkBox').offsetHeight + notice.offsetHeight;
    const s = Math.max(0.1, Math.min(innerWidth / W, (innerHeight - below) / H));
    const dpr = devicePixelRatio || 1;
    const resized = s !== scale || still.width !== Math.round(W * s * dpr);
    scale = s;
    formDiv.style.width = W * s + 'px';
    formDiv.style.height = H * s + 'px';
    formDiv.style.marginLeft = Math.max(0, (innerWidth - W * s) / 2) + 'px';
    for (const c of [still, moving]) {
      c.style.width = W * s + 'px';
      c.style.height = H * s + 'px';
      if (resized) {
        c.width = Math.round(W * s * dpr);
        c.height = Math.round(H * s * dpr);
      }
    }
    controlsDiv.style.transform = s === 1 ? '' : `scale(${s})`;
    if (formReady && resized) show(true);
  };

  // What the form shows now: its frame painted, the real controls and the
  // timer brought in line.
  function show(full) {
    const frame = app.form.frame(full);
    if (frame.controls) {
      app.controls = frame.controls;
      if (!app.view) app.view = ArrivalsControls.create(app, controlsDiv, frame.controls);
      else app.view.show(frame.controls);
    }
    if (frame.timer && !timer) timer = setInterval(onTimer, 50);
    else if (!frame.timer && timer) { clearInterval(timer); timer = 0; }
    app.painter.paint(frame, full);
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

  function start() {
    let frag;
    try {
      frag = ArrivalsFragment.read(location.hash);
    } catch (e) {
      frag = { error: e.message };
    }
    app.begin(frag);
  }

  // Starts afresh on a fragment's pairs, as opening a new link would: a new
  // form, whose first frame is a full one.
  app.begin = (frag) => {
    if (timer) { clearInterval(timer); timer = 0; }
    if (dialog.open) dialog.close();
    if ($('varianceBox').open) $('varianceBox').close(); // of the old run
    messages = [];
    app.jobs.drop();
    dumpsPre.textContent = '';
    statusDiv.textContent = '';
    notice.textContent = '';
    formReady = false;
    $('linkBox').hidden = true;
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
    app.view.cmbData.input.focus({ preventScroll: true });
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

  ArrivalsCommands.create(app, $);

  // --- Start-up -------------------------------------------------------------
  addEventListener('resize', app.layout);
  addEventListener('hashchange', start);
  ArrivalsWasm().then((m) => {
    app.module = m;
    app.form = new ArrivalsBridge.Form(m);
    // For the page's tests and benchmark: the page, its form and one timer
    // event as the timer delivers it.
    app.timerEvent = onTimer;
    app.repaint = () => show(true);
    window.arrivals = app;
    start();
  });
})();
