// Site messages. The box opens each message in the system browser: the
// message's third value is a bare address, not JSON.
(function () {
  'use strict';

  const kReadKey = 'kavo.readMessages';
  const list = document.getElementById('messages');

  function readIds() {
    try {
      const ids = JSON.parse(localStorage.getItem(kReadKey) || '[]');
      return Array.isArray(ids) ? ids : [];
    } catch (e) {
      return [];
    }
  }

  function markRead(id) {
    const ids = readIds();
    if (ids.indexOf(id) < 0) ids.push(id);
    try {
      localStorage.setItem(kReadKey, JSON.stringify(ids));
    } catch (e) {
      // the unread dot simply stays
    }
  }

  function open(message, li) {
    const address = location.origin + message.path;
    markRead(message.id);
    li.classList.add('read');
    if (kavoBridge.available()) kavoBridge.send(1, message.title, address);
    else location.href = address;
  }

  function render(messages) {
    const read = readIds();
    list.textContent = '';
    messages.forEach(message => {
      const li = document.createElement('li');
      if (read.indexOf(message.id) >= 0) li.className = 'read';
      const dot = document.createElement('span');
      dot.className = 'dot';
      const title = document.createElement('span');
      title.className = 'title';
      title.textContent = message.title;
      const date = document.createElement('span');
      date.className = 'date';
      date.textContent = message.date;
      li.append(dot, title, date);
      li.addEventListener('click', () => open(message, li));
      list.appendChild(li);
    });
    if (!messages.length) list.innerHTML = '<li class="muted">暂无消息</li>';
  }

  fetch('/api/messages.json', { cache: 'no-store' })
    .then(reply => reply.json())
    .then(messages => render(Array.isArray(messages) ? messages : []))
    .catch(() => {
      list.innerHTML = '<li class="muted">消息加载失败</li>';
    });
})();
