// Buttons marked data-demo-only stand for actions the demo portal does not perform.
(function () {
  'use strict';
  document.addEventListener('click', e => {
    const el = e.target.closest('[data-demo-only]');
    if (!el) return;
    e.preventDefault();
    const text = el.getAttribute('data-demo-only') || '演示环境暂不支持该操作';
    if (window.kavoBridge) kavoBridge.notice(text);
  });
})();
