// QQ / WeChat authorisation look-alike: authorising logs in as the page's demo player.
(function () {
  'use strict';
  const player = document.body.getAttribute('data-player') || '玩家';
  document.getElementById('btn-authorize').addEventListener('click', () => {
    kavoBridge.send(2, 'social login', { name: player });
  });
  document.getElementById('btn-cancel').addEventListener('click', () => {
    kavoBridge.notice('已取消授权，可关闭此窗口');
  });
})();
