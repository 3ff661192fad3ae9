// arrivals.html starts: one form filling the window, on the URL's fragment,
// with the row of commands under it.
'use strict';
ArrivalsWasm().then((m) => {
  const app = ArrivalsPage({ module: m });
  ArrivalsCommands.create(app, (id) => document.getElementById(id));
  addEventListener('resize', () => app.layout());
  addEventListener('hashchange', app.start);
  window.arrivals = app;
  app.start();
});
