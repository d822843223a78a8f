// QQ / WeChat authorisation look-alike, one page for both: the address tells
// which provider it plays, and authorising logs in as that provider's demo player.
(function () {
  'use strict';
  const providers = {
    qq: { name: 'QQ', initial: 'Q', player: 'QQ玩家' },
    wx: { name: '微信', initial: '微', player: '微信玩家' },
  };
  const id = location.pathname.indexOf('weixin') >= 0 ? 'wx' : 'qq';
  const provider = providers[id];

  document.body.classList.add(id);
  document.title = provider.name + '登录 - 授权';
  document.getElementById('social-head').textContent = provider.name + '账号授权登录';
  document.getElementById('social-avatar').textContent = provider.initial;
  document.getElementById('social-player').textContent = provider.player;
  document.getElementById('social-ask').textContent = 'Kavo游戏盒子 申请使用你的' + provider.name + '账号登录';

  // Authorising opens the member session (a cookie), as the provider's
  // return to the member site does on a real portal.
  document.getElementById('btn-authorize').addEventListener('click', () => {
    fetch('/Kavobox2/session?via=' + id, { cache: 'no-store' })
      .then(reply => reply.json())
      .then(reply => {
        if (reply && reply.msg === 1) kavoBridge.send(2, 'social login', { name: reply.name });
        else kavoBridge.notice('授权失败，请稍后再试');
      })
      .catch(() => kavoBridge.notice('网络异常，请稍后再试'));
  });
  document.getElementById('btn-cancel').addEventListener('click', () => {
    kavoBridge.notice('已取消授权，可关闭此窗口');
  });
})();
