// Slow jobs (a long script, a trace being saved) in slices of a few
// milliseconds, so that the tab keeps answering and Cancel works however
// long they are: one loop for all of them, one job at a time, with the
// progress bar and Cancel over the form once a job has taken 200 ms.
'use strict';
// eslint-disable-next-line no-unused-vars
const ArrivalsJobs = (() => {
  // A job: step(cancel) runs a slice and returns -1 while there is more,
  // otherwise its status (a cancelled step ends it); progress() is the share
  // done, from 0 to 1, and said() the same in words (the line and the ticks
  // done) beside the bar; finish(status) takes the end; fail(error) any
  // exception thrown on the way, after the overlay has closed.
  function create(busy, bar, progressbar, cancelButton, text) {
    let current = null;

    // A task of its own without the 4 ms clamp of nested timeouts.
    const channel = new MessageChannel();
    let next = null;
    channel.port1.onmessage = () => { const f = next; next = null; if (f) f(); };
    const post = (f) => { next = f; channel.port2.postMessage(0); };

    function close(ticket) {
      if (current !== ticket) return false;
      current = null;
      busy.hidden = true;
      bar.style.width = '0';
      text.textContent = '';
      progressbar.removeAttribute('aria-valuetext');
      return true;
    }

    function run(job, label) {
      if (current) return false;
      const ticket = { cancelled: false };
      current = ticket;
      const t0 = performance.now();
      progressbar.setAttribute('aria-label', label);
      const slice = () => {
        if (current !== ticket) return; // dropped by a new start
        let status = -1;
        try {
          const end = performance.now() + 30;
          do status = job.step(ticket.cancelled);
          while (status < 0 && performance.now() < end);
          if (status < 0) {
            if (performance.now() - t0 > 200) busy.hidden = false;
            const pct = Math.round(job.progress() * 100);
            bar.style.width = pct + '%';
            progressbar.setAttribute('aria-valuenow', pct);
            const said = job.said ? job.said() : '';
            text.textContent = said;
            if (said) progressbar.setAttribute('aria-valuetext', `${pct} %, ${said}`);
            post(slice);
            return;
          }
        } catch (e) {
          if (close(ticket)) job.fail(e);
          return;
        }
        if (!close(ticket)) return;
        try { job.finish(status); } catch (e) { job.fail(e); }
      };
      slice();
      return true;
    }

    cancelButton.addEventListener('click', () => { if (current) current.cancelled = true; });

    return {
      run,
      busy: () => current !== null,
      // Drops the job without a word: a new start replaces it.
      drop: () => close(current),
    };
  }

  return { create };
})();
