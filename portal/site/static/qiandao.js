// Daily sign-in, kept in this browser profile only. The box ignores this
// page's bridge messages, so it sends none.
(function () {
  'use strict';

  const kKey = 'kavo.signIn';
  const kNames = ['周一', '周二', '周三', '周四', '周五', '周六', '周日'];
  const week = document.getElementById('week');
  const streakLabel = document.getElementById('streak');
  const signButton = document.getElementById('btn-sign');
  const tip = document.getElementById('tip');

  function dayKey(d) {
    return d.getFullYear() + '-' + (d.getMonth() + 1) + '-' + d.getDate();
  }

  function load() {
    try {
      const dates = JSON.parse(localStorage.getItem(kKey) || '[]');
      return Array.isArray(dates) ? dates : [];
    } catch (e) {
      return [];
    }
  }

  function save(dates) {
    try {
      localStorage.setItem(kKey, JSON.stringify(dates.slice(-60)));
    } catch (e) {
      tip.textContent = '无法保存签到记录';
    }
  }

  function streak(dates) {
    const day = new Date();
    if (dates.indexOf(dayKey(day)) < 0) day.setDate(day.getDate() - 1);
    let count = 0;
    while (dates.indexOf(dayKey(day)) >= 0) {
      count++;
      day.setDate(day.getDate() - 1);
    }
    return count;
  }

  function render() {
    const dates = load();
    const today = new Date();
    const monday = new Date(today);
    monday.setDate(today.getDate() - ((today.getDay() + 6) % 7));
    week.textContent = '';
    for (let i = 0; i < 7; i++) {
      const d = new Date(monday);
      d.setDate(monday.getDate() + i);
      const done = dates.indexOf(dayKey(d)) >= 0;
      const cell = document.createElement('div');
      cell.className = 'day' + (done ? ' done' : '') + (dayKey(d) === dayKey(today) ? ' today' : '');
      cell.innerHTML = '<div class="mark"></div><div class="label"></div><div class="reward"></div>';
      cell.querySelector('.mark').textContent = done ? '✔' : '○';
      cell.querySelector('.label').textContent = kNames[i];
      cell.querySelector('.reward').textContent = i === 6 ? '+50 积分' : '+10 积分';
      week.appendChild(cell);
    }
    streakLabel.textContent = String(streak(dates));
    const signed = dates.indexOf(dayKey(today)) >= 0;
    signButton.disabled = signed;
    signButton.textContent = signed ? '今日已签到' : '签到';
  }

  signButton.addEventListener('click', () => {
    const dates = load();
    const key = dayKey(new Date());
    if (dates.indexOf(key) >= 0) return;
    dates.push(key);
    save(dates);
    const isSunday = new Date().getDay() === 0;
    tip.textContent = '签到成功，获得 ' + (isSunday ? 50 : 10) + ' 积分！';
    render();
  });

  render();
})();
