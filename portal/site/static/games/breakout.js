// Breakout: keep the ball in play with the paddle and clear every brick. Three lives.
kavoGame.run(function (api) {
  'use strict';

  const W = api.width;
  const H = api.height;
  const colors = ['#f56c6c', '#e6a23c', '#f7ba2a', '#67c23a', '#409eff', '#8e7cf0'];
  const paddle = { w: 80, h: 10, x: (W - 80) / 2, y: H - 26 };
  const ball = { r: 6, x: 0, y: 0, vx: 0, vy: 0, stuck: true };
  const keys = { left: false, right: false };
  let bricks = [];
  let lives = 3;
  let level = 1;

  function speed() {
    return 260 + level * 30;
  }

  function buildLevel() {
    const cols = 8;
    const rowCount = Math.min(6, 3 + level);
    const gap = 4;
    const bw = (W - 20 - gap * (cols - 1)) / cols;
    bricks = [];
    for (let r = 0; r < rowCount; r++) {
      for (let c = 0; c < cols; c++) {
        bricks.push({ x: 10 + c * (bw + gap), y: 40 + r * 18, w: bw, h: 14, color: colors[r % colors.length], points: (rowCount - r) * 5 });
      }
    }
  }

  function resetBall() {
    ball.stuck = true;
    ball.vx = 0;
    ball.vy = 0;
    api.status('点击画面或按空格键发球');
  }

  function launch() {
    if (!ball.stuck || api.over) return;
    const angle = api.random(-0.5, 0.5);
    ball.vx = speed() * Math.sin(angle);
    ball.vy = -speed() * Math.cos(angle);
    ball.stuck = false;
    api.status('');
  }

  function movePaddleTo(centerX) {
    paddle.x = Math.max(0, Math.min(W - paddle.w, centerX - paddle.w / 2));
  }

  function hitBricks() {
    for (let i = 0; i < bricks.length; i++) {
      const b = bricks[i];
      const nearestX = Math.max(b.x, Math.min(ball.x, b.x + b.w));
      const nearestY = Math.max(b.y, Math.min(ball.y, b.y + b.h));
      const dx = ball.x - nearestX;
      const dy = ball.y - nearestY;
      if (dx * dx + dy * dy > ball.r * ball.r) continue;
      // Bounce along the axis of the smaller overlap: side hits turn the ball sideways.
      const overlapX = Math.min(ball.x + ball.r - b.x, b.x + b.w - (ball.x - ball.r));
      const overlapY = Math.min(ball.y + ball.r - b.y, b.y + b.h - (ball.y - ball.r));
      if (overlapX < overlapY) ball.vx = -ball.vx;
      else ball.vy = -ball.vy;
      bricks.splice(i, 1);
      api.addScore(b.points);
      return;
    }
  }

  function advance(dt) {
    ball.x += ball.vx * dt;
    ball.y += ball.vy * dt;
    if (ball.x < ball.r) {
      ball.x = ball.r;
      ball.vx = Math.abs(ball.vx);
    } else if (ball.x > W - ball.r) {
      ball.x = W - ball.r;
      ball.vx = -Math.abs(ball.vx);
    }
    if (ball.y < ball.r) {
      ball.y = ball.r;
      ball.vy = Math.abs(ball.vy);
    }
    if (ball.vy > 0 && ball.y + ball.r >= paddle.y && ball.y + ball.r <= paddle.y + paddle.h + 8 &&
        ball.x >= paddle.x - ball.r && ball.x <= paddle.x + paddle.w + ball.r) {
      // Where the ball meets the paddle decides the angle it leaves at.
      const hit = (ball.x - (paddle.x + paddle.w / 2)) / (paddle.w / 2);
      const angle = Math.max(-1, Math.min(1, hit)) * 1.05;
      ball.vx = speed() * Math.sin(angle);
      ball.vy = -speed() * Math.cos(angle);
      ball.y = paddle.y - ball.r;
    }
    hitBricks();
    if (ball.y - ball.r > H) {
      lives--;
      if (lives <= 0) {
        api.gameOver('球掉了！本局得分 ' + api.score + '。');
      } else {
        resetBall();
      }
    } else if (!bricks.length) {
      level++;
      api.addScore(100);
      buildLevel();
      resetBall();
      api.status('进入第 ' + level + ' 关！点击或按空格键发球');
    }
  }

  buildLevel();
  resetBall();

  return {
    key(k) {
      if (k === 'ArrowLeft' || k === 'a' || k === 'A') keys.left = true;
      else if (k === 'ArrowRight' || k === 'd' || k === 'D') keys.right = true;
      else if (k === ' ') launch();
      else return false;
      return true;
    },
    keyUp(k) {
      if (k === 'ArrowLeft' || k === 'a' || k === 'A') keys.left = false;
      else if (k === 'ArrowRight' || k === 'd' || k === 'D') keys.right = false;
    },
    move(p) {
      if (!api.over) movePaddleTo(p.x);
    },
    click() {
      launch();
    },
    update(dt) {
      if (api.over) return;
      const keyMove = (keys.right ? 1 : 0) - (keys.left ? 1 : 0);
      if (keyMove) movePaddleTo(paddle.x + paddle.w / 2 + keyMove * 420 * dt);
      if (ball.stuck) {
        ball.x = paddle.x + paddle.w / 2;
        ball.y = paddle.y - ball.r;
        return;
      }
      // Small sub-steps so a fast ball cannot pass through a brick.
      const steps = Math.max(1, Math.ceil(speed() * dt / 4));
      for (let i = 0; i < steps && !ball.stuck && !api.over; i++) advance(dt / steps);
    },
    draw(ctx) {
      ctx.fillStyle = '#1d2333';
      ctx.fillRect(0, 0, W, H);
      bricks.forEach(b => {
        ctx.fillStyle = b.color;
        ctx.fillRect(b.x, b.y, b.w, b.h);
      });
      ctx.fillStyle = '#409eff';
      ctx.fillRect(paddle.x, paddle.y, paddle.w, paddle.h);
      ctx.fillStyle = '#ffffff';
      ctx.beginPath();
      ctx.arc(ball.x, ball.y, ball.r, 0, Math.PI * 2);
      ctx.fill();
      ctx.fillStyle = 'rgba(255,255,255,0.8)';
      ctx.font = '14px sans-serif';
      ctx.textAlign = 'left';
      ctx.fillText('第 ' + level + ' 关', 10, 22);
      ctx.textAlign = 'right';
      ctx.fillText('生命 ' + '♥'.repeat(Math.max(0, lives)), W - 10, 22);
    },
  };
});
