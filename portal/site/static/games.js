// Game cards of the home ("Kavo首页") and search ("找游戏") pages, fed by /api/games.json.
(function () {
  'use strict';

  const kSearchKey = 'kavo.search';
  const grid = document.getElementById('game-grid');
  const upcomingList = document.getElementById('upcoming');
  const searchInput = document.getElementById('search-input');
  const kindFilter = document.getElementById('kind-filter');
  const resultCount = document.getElementById('result-count');
  const homeSearch = document.getElementById('home-search');

  let games = [];
  let clockOffset = 0; // portal clock minus this machine's clock, in ms
  let query = '';
  let kind = '';
  let nextBoundary = Infinity; // the next opening time that changes what cards show

  const now = () => Math.floor((Date.now() + clockOffset) / 1000);

  function el(tag, className, text) {
    const node = document.createElement(tag);
    if (className) node.className = className;
    if (text !== undefined) node.textContent = text;
    return node;
  }

  function button(text, primary, onClick) {
    const b = el('button', 'btn btn-small' + (primary ? ' btn-primary' : ''), text);
    b.type = 'button';
    b.addEventListener('click', onClick);
    return b;
  }

  function pad(n) {
    return n < 10 ? '0' + n : String(n);
  }

  function formatTime(seconds) {
    const d = new Date(seconds * 1000);
    const today = new Date(now() * 1000);
    const hm = pad(d.getHours()) + ':' + pad(d.getMinutes());
    if (d.toDateString() === today.toDateString()) return '今天 ' + hm;
    return pad(d.getMonth() + 1) + '-' + pad(d.getDate()) + ' ' + hm;
  }

  function describeOpening(open) {
    const left = open - now();
    if (left <= 0) return formatTime(open) + ' 已开服';
    if (left < 600) return Math.floor(left / 60) + ' 分 ' + pad(left % 60) + ' 秒后开服';
    const minutes = Math.floor(left / 60);
    if (minutes < 60) return minutes + ' 分钟后开服';
    const hours = Math.floor(minutes / 60);
    if (hours < 24) return hours + ' 小时 ' + (minutes % 60) + ' 分后开服';
    return formatTime(open) + ' 开服';
  }

  function openingLabel(open, className) {
    const span = el('span', className, describeOpening(open));
    span.setAttribute('data-open', String(open));
    return span;
  }

  function refreshOpenings() {
    if (now() >= nextBoundary) {
      render();
      return;
    }
    document.querySelectorAll('[data-open]').forEach(span => {
      const open = Number(span.getAttribute('data-open'));
      span.textContent = describeOpening(open);
      span.classList.toggle('soon', open > now());
    });
  }

  function enterUrl(game, server) {
    return location.origin + '/entergame.php?game=' + encodeURIComponent(game.tag) +
      '&server=' + encodeURIComponent(server.server) + '&client=1&tobox=1';
  }

  function gameSite(game) {
    return location.origin + '/game/' + encodeURIComponent(game.tag) + '.html';
  }

  function enterGame(game, server) {
    kavoBridge.send(10, 'enter game', { title: game.name + server.name, url: enterUrl(game, server) });
  }

  function openGamePage(game) {
    kavoBridge.send(3, 'open game page', { title: game.name, url: gameSite(game) });
  }

  function openWebsite(game) {
    kavoBridge.send(888, 'official website', { url: gameSite(game) });
  }

  function remind(game, server) {
    // The client reads "time" as a string of decimal Unix seconds.
    kavoBridge.send(100, 'server reminder', { game: game.name, server: server.name, time: String(server.open) });
  }

  function newestOpen(game) {
    let best = null;
    game.servers.forEach(s => {
      if (s.open <= now() && (!best || s.open > best.open)) best = s;
    });
    return best || game.servers[0];
  }

  function nextServer(game) {
    let next = null;
    game.servers.forEach(s => {
      if (s.open > now() && (!next || s.open < next.open)) next = s;
    });
    return next;
  }

  function coverColor(tag) {
    let hash = 0;
    for (let i = 0; i < tag.length; i++) hash = (hash * 31 + tag.charCodeAt(i)) % 360;
    return 'linear-gradient(135deg, hsl(' + hash + ',62%,58%), hsl(' + ((hash + 40) % 360) + ',62%,46%))';
  }

  function card(game) {
    const root = el('div', 'game-card');
    root.setAttribute('data-tag', game.tag);
    const cover = el('div', 'game-cover', game.name.charAt(0));
    cover.style.background = coverColor(game.tag);
    cover.appendChild(el('span', 'kind', game.kindName));
    root.appendChild(cover);

    const body = el('div', 'game-body');
    body.appendChild(el('h3', '', game.name));
    body.appendChild(el('p', 'game-intro', game.intro));

    const servers = el('ul', 'server-list');
    game.servers.slice().sort((a, b) => b.open - a.open).forEach(s => {
      const li = el('li');
      li.appendChild(el('span', 'name', s.name));
      li.appendChild(openingLabel(s.open, 'state' + (s.open > now() ? ' soon' : '')));
      li.appendChild(button('进入', false, () => enterGame(game, s)));
      servers.appendChild(li);
    });
    body.appendChild(servers);

    const actions = el('div', 'actions');
    actions.appendChild(button('进入游戏', true, () => enterGame(game, newestOpen(game))));
    actions.appendChild(button('打开', false, () => openGamePage(game)));
    actions.appendChild(button('官网', false, () => openWebsite(game)));
    body.appendChild(actions);

    const next = nextServer(game);
    const nextRow = el('div', 'next-server');
    if (next) {
      nextRow.appendChild(el('span', '', '新服 ' + next.name));
      nextRow.appendChild(openingLabel(next.open, 'when'));
      nextRow.appendChild(button('开服提醒', false, () => remind(game, next)));
    } else {
      nextRow.appendChild(el('span', 'muted', '暂无新服预告'));
    }
    body.appendChild(nextRow);
    root.appendChild(body);
    return root;
  }

  function matches(game) {
    if (kind && game.kind !== kind) return false;
    const q = query.trim().toLowerCase();
    if (!q) return true;
    return game.name.toLowerCase().indexOf(q) >= 0 || game.tag.toLowerCase().indexOf(q) === 0 ||
      game.kindName.indexOf(q) >= 0;
  }

  function renderGrid() {
    const shown = games.filter(matches);
    grid.textContent = '';
    shown.forEach(game => grid.appendChild(card(game)));
    if (!shown.length) grid.appendChild(el('div', 'empty', '没有找到相关游戏'));
    if (resultCount) resultCount.textContent = '共 ' + shown.length + ' 款游戏';
  }

  function renderUpcoming() {
    if (!upcomingList) return;
    const soon = [];
    games.forEach(game => game.servers.forEach(server => {
      if (server.open > now()) soon.push({ game: game, server: server });
    }));
    soon.sort((a, b) => a.server.open - b.server.open);
    upcomingList.textContent = '';
    soon.slice(0, 8).forEach(item => {
      const li = el('li');
      li.appendChild(el('span', 'time', formatTime(item.server.open)));
      li.appendChild(el('span', 'what', item.game.name + ' ' + item.server.name));
      li.appendChild(openingLabel(item.server.open, 'left'));
      li.appendChild(button('开服提醒', true, () => remind(item.game, item.server)));
      upcomingList.appendChild(li);
    });
    if (!soon.length) upcomingList.appendChild(el('li', 'empty', '暂无新服预告'));
  }

  function renderKinds() {
    if (!kindFilter) return;
    const kinds = [{ id: '', name: '全部' }];
    games.forEach(g => {
      if (!kinds.some(k => k.id === g.kind)) kinds.push({ id: g.kind, name: g.kindName });
    });
    kindFilter.textContent = '';
    kinds.forEach(k => {
      const chip = el('button', 'chip' + (k.id === kind ? ' active' : ''), k.name);
      chip.type = 'button';
      chip.addEventListener('click', () => {
        kind = k.id;
        renderKinds();
        renderGrid();
      });
      kindFilter.appendChild(chip);
    });
  }

  function render() {
    nextBoundary = Infinity;
    games.forEach(g => g.servers.forEach(s => {
      if (s.open > now()) nextBoundary = Math.min(nextBoundary, s.open);
    }));
    renderKinds();
    renderUpcoming();
    renderGrid();
  }

  function showLoadError() {
    grid.textContent = '';
    const box = el('div', 'empty', '游戏列表加载失败 ');
    box.appendChild(button('重试', true, load));
    grid.appendChild(box);
    if (upcomingList) upcomingList.textContent = '';
  }

  function load() {
    fetch('/api/games.json', { cache: 'no-store' })
      .then(reply => {
        if (!reply.ok) throw new Error('HTTP ' + reply.status);
        return reply.json();
      })
      .then(data => {
        clockOffset = Number(data.now) * 1000 - Date.now() || 0;
        games = Array.isArray(data.games) ? data.games : [];
        render();
      })
      .catch(showLoadError);
  }

  function storedSearch() {
    try {
      return JSON.parse(localStorage.getItem(kSearchKey) || '{}').q || '';
    } catch (e) {
      return '';
    }
  }

  if (searchInput) {
    query = new URLSearchParams(location.search).get('q') || '';
    searchInput.value = query;
    searchInput.addEventListener('input', () => {
      query = searchInput.value;
      renderGrid();
    });
    // The home tab's search box hands its text over through storage.
    window.addEventListener('storage', e => {
      if (e.key !== kSearchKey) return;
      query = storedSearch();
      searchInput.value = query;
      renderGrid();
    });
  }

  if (homeSearch) {
    homeSearch.addEventListener('submit', e => {
      e.preventDefault();
      const q = document.getElementById('home-search-input').value;
      try {
        // The time stamp makes every search a change, so the storage event fires.
        localStorage.setItem(kSearchKey, JSON.stringify({ q: q, t: Date.now() }));
      } catch (err) {
        // without storage the search tab just opens unfiltered
      }
      if (kavoBridge.available()) kavoBridge.send(16, 'search', null);
      else location.href = '/search.html?q=' + encodeURIComponent(q);
    });
  }

  load();
  setInterval(refreshOpenings, 1000);
})();
