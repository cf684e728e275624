// The M1.5.4 tour by clicks in a browser, once in English on a desktop (with a second,
// read-only browser and the controlling tab closed and opened again in the middle of live
// data) and once in Russian on a 360x740 phone; what was sent to the car is checked on the
// wire trace afterwards.
import assert from 'node:assert/strict';
import path from 'node:path';
import { test } from 'node:test';
import { expectScreen, expectStatus, focused, launchBrowser, openPage, press, screenId, serveHistory, startSession }
  from './session.mjs';

const TOURS = [
  {
    name: 'English on a desktop, a second browser, the tab reopened', language: 'en-US',
    viewport: { width: 1280, height: 900 }, others: true,
    words: {
      identification: 'Identification', stored: 'Stored trouble codes', clear: 'Clear trouble codes',
      live: 'Live data', actuators: 'Actuator tests', idle: 'Idle speed, rpm', noCodes: 'No trouble codes found',
      outOfRange: 'Value out of range for this test: enter 0 to 2559; nothing was sent', back: 'Back', leave: 'Leave', show: 'Show',
      allNone: 'All / None', yes: 'Yes', no: 'No', ok: 'OK', enter: 'Enter', cancel: 'Cancel',
      readonly: 'Read-only', refused: 'Refused',
    },
  },
  {
    name: 'Russian on a phone', language: 'ru-RU',
    viewport: { width: 360, height: 740, isMobile: true, hasTouch: true, deviceScaleFactor: 2 }, phone: true,
    words: {
      identification: 'Идентификация', stored: 'Сохранённые коды неисправностей', clear: 'Стирание кодов неисправностей',
      live: 'Текущие параметры', actuators: 'Тесты исполнительных механизмов', idle: 'Обороты холостого хода, об/мин',
      noCodes: 'Коды неисправностей не обнаружены',
      outOfRange: 'Значение вне диапазона для этого теста: введите от 0 до 2559; ничего не отправлено', back: 'Назад',
      leave: 'Выход', show: 'Показать', allNone: 'Все / Ни одного', yes: 'Да', no: 'Нет', ok: 'ОК', enter: 'Ввод',
      cancel: 'Отмена',
    },
  },
];

// Every item's row shows a value; the pass counter moves at least 5 times in 2 s; a chart
// draws once its row is opened.
async function checkLiveData(page) {
  const rows = await page.$$eval('tr.item', (r) => r.map((x) => x.children[1].textContent.trim()));
  assert.ok(rows.length >= 20, `every item shown, got ${rows.length}`);
  assert.ok(rows.every((v) => v !== ''), 'every item has a value');
  const changes = await page.evaluate(() => new Promise((resolve) => {
    const counter = document.querySelector('#screen .actions .muted');
    let last = counter.textContent;
    let n = 0;
    const timer = setInterval(() => {
      if (counter.textContent !== last) n++;
      last = counter.textContent;
    }, 20);
    setTimeout(() => clearInterval(timer) || resolve(n), 2000);
  }));
  assert.ok(changes >= 5, `live values changed ${changes} times in 2 s`);
  await page.click('tr.item');
  await page.waitForFunction(() => {
    const c = document.querySelector('canvas');
    if (!c || !c.width) return false;
    const px = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    for (let i = 3; i < px.length; i += 4) if (px[i]) return true;
    return false;
  }, { timeout: 5000, polling: 50 });
}

for (const tour of TOURS) {
  test(tour.name, { timeout: 180000 }, async () => {
    const w = tour.words;
    const session = await startSession();
    const browser = await launchBrowser(tour.language);
    try {
      let page = await openPage(browser, session.url, { viewport: tour.viewport, language: tour.language });
      await expectScreen(page, 'menu', w.identification);
      assert.doesNotMatch(page.url(), /t=/, 'the token left the address bar');

      await press(page, w.identification);
      await page.waitForFunction(() => document.body.dataset.screen === 'stream' && document.querySelector('table.fields td'),
        { polling: 50 });
      assert.match(await page.$eval('table.fields', (t) => t.textContent), /\d{6,}/, 'identification fields shown');
      await press(page, w.back);

      await expectScreen(page, 'menu', w.stored);
      await press(page, w.stored);
      await expectScreen(page, 'codes', 'P0102', 'P0325');
      await press(page, w.leave);

      // Clearing the codes: the question opens on No; No clears nothing, Yes clears them.
      await expectScreen(page, 'menu', w.clear);
      await press(page, w.clear);
      await expectScreen(page, 'message', w.yes, w.no);
      assert.equal(await focused(page), w.no, 'the question opens on the safe answer');
      await press(page, w.no);
      await expectScreen(page, 'menu', w.clear);
      await press(page, w.clear);
      await expectScreen(page, 'message', w.yes);
      await press(page, w.yes);
      await expectScreen(page, 'message', w.ok);
      await press(page, w.ok);
      await expectScreen(page, 'menu', w.stored);
      await press(page, w.stored);
      await expectScreen(page, 'message', w.noCodes);
      await press(page, w.ok);

      // Live data with every item.
      await expectScreen(page, 'menu', w.live);
      await press(page, w.live);
      await expectScreen(page, 'select');
      await page.evaluate(() => document.querySelectorAll('#screen input[type=checkbox]').forEach((b) => (b.checked = false)));
      await press(page, w.allNone);
      await press(page, w.show);
      await expectScreen(page, 'stream');
      await checkLiveData(page);

      if (tour.phone) {
        const wide = await page.evaluate(() => document.documentElement.scrollWidth);
        assert.ok(wide <= 360, `no horizontal overflow on a 360 px phone (page is ${wide} px wide)`);
        if (process.env.VAZ_WEB_SCREENSHOT) await page.screenshot({ path: process.env.VAZ_WEB_SCREENSHOT });
      }

      let second = null;
      if (tour.others) {
        // A second browser sees the same screen, read-only: its Back is refused.
        second = await openPage(browser, session.base + '/', { viewport: tour.viewport });
        await expectScreen(second, 'stream');
        await second.waitForFunction((t) => document.getElementById('control').textContent.includes(t),
          { polling: 50 }, w.readonly);
        await press(second, w.back);
        await expectStatus(second, w.refused);
        assert.equal(await screenId(page), await screenId(second));
        await expectScreen(page, 'stream');

        // The controlling tab goes away mid-live-data and comes back: the live data ran on,
        // and the reopened tab controls again.
        const id = await screenId(page);
        await page.close();
        page = await openPage(browser, session.base + '/', { viewport: tour.viewport });
        await expectScreen(page, 'stream');
        assert.equal(await screenId(page), id, 'still the same live-data screen');
        await page.waitForFunction(() => document.getElementById('control').textContent.startsWith('You control'),
          { polling: 50 });
        await checkLiveData(page);
      }
      await press(page, w.back);
      await expectScreen(page, 'select');  // the list comes back, to choose again
      await press(page, w.back);

      // An actuator test with a number: out of range and cancelled, nothing is sent.
      await expectScreen(page, 'menu', w.actuators);
      await press(page, w.actuators);
      await expectScreen(page, 'menu', w.idle);
      if (second) {
        await second.bringToFront();
        await expectScreen(second, 'menu', w.idle);
        await press(second, w.idle);
        await expectStatus(second, w.refused);
        await page.bringToFront();
        await expectScreen(page, 'menu', w.idle);
      }
      await press(page, w.idle);
      await expectScreen(page, 'input', w.idle);
      await page.type('#screen input', 'twelve');
      await press(page, w.enter);
      await page.waitForFunction(() => document.querySelector('#screen .error').textContent !== '', { polling: 50 });
      await page.$eval('#screen input', (i) => (i.value = ''));
      await page.type('#screen input', '5000');
      await press(page, w.enter);
      await expectScreen(page, 'message', w.outOfRange);
      await press(page, w.ok);
      await expectScreen(page, 'menu', w.idle);
      await press(page, w.idle);
      await expectScreen(page, 'input');
      await press(page, w.cancel);  // a cancelled box says nothing and sends nothing
      await expectScreen(page, 'menu', w.idle);
      await press(page, w.back);
      await expectScreen(page, 'menu', w.identification);
      await press(page, w.back);
      await expectScreen(page, 'ended');
      assert.equal(await session.exited, 0, session.stderr());
      assert.deepEqual(page.problems, [], 'no script errors or refused resources');

      const sent = session.sent();
      assert.equal(sent.filter((f) => / 10 F1 14 /.test(f)).length, 1, 'one clear: after Yes, none after No');
      assert.equal(sent.filter((f) => / 10 F1 30 42 /.test(f)).length, 0, 'no idle-speed command');
      assert.ok(sent.length > 10, 'the line was used');

      if (tour.others) {
        // The history holds what the browser did to the car, with its address; web-history
        // lists the session and opens its report.
        const served = await serveHistory(session.history);
        try {
          const list = await openPage(browser, served.url);
          await list.waitForSelector('a[href^="/report/"]');
          await Promise.all([list.waitForNavigation(), list.click('a[href^="/report/"]')]);
          const report = await list.evaluate(() => document.body.innerText);
          assert.match(report, /browser 127\.0\.0\.1\s+yes: Clear trouble codes/);
          assert.match(report, /P0102/);
        } finally {
          await served.stop();
        }
      }
    } catch (e) {
      // What the page showed when a step failed.
      for (const p of await browser.pages())
        console.error(await p.evaluate(() => `${document.body.dataset.screen}: ${document.body.innerText}`).catch(() => ''));
      throw e;
    } finally {
      await browser.close();
      await session.stop();
    }
  });
}
