// arrivals.html starts: one form filling the window, on the URL's fragment,
// with the row of commands under it.
'use strict';
ArrivalsWasm().then((m) => {
  const app = ArrivalsPage({ module: m });
  ArrivalsCommands.create(app, (id) => document.getElementById(id));
  addEventListener('resize', () => app.layout());
  // The page's own zoom, beside its commands: 0 is "Fit".
  document.getElementById('zoom').addEventListener('change', (e) => {
    app.zoom = Number(e.target.value);
    app.layout();
  });
  addEventListener('hashchange', app.start);
  window.arrivals = app;
  app.start();
});
