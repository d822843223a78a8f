// The page side of the box's web channel. Outside the box (an ordinary
// browser) there is no channel: sends do nothing but show a short note.
(function () {
  'use strict';

  const hasTransport = typeof QWebChannel !== 'undefined' && !!window.qt && !!qt.webChannelTransport;
  const listeners = [];
  const pending = [];
  let bridge = null;
  let noticeTimer = 0;

  function notice(text, msec) {
    let el = document.getElementById('kavo-notice');
    if (!el) {
      el = document.createElement('div');
      el.id = 'kavo-notice';
      el.className = 'toast';
      document.body.appendChild(el);
    }
    el.textContent = text;
    el.classList.add('show');
    clearTimeout(noticeTimer);
    noticeTimer = setTimeout(() => el.classList.remove('show'), msec || 2500);
  }

  // The client expects JSON text of one object, "" for codes without
  // parameters, and a bare address from the site-message page.
  function jsonText(params) {
    if (params === undefined || params === null) return '';
    if (typeof params === 'string') return params;
    return JSON.stringify(params);
  }

  // Runs fn with the bridge object once the channel is open; never without the box.
  function ready(fn) {
    if (bridge) fn(bridge);
    else if (hasTransport) pending.push(fn);
  }

  function send(code, str, params) {
    if (!hasTransport) {
      notice('请在游戏盒子中打开');
      return false;
    }
    const text = jsonText(params);
    ready(o => o.JSSendMessage(code, String(str || ''), text));
    return true;
  }

  function onMessage(fn) {
    listeners.push(fn);
  }

  if (hasTransport) {
    new QWebChannel(qt.webChannelTransport, channel => {
      const o = channel.objects.interactObj;
      if (!o) return;
      bridge = o;
      if (o.SigSendMessageToJS) {
        o.SigSendMessageToJS.connect(text => {
          listeners.forEach(fn => {
            try {
              fn(String(text));
            } catch (e) {
              console.error(e);
            }
          });
        });
      }
      pending.splice(0).forEach(fn => fn(o));
    });
  }

  window.kavoBridge = {
    available: () => hasTransport,
    ready: ready,
    send: send,
    onMessage: onMessage,
    notice: notice,
  };
})();
