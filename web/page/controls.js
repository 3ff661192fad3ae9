// The form's real controls over its canvas (the two boxes, Start, Pause and
// the view buttons), placed, captioned and coloured from the module's
// control data; each user action is handed to `app.event`.
'use strict';
// eslint-disable-next-line no-unused-vars
const ArrivalsControls = (() => {
  function place(el, c) {
    const [x, y, w, h] = c.box;
    Object.assign(el.style, { left: x + 'px', top: y + 'px', width: w + 'px', height: h + 'px' });
  }
  function fontOf(el, c) {
    el.style.fontSize = c.font[0] + 'px';
    el.style.fontWeight = c.font[1] ? 'bold' : 'normal';
  }

  function makeButton(app, id, c, event) {
    const b = document.createElement('button');
    b.type = 'button'; b.id = app.prefix + id; b.className = 'btn';
    place(b, c); fontOf(b, c);
    b.addEventListener('click', () => app.event(event));
    return b;
  }

  // An editable box in the ARIA combobox pattern: typing is a change of the
  // text, picking an item of the list is a pick; the two stay apart.
  function makeCombo(app, name, c, which, label) {
    const id = app.prefix + name;
    const wrap = document.createElement('div');
    wrap.className = 'combo'; place(wrap, c);
    // Its name, shown above it in the touch layout, where the picture's
    // own caption is out of reach.
    wrap.id = id + 'Box'; wrap.dataset.label = label;
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
    const items = () => app.controls[name].items;
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
      mark(yes ? current() : -1);
    };
    const pick = (i) => {
      open(false);
      if (i >= 0 && i < items().length) app.event('pick' + which, i);
    };
    input.addEventListener('input', () => app.event('type' + which, 0, input.value));
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
    return {
      wrap, input, list, fill(itemsNow) {
        list.textContent = '';
        itemsNow.forEach((t, j) => {
          const li = document.createElement('li');
          li.id = `${id}Item${j}`; li.textContent = t;
          li.setAttribute('role', 'option');
          li.setAttribute('aria-selected', 'false');
          list.append(li);
        });
      },
    };
  }

  function makeView(app, i, c) {
    const label = document.createElement('label');
    label.className = 'view'; place(label, c); fontOf(label, c);
    const r = document.createElement('input');
    r.type = 'radio'; r.name = app.prefix + 'optGraphs'; r.id = r.name + i;
    const caption = document.createElement('span');
    label.append(r, caption);
    r.addEventListener('click', () => app.event('view', i));
    return { label, radio: r, caption };
  }

  // The controls of `app` in `div`, made afresh from control data `c`.
  function create(app, div, c) {
    div.textContent = '';
    const v = {
      cmbExperiment: makeCombo(app, 'cmbExperiment', c.cmbExperiment, 'Process', 'Arrival process'),
      btnStart: makeButton(app, 'btnStart', c.btnStart, 'start'),
      btnPause: makeButton(app, 'btnPause', c.btnPause, 'pause'),
      cmbData: makeCombo(app, 'cmbData', c.cmbData, 'Rate', 'Packets per second'),
      opt: [makeView(app, 0, c.optGraphs0), makeView(app, 1, c.optGraphs1)],
    };
    // A rate is a number with a point: a phone offers its keypad.
    v.cmbData.input.inputMode = 'decimal';
    // The window's tab order: rate box, Pause, process box, Start, views.
    // The view buttons are one group, named from the form's description.
    const views = document.createElement('div');
    views.id = app.prefix + 'views'; views.setAttribute('role', 'radiogroup');
    views.append(v.opt[0].label, v.opt[1].label);
    div.append(v.cmbData.wrap, v.btnPause, v.cmbExperiment.wrap, v.btnStart, views);

    // Brings the controls in line with control data `c`.
    v.show = (d) => {
      for (const [box, b] of [[v.cmbExperiment, d.cmbExperiment], [v.cmbData, d.cmbData]]) {
        if (box.list.children.length !== b.items.length) box.fill(b.items);
        if (box.input.value !== b.text) box.input.value = b.text;
        box.input.style.color = ArrivalsPainter.rgb(b.color);
      }
      v.btnStart.textContent = d.btnStart.caption;
      v.btnPause.textContent = d.btnPause.caption;
      const any = d.optGraphs0.value || d.optGraphs1.value;
      v.opt.forEach((o, i) => {
        const b = i ? d.optGraphs1 : d.optGraphs0;
        o.caption.textContent = b.caption;
        o.radio.checked = b.value;
        o.radio.tabIndex = b.value || (!any && i === 0) ? 0 : -1;
      });
    };
    v.show(c);
    return v;
  }

  return { create };
})();
