// The web front end's page: shows the screen the plug-in is on, pushed by the server as
// JSON over an event stream, and sends the user's answer back as a small JSON request.
// Every text is set as text (never as markup), so nothing from the car or the files can
// become part of the page. No framework: the screens are a handful of lists and tables.
'use strict';
(() => {
  // The words come from the language files, handed over by the server (/words.js); a
  // language's own name stays as it is written in that language.
  const WORDS = window.VAZ_WORDS || { en: {}, ru: {} };
  const LANGUAGE_NAMES = { en: 'English', ru: 'Русский' };
  const $ = (id) => document.getElementById(id);
  const screenEl = $('screen');
  let lang = (navigator.language || 'en').toLowerCase().startsWith('ru') ? 'ru' : 'en';
  let langChosen = false;  // once switched here, the page's words stay as chosen
  let client = '';
  let controls = false;
  let current = null;      // the screen shown
  let keys = null;         // the screen's key handler
  let live = null;         // live-data state of the screen shown
  let source = null;
  // What the tests and the bench read: messages and how late passes arrived.
  const stats = (window.vazStats = { messages: 0, passes: 0, lastPass: 0, latencyMax: 0, latencySum: 0 });

  const t = (k) => WORDS[lang][k] || WORDS.en[k] || k;

  function el(tag, props, ...kids) {
    const e = document.createElement(tag);
    for (const [k, v] of Object.entries(props || {})) {
      if (k === 'class') e.className = v;
      else if (k === 'text') e.textContent = v;
      else if (k.startsWith('on')) e.addEventListener(k.slice(2), v);
      else e.setAttribute(k, v);
    }
    for (const c of kids) if (c != null) e.append(c);
    return e;
  }
  const button = (text, onclick, cls) => el('button', { type: 'button', class: cls || '', onclick }, text);

  // ---- talking to the server

  async function post(path, body) {
    let res;
    try {
      res = await fetch(path, {
        method: 'POST', headers: { 'Content-Type': 'application/json', 'X-Vaz-Client': client },
        body: JSON.stringify(body), credentials: 'same-origin', cache: 'no-store',
      });
    } catch (e) {
      say(t('lost'));
      return 0;
    }
    if (!res.ok) say(t('refused') + ': ' + (await res.text()).trim());
    return res.status;
  }
  function answer(action, value, ticks) {
    if (!current) return;
    const body = { screen: current.id, action };
    if (value !== undefined) body.value = value;
    if (ticks !== undefined) body.ticks = ticks;
    return post('/api/answer', body);
  }
  function say(text) {
    $('status').textContent = text;
    clearTimeout(say.timer);
    if (text) say.timer = setTimeout(() => ($('status').textContent = ''), 4000);
  }

  function connect() {
    source = new EventSource('/events');
    source.addEventListener('hello', (e) => {
      client = JSON.parse(e.data).client;
      say('');
    });
    source.addEventListener('control', (e) => onControl(JSON.parse(e.data)));
    source.onmessage = (e) => onScreen(JSON.parse(e.data));
    source.onerror = () => {
      if (current && current.kind === 'ended') source.close();
      else say(t('lost'));
    };
  }

  let control = { you: false, free: false };
  function onControl(c) {
    control = c;
    controls = c.you;
    document.body.classList.toggle('readonly', !controls);
    $('control').textContent = controls ? t('controlling') : c.free ? t('free') : t('readonly');
    $('takeover').hidden = controls;
  }

  function chrome() {
    document.documentElement.lang = lang;
    $('lang').textContent = LANGUAGE_NAMES[lang === 'ru' ? 'en' : 'ru'];
    $('takeover').textContent = t('takeover');
    onControl(control);
  }

  $('lang').addEventListener('click', () => {
    lang = lang === 'ru' ? 'en' : 'ru';
    langChosen = true;
    chrome();
    if (controls) post('/api/language', { language: lang });
    if (current) draw(current);
  });
  $('takeover').addEventListener('click', () => {
    if (window.confirm(t('takeoverAsk'))) post('/api/takeover', {});
  });
  document.addEventListener('keydown', (e) => {
    if (!keys || e.altKey || e.ctrlKey || e.metaKey) return;
    if (e.target instanceof HTMLInputElement && e.key !== 'Escape') return;
    keys(e);
  });

  // ---- screens

  function onScreen(m) {
    stats.messages++;
    if (m.kind === 'stream') {
      stats.passes++;
      stats.lastPass = m.pass;
      const late = Date.now() - m.w;
      stats.latencySum += late;
      stats.latencyMax = Math.max(stats.latencyMax, late);
    }
    if (!langChosen && m.lang && m.lang !== lang) {
      lang = m.lang;
      chrome();
    }
    $('where').textContent = m.header || 'vazdiag';
    const same = current && current.id === m.id && current.kind === m.kind;
    current = m;
    if (same && m.kind === 'stream' && live) return updateStream(m);
    if (same && m.kind === 'panel') return updatePanel(m);
    if (!same) draw(m);
  }

  function draw(m) {
    keys = null;
    live = null;
    screenEl.replaceChildren();
    document.body.dataset.screen = m.kind;
    document.body.dataset.id = m.id;
    (SCREENS[m.kind] || (() => {}))(m);
    if (!screenEl.contains(document.activeElement)) screenEl.focus({ preventScroll: true });
  }

  // Arrow keys move between the screen's buttons.
  function moveFocus(e) {
    const all = [...screenEl.querySelectorAll('button, input')];
    const at = all.indexOf(document.activeElement);
    const step = e.key === 'ArrowDown' || e.key === 'ArrowRight' ? 1 : e.key === 'ArrowUp' || e.key === 'ArrowLeft' ? -1 : 0;
    if (!step || !all.length) return false;
    all[(at + step + all.length) % all.length].focus();
    e.preventDefault();
    return true;
  }
  const isBack = (e) => e.key === 'Escape' || e.key === 'Backspace';

  const SCREENS = {
    message(m) {
      const card = el('section', { class: 'card' }, el('h1', { text: m.title }), el('p', { text: m.text }));
      if (m.hint) card.append(el('p', { class: 'hint', text: m.hint }));
      screenEl.append(card);
      if (m.question) {
        // Opens on No: a hasty Enter must not act on the car.
        const no = button(t('no'), () => answer('no'), 'primary');
        card.append(el('div', { class: 'actions' }, button(t('yes'), () => answer('yes')), no));
        no.focus();
        keys = (e) => {
          if (e.key === 'y' || e.key === 'Y') answer('yes');
          else if (e.key === 'n' || e.key === 'N' || e.key === 'Escape') answer('no');
          else moveFocus(e);
        };
      } else if (m.wait) {
        card.append(el('p', { class: 'muted', text: t('wait') }));
      } else {
        const ok = button(t('ok'), () => answer('ok'), 'primary');
        card.append(el('div', { class: 'actions' }, ok));
        ok.focus();
        keys = (e) => e.key === 'Escape' && answer('ok');
      }
    },

    menu(m) {
      screenEl.append(el('h1', { text: m.title }));
      const list = el('ol', { class: 'list' });
      m.entries.forEach((entry, i) =>
        list.append(el('li', {}, el('button', { type: 'button', onclick: () => answer('choose', i) },
          el('span', { class: 'n', text: String(i + 1) }), el('span', { class: 'label', text: entry })))));
      screenEl.append(list, el('div', { class: 'actions' }, button(t('back'), () => answer('back'))));
      const buttons = list.querySelectorAll('button');
      if (buttons[m.preselect]) buttons[m.preselect].focus();
      let typed = '';
      keys = (e) => {
        if (/^[0-9]$/.test(e.key)) {
          // Numbers above 9 are typed as two digits in quick succession.
          typed += e.key;
          clearTimeout(keys.timer);
          const n = Number(typed);
          if (n * 10 > m.entries.length) {
            typed = '';
            if (n >= 1 && n <= m.entries.length) answer('choose', n - 1);
          } else {
            keys.timer = setTimeout(() => {
              typed = '';
              if (n >= 1 && n <= m.entries.length) answer('choose', n - 1);
            }, 700);
          }
        } else if (isBack(e)) answer('back');
        else moveFocus(e);
      };
    },

    select(m) {
      screenEl.append(el('h1', { text: t('selectItems') }));
      const boxes = m.items.map((item, i) => el('input', { type: 'checkbox', id: 'i' + i }));
      boxes.forEach((b, i) => (b.checked = !!m.ticked[i]));
      const error = el('p', { class: 'error' });
      const confirm = () => {
        const ticks = boxes.map((b) => b.checked);
        if (!ticks.some(Boolean)) return (error.textContent = t('tickOne'));
        answer('tick', undefined, ticks);
      };
      const all = () => {
        const on = !boxes.every((b) => b.checked);
        boxes.forEach((b) => (b.checked = on));
      };
      screenEl.append(
        el('div', { class: 'actions' }, button(t('show'), confirm, 'primary'), button(t('all') + ' / ' + t('none'), all),
          button(t('back'), () => answer('back'))),
        error,
        el('div', { class: 'checks card' }, ...m.items.map((item, i) =>
          el('label', { for: 'i' + i }, boxes[i], el('span', { class: 'n muted', text: String(i + 1) }), el('span', { text: item })))));
      keys = (e) => {
        if (e.key === 'Enter') confirm();
        else if (e.key === 'a') all();
        else if (isBack(e)) answer('back');
      };
    },

    stream(m) {
      live = { id: m.id, paused: false, items: [], names: '', t0: m.t };
      screenEl.append(el('h1', { text: m.ident ? t('identification') : t('liveData') }));
      const bar = el('div', { class: 'actions' });
      if (!m.ident) {
        live.pass = el('span', { class: 'muted' });
        live.pause = button(t('pause'), () => {
          live.paused = !live.paused;
          live.pause.textContent = live.paused ? t('resume') : t('pause');
          if (!live.paused) updateStream(current);
        });
        live.record = button(t('record'), () => answer('record'));
        bar.append(live.pause, live.record);
      }
      bar.append(button(t('back'), () => answer('back')));
      if (live.pass) bar.append(live.pass);
      live.note = el('p', { class: 'muted' });
      screenEl.append(bar, live.note);
      live.body = el('tbody');
      const table = el('table', { class: m.ident ? 'fields' : 'live' });
      if (!m.ident) {
        table.append(el('colgroup', {}, el('col', { class: 'name' }), el('col', { class: 'v' }), el('col', { class: 'u' }),
          el('col', { class: 'm' }), el('col', { class: 'm' })));
        table.append(el('thead', {}, el('tr', {}, el('th', { text: t('name') }), el('th', { class: 'num', text: t('value') }),
          el('th', { text: t('unit') }), el('th', { class: 'num', text: t('min') }), el('th', { class: 'num', text: t('max') }))));
      }
      table.append(live.body);
      screenEl.append(table);
      if (!m.ident) screenEl.append(el('p', { class: 'muted', text: t('chartHint') }));
      keys = (e) => {
        if (isBack(e)) answer('back');
        else if (!m.ident && e.key === 'r') answer('record');
        else if (!m.ident && e.key === ' ' && e.target === screenEl) live.pause.click();
      };
      updateStream(m);
    },

    codes(m) {
      screenEl.append(el('h1', { text: t('troubleCodes') }));
      const leave = button(t('leave'), () => answer('leave'), 'primary');
      screenEl.append(el('div', { class: 'actions' }, leave));
      if (!m.codes.length) screenEl.append(el('p', { class: 'card', text: t('noCodes') }));
      else {
        const withStatus = m.codes.some((c) => c[1]);
        const head = el('tr', {}, el('th', { text: t('code') }), el('th', { text: t('text') }));
        if (withStatus) head.append(el('th', { text: t('status') }));
        const body = el('tbody');
        for (const [shown, status] of m.codes) {
          const cut = shown.indexOf(' ');
          const row = el('tr', {}, el('td', { text: cut > 0 ? shown.slice(0, cut) : shown }),
            el('td', { text: cut > 0 ? shown.slice(cut + 1) : '' }));
          if (withStatus) row.append(el('td', { text: status }));
          body.append(row);
        }
        const cols = el('colgroup', {}, el('col', { class: 'code' }));
        screenEl.append(el('table', { class: 'codes' }, cols, el('thead', {}, head), body));
      }
      leave.focus();
      keys = (e) => (e.key === 'Enter' || isBack(e)) && answer('leave');
    },

    input(m) {
      const field = el('input', { type: 'text', inputmode: 'numeric', autocomplete: 'off', 'aria-label': m.prompt, maxlength: '11' });
      const error = el('p', { class: 'error', role: 'alert' });
      const enter = () => {
        const text = field.value.trim();
        if (!/^[-+]?[0-9]+$/.test(text)) return (error.textContent = t('whole'));
        const n = Number(text);
        if (n < -2147483647 || n > 2147483647) return (error.textContent = t('limits'));
        answer('enter', n);
      };
      field.addEventListener('keydown', (e) => e.key === 'Enter' && enter());
      screenEl.append(el('section', { class: 'card' }, el('h1', { text: m.title }),
        m.test ? el('p', {}, el('strong', { text: m.test })) : null, el('p', { text: m.prompt }),
        el('div', { class: 'field' }, field), error,
        el('div', { class: 'actions' }, button(t('enter'), enter, 'primary'), button(t('cancel'), () => answer('cancel')))));
      field.focus();
      keys = (e) => e.key === 'Escape' && answer('cancel');
    },

    panel(m) {
      screenEl.append(el('h1', { text: t('activeTest') }));
      const pass = el('p', { class: 'muted' });
      const body = el('tbody');
      const buttons = m.buttons.map((b, i) => button(b, () => answer('press', i), i === 0 ? 'primary' : ''));
      screenEl.append(pass, el('table', { class: 'fields' }, body), el('div', { class: 'actions' }, ...buttons));
      live = { panel: true, pass, body };
      if (buttons[0]) buttons[0].focus();
      keys = (e) => {
        const n = Number(e.key);
        if (n >= 1 && n <= m.buttons.length) answer('press', n - 1);
        else if (e.key === 'Escape') answer('press', m.buttons.length - 1);
        else moveFocus(e);
      };
      updatePanel(m);
    },

    ended(m) {
      screenEl.append(el('section', { class: 'card' }, el('h1', { text: t('ended') }), el('p', { text: m.text })));
      $('takeover').hidden = true;
      if (source) source.close();
    },
  };

  function updatePanel(m) {
    if (!live || !live.panel) return;
    live.pass.textContent = t('pass') + ' ' + m.pass;
    const rows = m.lines.map(([name, value]) => el('tr', {}, el('th', { text: name }), el('td', { text: value })));
    live.body.replaceChildren(...rows);
  }

  // ---- live data

  const decimalsOf = (s) => (s.includes('.') ? s.trim().length - s.trim().indexOf('.') - 1 : 0);
  const kHistory = 600;

  function buildItems(m) {
    live.names = m.lines.map((l) => l[0]).join('\n');
    live.items = [];
    live.body.replaceChildren();
    // The host reads each line once: [shown, value, name, unit, number or null].
    for (const [shown, , name, unit] of m.lines) {
      const item = { name, unit, min: null, max: null, decimals: 0, history: [], chart: null };
      item.cells = [el('td', { text: name }), el('td', { class: 'num' }), el('td', { text: unit }),
        el('td', { class: 'num' }), el('td', { class: 'num' })];
      if (current.ident) item.cells = [el('th', { text: shown }), el('td')];
      item.row = el('tr', { class: current.ident ? '' : 'item' }, ...item.cells);
      if (!current.ident) {
        item.row.setAttribute('tabindex', '0');
        item.row.setAttribute('aria-expanded', 'false');
        const toggle = () => toggleChart(item);
        item.row.addEventListener('click', toggle);
        item.row.addEventListener('keydown', (e) => e.key === 'Enter' && toggle());
      }
      live.items.push(item);
      live.body.append(item.row);
    }
  }

  function toggleChart(item) {
    if (item.chart) {
      item.chart.row.remove();
      item.chart = null;
      item.row.setAttribute('aria-expanded', 'false');
      return;
    }
    const canvas = el('canvas', { role: 'img', 'aria-label': item.name });
    const row = el('tr', { class: 'chart' }, el('td', { class: 'chart', colspan: '5' }, canvas));
    item.row.after(row);
    item.chart = { row, canvas };
    item.row.setAttribute('aria-expanded', 'true');
    drawChart(item);
  }

  function updateStream(m) {
    if (m.lines.map((l) => l[0]).join('\n') !== live.names) buildItems(m);
    const seconds = (m.t - live.t0) / 1000;
    m.lines.forEach(([, value, , , v], i) => {
      const item = live.items[i];
      item.value = value.trim();
      if (v === null) return;
      item.decimals = decimalsOf(value);
      item.min = item.min === null ? v : Math.min(item.min, v);
      item.max = item.max === null ? v : Math.max(item.max, v);
      item.history.push([seconds, v]);
      if (item.history.length > kHistory) item.history.shift();
    });
    if (live.paused) return;
    if (live.pass) {
      live.pass.textContent = t('pass') + ' ' + m.pass;
      live.pass.classList.toggle('rec', !!m.rec);
      if (m.rec) live.pass.textContent += ' · ' + t('rec');
      live.record.textContent = m.rec ? t('stopRecord') : t('record');
    }
    live.note.textContent = m.note || '';
    for (const item of live.items) {
      if (current.ident) {
        item.cells[1].textContent = item.value;
        continue;
      }
      const fmt = (x) => (x === null ? '' : x.toFixed(item.decimals));
      item.cells[1].textContent = item.value;
      item.cells[3].textContent = fmt(item.min);
      item.cells[4].textContent = fmt(item.max);
      if (item.chart) drawChart(item);
    }
  }

  // The item's recent passes over time: a line, the range at the left, seconds below.
  function drawChart(item) {
    const canvas = item.chart.canvas;
    const ratio = window.devicePixelRatio || 1;
    const w = Math.max(1, Math.round(canvas.clientWidth * ratio));
    const h = Math.max(1, Math.round(canvas.clientHeight * ratio));
    if (canvas.width !== w || canvas.height !== h) {
      canvas.width = w;
      canvas.height = h;
    }
    const g = canvas.getContext('2d');
    const style = getComputedStyle(document.documentElement);
    g.clearRect(0, 0, w, h);
    const points = item.history;
    if (!points.length) return;
    let lo = Infinity, hi = -Infinity;
    for (const [, v] of points) {
      lo = Math.min(lo, v);
      hi = Math.max(hi, v);
    }
    if (hi === lo) {
      hi += 1;
      lo -= 1;
    }
    const t0 = points[0][0], t1 = Math.max(points[points.length - 1][0], t0 + 1e-3);
    const pad = 4 * ratio, left = 44 * ratio, bottom = 14 * ratio;
    const x = (s) => left + ((s - t0) / (t1 - t0)) * (w - left - pad);
    const y = (v) => pad + (1 - (v - lo) / (hi - lo)) * (h - pad - bottom);
    g.font = `${11 * ratio}px system-ui, sans-serif`;
    g.fillStyle = style.getPropertyValue('--muted');
    g.fillText(hi.toFixed(item.decimals), 2, pad + 10 * ratio);
    g.fillText(lo.toFixed(item.decimals), 2, h - bottom);
    g.fillText(`${(t1 - t0).toFixed(1)} s`, w - 40 * ratio, h - 2);
    g.strokeStyle = style.getPropertyValue('--chart');
    g.lineWidth = 1.5 * ratio;
    g.beginPath();
    points.forEach(([s, v], i) => (i ? g.lineTo(x(s), y(v)) : g.moveTo(x(s), y(v))));
    g.stroke();
  }

  chrome();
  connect();
})();
