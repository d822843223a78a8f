// The index page's game links and the box's latest version, from the same
// APIs the box itself reads.
(function () {
  'use strict';

  const links = document.getElementById('game-links');
  const count = document.getElementById('game-count');
  const version = document.getElementById('latest-version');

  function getJson(path) {
    return fetch(path, { cache: 'no-store' }).then(reply => {
      if (!reply.ok) throw new Error('HTTP ' + reply.status);
      return reply.json();
    });
  }

  function showLine(text) {
    links.textContent = '';
    const span = document.createElement('span');
    span.className = 'muted';
    span.textContent = text;
    links.appendChild(span);
  }

  getJson('/api/games.json')
    .then(data => {
      const games = Array.isArray(data.games) ? data.games : [];
      if (!games.length) {
        showLine('暂无游戏');
        return;
      }
      links.textContent = '';
      games.forEach(game => {
        const a = document.createElement('a');
        a.className = 'btn';
        a.href = '/game/' + encodeURIComponent(game.tag) + '.html';
        a.textContent = game.name;
        links.appendChild(a);
      });
      count.textContent = '共 ' + games.length + ' 款';
    })
    .catch(() => showLine('游戏列表加载失败，请稍后刷新'));

  getJson('/update/')
    .then(data => {
      version.textContent = data.version_name ? String(data.version_name) : '暂无';
    })
    .catch(() => {
      version.textContent = '暂时无法获取';
    });
})();
