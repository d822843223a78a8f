// Reaction: hit as many targets as you can in 30 seconds; faster hits score more.
kavoGame.run(function (api) {
  'use strict';

  const W = api.width;
  const H = api.height;
  const duration = 30;
  let playing = false;
  let elapsed = 0;
  let target = null;
  let hits = 0;
  let popups = [];

  api.status('点击画面开始');

  function spawn() {
    const r = Math.max(12, 30 - hits * 0.6);
    target = {
      x: api.random(r + 4, W - r - 4),
      y: api.random(r + 30, H - r - 4),
      r: r,
      born: elapsed,
      // Targets also shrink their lifetime as you get better.
      life: Math.max(0.8, 2.2 - hits * 0.05),
    };
  }

  function popup(x, y, text, color) {
    popups.push({ x: x, y: y, text: text, color: color, age: 0 });
  }

  function begin() {
    playing = true;
    api.status('');
    spawn();
  }

  return {
    key(k) {
      if (k !== ' ') return false;
      if (!playing && !api.over) begin();
      return true;
    },
    click(p) {
      if (api.over) return;
      if (!playing) {
        begin();
        return;
      }
      const dx = p.x - target.x;
      const dy = p.y - target.y;
      if (dx * dx + dy * dy <= target.r * target.r) {
        const reactionMs = (elapsed - target.born) * 1000;
        const points = Math.max(10, Math.round(100 - reactionMs / 10));
        hits++;
        api.addScore(points);
        popup(target.x, target.y, '+' + points, '#67c23a');
        spawn();
      } else {
        api.addScore(-5);
        popup(p.x, p.y, '-5', '#f56c6c');
      }
    },
    update(dt) {
      popups.forEach(item => { item.age += dt; });
      popups = popups.filter(item => item.age < 0.8);
      if (!playing || api.over) return;
      elapsed += dt;
      if (elapsed >= duration) {
        playing = false;
        target = null;
        api.gameOver('时间到！命中 ' + hits + ' 次，得分 ' + api.score + '。');
        return;
      }
      if (elapsed - target.born > target.life) spawn();
    },
    draw(ctx) {
      ctx.fillStyle = '#1d2333';
      ctx.fillRect(0, 0, W, H);
      const left = Math.max(0, duration - elapsed);
      ctx.fillStyle = 'rgba(255,255,255,0.12)';
      ctx.fillRect(10, 10, W - 20, 8);
      ctx.fillStyle = left < 5 ? '#f56c6c' : '#409eff';
      ctx.fillRect(10, 10, (W - 20) * left / duration, 8);
      if (target) {
        const fade = 1 - (elapsed - target.born) / target.life;
        [1, 0.66, 0.33].forEach((scale, i) => {
          ctx.fillStyle = i % 2 ? 'rgba(255,255,255,' + (0.4 + 0.6 * fade) + ')' : 'rgba(245,108,108,' + (0.4 + 0.6 * fade) + ')';
          ctx.beginPath();
          ctx.arc(target.x, target.y, target.r * scale, 0, Math.PI * 2);
          ctx.fill();
        });
      }
      popups.forEach(item => {
        ctx.globalAlpha = 1 - item.age / 0.8;
        ctx.fillStyle = item.color;
        ctx.font = 'bold 16px sans-serif';
        ctx.textAlign = 'center';
        ctx.fillText(item.text, item.x, item.y - item.age * 40);
        ctx.globalAlpha = 1;
      });
      if (!playing && !api.over) {
        ctx.fillStyle = 'rgba(255,255,255,0.85)';
        ctx.font = '18px sans-serif';
        ctx.textAlign = 'center';
        ctx.fillText('点击画面开始，30 秒内尽量多地点中靶子', W / 2, H / 2);
      }
    },
  };
});
