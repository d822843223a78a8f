// Frame shared by the canvas games: score and best score, restart, the
// animation loop and input routing. A game script calls kavoGame.run(create),
// where create(api) returns { update(dt), draw(ctx), key(k), keyUp(k), move(p), click(p) }.
(function () {
  'use strict';

  let info = {};
  try {
    info = JSON.parse(document.getElementById('game-info').textContent);
  } catch (e) {
    info = {};
  }
  // entergame.php answers with the game itself; the address then becomes the
  // game's own page, as after a real portal's redirect to the game's host, so
  // that a reload asks the game, which knows the account only from its
  // cookie, instead of entering again. Not while the page is parsed: the
  // benchmark's hook names the page by the address it was served at.
  window.addEventListener('load', () => {
    if (info.address && location.pathname + location.search !== info.address) {
      history.replaceState(history.state, '', info.address);
    }
  });

  const canvas = document.getElementById('game-canvas');
  const ctx = canvas.getContext('2d');
  const scoreLabel = document.getElementById('game-score');
  const bestLabel = document.getElementById('game-best');
  const statusLabel = document.getElementById('game-status');
  const restartButton = document.getElementById('game-restart');
  const bestKey = 'kavo.best.' + (info.tag || 'game') + '.' + (info.kind || '');

  let best = 0;
  try {
    best = parseInt(localStorage.getItem(bestKey), 10) || 0;
  } catch (e) {
    best = 0;
  }
  bestLabel.textContent = String(best);

  let create = null;
  let game = null;
  let lastFrame = 0;

  const api = {
    width: canvas.width,
    height: canvas.height,
    score: 0,
    over: false,
    setScore(value) {
      api.score = Math.max(0, Math.round(value));
      scoreLabel.textContent = String(api.score);
      if (api.score > best) {
        best = api.score;
        bestLabel.textContent = String(best);
        try {
          localStorage.setItem(bestKey, String(best));
        } catch (e) {
          // the best score then lasts only for this page
        }
      }
    },
    addScore(points) {
      api.setScore(api.score + points);
    },
    status(text) {
      statusLabel.textContent = text || '';
      statusLabel.title = text || ''; // the line is cut short if it ever overflows
    },
    gameOver(text) {
      api.over = true;
      api.status(text + '　按回车键或点击“重新开始”再来一局');
    },
    random(min, max) {
      return min + Math.random() * (max - min);
    },
  };

  function start() {
    api.over = false;
    api.setScore(0);
    api.status('');
    game = create(api);
    canvas.focus();
  }

  function frame(time) {
    // Clamp the step so a background tab does not make things jump on return.
    const dt = lastFrame ? Math.min(0.05, (time - lastFrame) / 1000) : 0;
    lastFrame = time;
    if (game) {
      if (game.update) game.update(dt);
      if (game.draw) game.draw(ctx);
    }
    requestAnimationFrame(frame);
  }

  function pointer(e) {
    const rect = canvas.getBoundingClientRect();
    return {
      x: (e.clientX - rect.left) * canvas.width / rect.width,
      y: (e.clientY - rect.top) * canvas.height / rect.height,
    };
  }

  function typing(e) {
    const tag = e.target && e.target.tagName;
    return tag === 'INPUT' || tag === 'TEXTAREA' || tag === 'SELECT';
  }

  window.addEventListener('keydown', e => {
    if (!game || typing(e)) return;
    if (api.over && e.key === 'Enter') {
      e.preventDefault();
      start();
      return;
    }
    if (game.key && game.key(e.key)) e.preventDefault();
  });
  window.addEventListener('keyup', e => {
    if (game && game.keyUp && !typing(e)) game.keyUp(e.key);
  });
  canvas.addEventListener('mousemove', e => {
    if (game && game.move) game.move(pointer(e));
  });
  canvas.addEventListener('mousedown', e => {
    canvas.focus();
    if (game && game.click) game.click(pointer(e));
  });
  restartButton.addEventListener('click', start);

  window.kavoGame = {
    run(createGame) {
      create = createGame;
      start();
      requestAnimationFrame(frame);
    },
  };
})();
