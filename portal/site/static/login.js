// Member login page of the box's login window.
(function () {
  'use strict';

  const kRememberKey = 'kavo.lastUser';
  const form = document.getElementById('login-form');
  const userInput = document.getElementById('username');
  const passwordInput = document.getElementById('password');
  const errorLine = document.getElementById('login-error');
  const loginButton = document.getElementById('btn-login');

  function readConfig() {
    const el = document.getElementById('portal-config');
    try {
      return JSON.parse(el ? el.textContent : '{}') || {};
    } catch (e) {
      return {};
    }
  }
  const config = readConfig();

  function rememberedUser() {
    try {
      return localStorage.getItem(kRememberKey) || '';
    } catch (e) {
      return '';
    }
  }

  function remember(name) {
    try {
      localStorage.setItem(kRememberKey, name);
    } catch (e) {
      // storage may be disabled; the user then simply logs in by hand next time
    }
  }

  function showLine(text, ok) {
    errorLine.textContent = text;
    errorLine.classList.toggle('ok', !!ok);
  }

  function reportLogin(name) {
    kavoBridge.send(2, 'login', { name: name });
  }

  // Each login opens the member's session (a cookie) before the box hears of
  // it, so the games it enters know the member.
  function openSession(query) {
    return fetch('/Kavobox2/session?' + query, { cache: 'no-store' }).then(reply => reply.json());
  }

  function demoLogin() {
    openSession('via=demo')
      .then(reply => {
        if (reply && reply.msg === 1) reportLogin(reply.name);
      })
      .catch(() => showLine('网络异常，请稍后再试'));
  }

  function bindClick(id, code, what) {
    document.getElementById(id).addEventListener('click', e => {
      e.preventDefault();
      kavoBridge.send(code, what, null);
    });
  }
  bindClick('btn-close', 1, 'close');
  bindClick('btn-min', 3, 'minimize');
  bindClick('link-register', 12, 'register');
  bindClick('link-forgot', 15, 'forgot password');
  bindClick('btn-wx', 90, 'wechat login');
  bindClick('btn-qq', 91, 'qq login');

  form.addEventListener('submit', e => {
    e.preventDefault();
    // Sent exactly as typed: names may contain spaces and symbols.
    const name = userInput.value;
    const password = passwordInput.value;
    if (!name) {
      showLine('请输入用户名');
      return;
    }
    if (!password) {
      showLine('请输入密码');
      return;
    }
    showLine('');
    loginButton.disabled = true;
    openSession('username=' + encodeURIComponent(name) + '&password=' + encodeURIComponent(password))
      .then(reply => {
        if (reply && reply.msg === 1) {
          remember(name);
          showLine('登录成功', true);
          reportLogin(name);
        } else if (reply && reply.code === '-2') {
          showLine('账号已锁定，请联系客服');
        } else {
          showLine('账号或密码错误');
        }
      })
      .catch(() => showLine('网络异常，请稍后再试'))
      .then(() => {
        loginButton.disabled = false;
      });
  });

  userInput.value = rememberedUser();
  (userInput.value ? passwordInput : userInput).focus();

  const loaded = new Promise(resolve => {
    if (document.readyState === 'complete') resolve();
    else window.addEventListener('load', resolve);
  });
  const demoDelay = typeof config.demoLoginDelay === 'number' ? config.demoLoginDelay : 2000;

  kavoBridge.ready(() => {
    kavoBridge.send(17, 'login form shown', null);
    // Counted from the load event too, so that the page has loaded whole
    // (and said so) before the window goes.
    if (config.demoLogin) loaded.then(() => setTimeout(demoLogin, demoDelay));
  });

  kavoBridge.onMessage(text => {
    if (text !== 'autoLogin') return;
    if (config.demoLogin) {
      demoLogin();
      return;
    }
    // No password to open a session with: the member session of an earlier
    // login, if the cookie store still holds one, is what games see.
    const name = rememberedUser();
    if (name) reportLogin(name);
  });
})();
