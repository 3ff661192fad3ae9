// The form in words, for a student who cannot see the canvas: the counter,
// the four graphs as tables, the view buttons as a named group and a red
// process explained in visible text, all written by the module
// (web_take "description"); one polite live region that says what the
// student did (Start, Pause, Cont, Stop, a process turning red, a save),
// F2 the state and F1 the help.
//
// The live region (#said) and the notice (#notice, an alert) never carry
// the same text: failures go to the notice only, everything else here.
'use strict';
// eslint-disable-next-line no-unused-vars
const ArrivalsDescribe = (() => {
  function make(tag, text, attrs = {}) {
    const e = document.createElement(tag);
    if (text !== undefined) e.textContent = text;
    for (const [k, v] of Object.entries(attrs)) e.setAttribute(k, v);
    return e;
  }

  // A graph's axes, read before its table, then the table: its title as
  // the caption, one row a bar.
  function graphTable(g) {
    const table = make('table');
    table.append(make('caption', g.title));
    const head = make('tr');
    head.append(make('th', g.labelHeading, { scope: 'col' }),
      make('th', g.countHeading, { scope: 'col' }));
    const body = make('tbody');
    for (const [label, count] of g.rows) {
      const tr = make('tr');
      tr.append(make('th', label, { scope: 'row' }), make('td', String(count)));
      body.append(tr);
    }
    table.append(make('thead'), body);
    table.tHead.append(head);
    return [make('p', g.xAxis + ' ' + g.height), table];
  }

  // Whether graph descriptions `a` and `b` have the same table but for
  // its counts.
  function sameTable(a, b) {
    return a.title === b.title && a.labelHeading === b.labelHeading &&
      a.countHeading === b.countHeading && a.rows.length === b.rows.length &&
      a.rows.every(([label], k) => label === b.rows[k][0]);
  }

  // The help's plain text as a dialog's content: the first paragraph is
  // the title; a paragraph whose first line is followed by others is a
  // section headed by that line; lines that begin with "- " are a list.
  function helpContent(text, title, body) {
    const blocks = text.split('\n\n');
    title.textContent = blocks.shift();
    body.textContent = '';
    for (const block of blocks) {
      const lines = block.split('\n');
      if (lines.length > 1 && !lines[0].startsWith('- ')) body.append(make('h3', lines.shift()));
      let list = null;
      for (const line of lines) {
        if (line.startsWith('- ')) {
          if (!list) body.append(list = make('ul'));
          list.append(make('li', line.slice(2)));
        } else {
          list = null;
          body.append(make('p', line));
        }
      }
    }
  }

  function create(app, $) {
    // A page that holds the form without its words (compare.html) gets a
    // description that says nothing.
    if (!$('said')) return { show() {}, say() {}, clear() {}, openHelp() {} };
    const said = $('said'), red = $('redText'), help = $('help');
    let version = -1;   // graphsVersion of the description shown
    let last = null;    // the description shown, and the captions then
    let helpFrom = null;
    let graphs = [];    // per graph: its description shown and its nodes

    // Says `text` once in the live region, again when it is said again.
    const say = (text) => {
      said.textContent = text === said.textContent ? text + '\u00a0' : text;
    };

    // The graphs' tables: at a redraw mostly counts change, so a table
    // whose rows keep their labels has only its changed cells written,
    // which keeps a redraw's tick cheap.
    function showGraphs(list) {
      const tables = $('graphTables');
      if (graphs.length !== list.length) {
        tables.textContent = '';
        graphs = [];
      }
      list.forEach((g, i) => {
        const old = graphs[i];
        if (old && sameTable(old.g, g)) {
          const axes = g.xAxis + ' ' + g.height;
          if (old.nodes[0].textContent !== axes) old.nodes[0].textContent = axes;
          const rows = old.nodes[1].tBodies[0].rows;
          g.rows.forEach(([, count], k) => {
            if (old.g.rows[k][1] !== count) rows[k].cells[1].textContent = String(count);
          });
          old.g = g;
          return;
        }
        const nodes = graphTable(g);
        if (old) {
          old.nodes[1].remove();
          old.nodes[0].replaceWith(...nodes);
        } else {
          tables.append(...nodes);
        }
        graphs[i] = { g, nodes };
      });
    }

    function build(d) {
      $('counterText').textContent = d.counter;
      $('inFlightText').textContent = d.inFlight;
      showGraphs(d.graphs);
      d.views.buttons.forEach((b, i) => { $('viewNote' + i).textContent = b.description; });
      $('noteStart').textContent = d.btnStart;
      $('notePause').textContent = d.btnPause;
      if (red.textContent !== d.redProcess) {
        red.textContent = d.redProcess;
        app.layout();
      }
      // The real controls, made afresh at each new run, named here.
      const group = $('views');
      if (group) {
        group.setAttribute('aria-label', d.views.name);
        for (let i = 0; i < 2; ++i) $('optGraphs' + i).setAttribute('aria-describedby', 'viewNote' + i);
        $('btnStart').setAttribute('aria-describedby', 'noteStart');
        $('btnPause').setAttribute('aria-describedby', 'notePause');
      }
    }

    // After each frame shown: the description rebuilt when the graphs were
    // redrawn, the controls changed or the frame is a full one. A frame
    // after a student's event says what changed; a full one says nothing.
    function show(frame) {
      if (!frame.full && frame.graphsVersion === version && !frame.controls) return;
      version = frame.graphsVersion;
      const d = JSON.parse(app.form.takeText('description'));
      const now = { start: $('btnStart')?.textContent, pause: $('btnPause')?.textContent, red: d.redProcess };
      const before = last;
      // Set before building: a red text that appears or goes lays the page
      // out again, which may show a full frame meanwhile.
      last = now;
      build(d);
      if (frame.full || !before) return;
      if (now.start !== before.start) say(now.start === 'Stop' ? 'Started' : 'Stopped');
      else if (now.pause !== before.pause && now.pause === 'Cont') say('Paused');
      else if (now.pause !== before.pause && now.pause === 'Pause') say('Continued');
      if (now.red && !before.red) say(now.red);
    }

    // A new run, link or script: nothing of the run before is said or
    // shown while the new one's script plays.
    function clear() {
      version = -1;
      last = null;
      graphs = [];
      for (const id of ['counterText', 'inFlightText', 'graphTables', 'redText'])
        $(id).textContent = '';
    }

    function openHelp() {
      if (help.open) return;
      if (!$('helpText').childElementCount)
        helpContent(app.form.takeText('help'), $('helpTitle'), $('helpText'));
      helpFrom = document.activeElement;
      help.showModal();
      $('helpOk').focus();
    }
    help.addEventListener('close', () => {
      if (helpFrom && helpFrom.isConnected) helpFrom.focus({ preventScroll: true });
      helpFrom = null;
    });
    $('cmdHelp').addEventListener('click', openHelp);
    // F1 and F2 wherever the focus is, the text boxes included.
    addEventListener('keydown', (e) => {
      if (!app.form || e.altKey || e.ctrlKey || e.metaKey) return;
      if (e.key === 'F1') {
        e.preventDefault();
        openHelp();
      } else if (e.key === 'F2') {
        e.preventDefault();
        say(app.form.takeText('state'));
      }
    }, true);

    return { show, say, clear, openHelp };
  }

  return { create };
})();
