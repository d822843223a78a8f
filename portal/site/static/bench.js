// Served only by a portal started with --bench. Reports the page's load event
// to the portal, so a benchmark can time pages from outside the box, and the
// first animation frame after the page was hidden and shown again (a tab
// brought back to the front); on the home page it also sends the bridge
// messages a benchmark queues there, as if the page had asked for them itself.
(function () {
  'use strict';

  const script = document.currentScript;
  const page = location.pathname + location.search;

  function report(what) {
    const url = '/bench/' + what + '?at=' + Date.now() + '&page=' + encodeURIComponent(page);
    // A beacon still goes out when the page is closed right after its load
    // (the login window goes as soon as the login is reported).
    if (!(navigator.sendBeacon && navigator.sendBeacon(url))) {
      fetch(url, { cache: 'no-store', keepalive: true }).catch(() => {});
    }
  }

  // The messages queued after this page was served, each once.
  let after = Number(script && script.dataset.messages);

  function relayMessages() {
    fetch('/bench/command?after=' + after, { cache: 'no-store' })
      .then(reply => (reply.status === 200 ? reply.json() : null))
      .then(message => {
        if (message) {
          after = message.seq;
          kavoBridge.send(message.code, message.str, message.json);
        }
        relayMessages();
      })
      // The portal went away: try again later rather than spin.
      .catch(() => setTimeout(relayMessages, 5000));
  }

  // The frame callback runs when the renderer starts its first frame for the
  // page on screen again, which is later than the event itself.
  document.addEventListener('visibilitychange', () => {
    if (document.visibilityState === 'visible') requestAnimationFrame(() => report('shown'));
  });

  window.addEventListener('load', () => {
    report('loaded');
    if (after >= 0 && window.kavoBridge) relayMessages();
  });
})();
