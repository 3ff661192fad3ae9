// compare.html: two forms of one module side by side at one scale, each on
// a link of its own. Its fragment is a=VALUE&b=VALUE, each VALUE a fragment
// as arrivals.html takes it, percent-encoded once more as a whole. Once both
// links have played, one timer gives every event to both forms (a form whose
// timer is off drops it), and "Start both" and "Stop both" press Start or
// Stop in both within one event, so that two runs started together keep the
// same time.
'use strict';
ArrivalsWasm().then((m) => {
  const W = 844, H = 645;
  const SIDES = ['a', 'b'];
  const NAMES = { a: 'A', b: 'B' };
  const $ = (id) => document.getElementById(id);
  const decoder = new TextDecoder();
  // The room #sides takes across besides the two forms: its padding and
  // the gap between them (compare.css).
  const SPARE = 16;
  let timer = 0;

  // The larger scale at which both forms fit side by side under the bar,
  // each with its heading and its notice.
  function fit() {
    const below = Math.max(...SIDES.map((p) =>
      $(p + '-heading').offsetHeight + $(p + '-notice').offsetHeight));
    return Math.min((innerWidth - SPARE) / (2 * W),
      (innerHeight - $('bar').offsetHeight - below) / H);
  }

  // Each side's heading names its process, as its box shows it.
  function shown(page) {
    const c = page.controls;
    const p = page.prefix.slice(0, 1);
    const text = `${NAMES[p]}: ${c ? c.cmbExperiment.text : ''}`;
    const h = $(p + '-heading');
    if (h.textContent !== text) h.textContent = text;
  }

  // One timer for both, running while both have played and either form's
  // timer is on.
  function tick() { for (const page of pages) page.timerEvent(); }
  function clock() {
    const run = pages.length === SIDES.length && pages.every((page) => page.ready()) &&
      pages.some((page) => page.timerOn());
    if (run && !timer) timer = setInterval(tick, 50);
    else if (!run && timer) { clearInterval(timer); timer = 0; }
  }

  const pages = [];
  const own = [];
  // A change of either side's notice moves both: they share one scale.
  function layout() {
    for (const f of own) f();
    const width = pages[0].width * fit();
    for (const p of SIDES) $(p + '-side').style.width = Math.max(1, width) + 'px';
  }
  for (const p of SIDES) {
    const page = ArrivalsPage({ module: m, prefix: p + '-', fit, clock, shown,
      ready: clock });
    own.push(page.layout);
    page.layout = layout;
    pages.push(page);
  }

  // Side `p`'s link: its pair percent-decoded, then read as arrivals.html
  // reads its fragment. A fault in one side's link is that side's alone.
  function sideFragment(hash, p) {
    const text = hash.startsWith('#') ? hash.slice(1) : hash;
    const pair = text.split('&').filter((s) => s.startsWith(p + '=')).pop();
    if (pair === undefined) return {};
    try {
      const inner = decoder.decode(ArrivalsFragment.read(pair, [p])[p]);
      const frag = ArrivalsFragment.read(inner);
      // The form fills its column: bare= has no meaning here.
      delete frag.bare;
      return frag;
    } catch (e) {
      return { error: e.message };
    }
  }

  function start() {
    if (timer) { clearInterval(timer); timer = 0; }
    SIDES.forEach((p, i) => pages[i].begin(sideFragment(location.hash, p)));
  }

  // Presses Start in every form whose button says `caption`; "Start both"
  // first stops a form that runs, so that both runs begin at this event.
  function press(caption) {
    for (const page of pages) {
      if (!page.ready() || !page.controls) continue;
      if (caption === 'Start' && page.controls.btnStart.caption === 'Stop')
        page.event('start');
      if (page.controls.btnStart.caption === caption) page.event('start');
    }
  }
  $('cmdStartBoth').addEventListener('click', () => press('Start'));
  $('cmdStopBoth').addEventListener('click', () => press('Stop'));

  addEventListener('resize', layout);
  addEventListener('hashchange', start);
  // For the page's tests: both pages and one timer event as the timer
  // delivers it.
  window.compare = { pages, timerEvent: tick };
  start();
});
