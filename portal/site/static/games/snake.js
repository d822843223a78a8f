// Snake on a 24 x 18 grid: eat coins, avoid walls and your own tail.
kavoGame.run(function (api) {
  'use strict';

  const cell = 20;
  const cols = Math.floor(api.width / cell);
  const rows = Math.floor(api.height / cell);
  const directions = {
    ArrowUp: [0, -1], w: [0, -1], W: [0, -1],
    ArrowDown: [0, 1], s: [0, 1], S: [0, 1],
    ArrowLeft: [-1, 0], a: [-1, 0], A: [-1, 0],
    ArrowRight: [1, 0], d: [1, 0], D: [1, 0],
  };

  let snake = [{ x: 8, y: 9 }, { x: 7, y: 9 }, { x: 6, y: 9 }];
  let heading = { x: 1, y: 0 };
  const turns = []; // buffered so quick key presses within one step all count
  let stepTime = 0.14;
  let sinceStep = 0;
  let started = false;
  let paused = false;
  let coin = placeCoin();

  api.status('按方向键开始');

  function occupied(x, y, body) {
    return body.some(p => p.x === x && p.y === y);
  }

  function placeCoin() {
    const free = [];
    for (let y = 0; y < rows; y++) {
      for (let x = 0; x < cols; x++) {
        if (!occupied(x, y, snake)) free.push({ x: x, y: y });
      }
    }
    return free.length ? free[Math.floor(Math.random() * free.length)] : null;
  }

  function step() {
    if (turns.length) heading = turns.shift();
    const head = { x: snake[0].x + heading.x, y: snake[0].y + heading.y };
    const eating = coin && head.x === coin.x && head.y === coin.y;
    // The tail moves away this step unless the snake grows.
    const body = eating ? snake : snake.slice(0, -1);
    if (head.x < 0 || head.y < 0 || head.x >= cols || head.y >= rows || occupied(head.x, head.y, body)) {
      api.gameOver('撞到了！本局得分 ' + api.score + '。');
      return;
    }
    snake.unshift(head);
    if (eating) {
      api.addScore(10);
      stepTime = Math.max(0.06, stepTime - 0.004);
      coin = placeCoin();
      if (!coin) api.gameOver('通关了！本局得分 ' + api.score + '。');
    } else {
      snake.pop();
    }
  }

  return {
    key(k) {
      if (api.over) return false;
      if (k === ' ') {
        if (started) {
          paused = !paused;
          api.status(paused ? '已暂停，按空格键继续' : '');
        }
        return true;
      }
      const d = directions[k];
      if (!d) return false;
      const last = turns.length ? turns[turns.length - 1] : heading;
      if (d[0] === -last.x && d[1] === -last.y) return true; // no reversing into yourself
      if (turns.length < 3) turns.push({ x: d[0], y: d[1] });
      if (!started) {
        started = true;
        api.status('');
      }
      return true;
    },
    update(dt) {
      if (!started || paused || api.over) return;
      sinceStep += dt;
      while (sinceStep >= stepTime && !api.over) {
        sinceStep -= stepTime;
        step();
      }
    },
    draw(ctx) {
      ctx.fillStyle = '#1d2333';
      ctx.fillRect(0, 0, api.width, api.height);
      ctx.strokeStyle = 'rgba(255,255,255,0.04)';
      for (let x = 0; x <= cols; x++) {
        ctx.beginPath();
        ctx.moveTo(x * cell + 0.5, 0);
        ctx.lineTo(x * cell + 0.5, api.height);
        ctx.stroke();
      }
      for (let y = 0; y <= rows; y++) {
        ctx.beginPath();
        ctx.moveTo(0, y * cell + 0.5);
        ctx.lineTo(api.width, y * cell + 0.5);
        ctx.stroke();
      }
      if (coin) {
        ctx.fillStyle = '#f7ba2a';
        ctx.beginPath();
        ctx.arc(coin.x * cell + cell / 2, coin.y * cell + cell / 2, cell / 2 - 3, 0, Math.PI * 2);
        ctx.fill();
      }
      snake.forEach((p, i) => {
        ctx.fillStyle = i === 0 ? '#66b1ff' : '#409eff';
        ctx.fillRect(p.x * cell + 1, p.y * cell + 1, cell - 2, cell - 2);
      });
      if (!started || paused) {
        ctx.fillStyle = 'rgba(255,255,255,0.85)';
        ctx.font = '18px sans-serif';
        ctx.textAlign = 'center';
        ctx.fillText(paused ? '暂停中' : '按方向键开始', api.width / 2, api.height / 2 - 30);
      }
    },
  };
});
