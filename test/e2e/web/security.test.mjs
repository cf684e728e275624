// The web front end refuses what it must, with the right status, and nothing reaches the
// car: with the session on an actuator's switch menu, each case asks for "Switch on"; only
// the controlling browser's request may send it, which the wire trace shows afterwards.
import assert from 'node:assert/strict';
import http from 'node:http';
import { test } from 'node:test';
import { startSession } from './session.mjs';

function request(s, { method = 'GET', path = '/', host, origin, token = s.token, client = '', body }) {
  const headers = { Host: host ?? `127.0.0.1:${s.port}` };
  if (token) headers.Cookie = `vazdiag_${s.port}=${token}`;
  if (origin) headers.Origin = origin;
  if (client) headers['X-Vaz-Client'] = client;
  if (body) headers['Content-Type'] = 'application/json';
  const started = Date.now();
  return new Promise((resolve, reject) => {
    const req = http.request({ host: '127.0.0.1', port: s.port, method, path, headers }, (res) => {
      let text = '';
      res.on('data', (d) => (text += d));
      res.on('end', () => resolve({ status: res.statusCode, ms: Date.now() - started, text }));
    });
    req.on('error', reject);
    req.end(body ? JSON.stringify(body) : undefined);
  });
}

// A browser's event stream: its client id and the newest screen.
function listen(s) {
  return new Promise((resolve, reject) => {
    const state = { id: '', screen: null, closed: false };
    const req = http.request({ host: '127.0.0.1', port: s.port, path: '/events',
      headers: { Host: `127.0.0.1:${s.port}`, Cookie: `vazdiag_${s.port}=${s.token}` } }, (res) => {
      let buffer = '';
      res.on('data', (d) => {
        buffer += d;
        let cut;
        while ((cut = buffer.indexOf('\n\n')) >= 0) {
          const block = buffer.slice(0, cut);
          buffer = buffer.slice(cut + 2);
          const event = (block.match(/^event: (.*)$/m) || [])[1] || 'message';
          const data = (block.match(/^data: (.*)$/m) || [])[1];
          if (event === 'hello') {
            state.id = JSON.parse(data).client;
            resolve(state);
          } else if (event === 'message' && data) state.screen = JSON.parse(data);
        }
      });
      res.on('end', () => (state.closed = true));
    });
    state.close = () => req.destroy();
    req.on('error', (e) => (state.closed ? null : reject(e)));
    req.end();
  });
}

async function until(check, what) {
  for (let i = 0; i < 300; i++) {
    if (check()) return;
    await new Promise((r) => setTimeout(r, 50));
  }
  throw new Error(`waited in vain for ${what}`);
}

const SWITCH_ON = / 10 F1 30 01 06 01 /;

test('refused requests change nothing on the car', { timeout: 120000 }, async () => {
  const s = await startSession();
  const origin = `http://127.0.0.1:${s.port}`;
  try {
    const controller = await listen(s);
    await until(() => controller.screen?.kind === 'menu', 'the function menu');
    const answer = async (action, value) => {
      const r = await request(s, { method: 'POST', path: '/api/answer', origin, client: controller.id,
        body: { screen: controller.screen.id, action, value } });
      assert.equal(r.status, 200, r.text);
    };
    await answer('choose', controller.screen.entries.indexOf('Actuator tests'));
    await until(() => controller.screen?.entries?.includes('Injectors'), 'the actuator list');
    await answer('choose', controller.screen.entries.indexOf('Injectors'));
    await until(() => controller.screen?.kind === 'message' && controller.screen.question, 'the caution');
    await answer('yes');
    await until(() => controller.screen?.entries?.includes('Switch on'), 'the switch menu');
    const reader = await listen(s);

    const switchOn = { screen: controller.screen.id, action: 'choose', value: controller.screen.entries.indexOf('Switch on') };
    const post = { method: 'POST', path: '/api/answer', origin, client: controller.id, body: switchOn };
    const CASES = [
      { name: 'no token', req: { ...post, token: '' }, status: 401 },
      { name: 'a wrong token, answered slowly', req: { ...post, token: 'f'.repeat(32) }, status: 401, slow: true },
      { name: 'a token one digit off', req: { ...post, token: s.token.slice(0, -1) + (s.token.endsWith('0') ? '1' : '0') }, status: 401, slow: true },
      { name: 'a foreign Host (DNS rebinding)', req: { ...post, host: `attacker.example:${s.port}` }, status: 421 },
      { name: 'a foreign Origin', req: { ...post, origin: 'http://attacker.example' }, status: 403 },
      { name: 'no Origin on a state-changing request', req: { ...post, origin: undefined }, status: 403 },
      { name: 'the read-only browser', req: { ...post, client: reader.id }, status: 409 },
      { name: 'a page never connected', req: { ...post, client: 'f'.repeat(32) }, status: 409 },
      { name: 'the event stream without a token', req: { path: '/events', token: '' }, status: 401 },
      { name: 'the page under a foreign Host', req: { path: '/', host: `attacker.example:${s.port}` }, status: 421 },
      { name: 'the token in the address moves into a cookie', req: { path: `/?t=${s.token}`, token: '' }, status: 303 },
    ];
    for (const c of CASES) {
      const r = await request(s, c.req);
      assert.equal(r.status, c.status, `${c.name}: ${r.text}`);
      if (c.slow) assert.ok(r.ms >= 900, `${c.name}: answered after ${r.ms} ms`);
      assert.ok(!/access-control-allow/i.test(JSON.stringify(r)), `${c.name}: no CORS`);
      assert.equal(controller.screen.id, switchOn.screen, `${c.name}: the screen stayed`);
    }

    // The controlling browser may: the one "Switch on" the trace holds is its own.
    await answer('choose', switchOn.value);
    await until(() => controller.screen.id !== switchOn.screen, 'the switch to be carried out');
    // Back out to the end of the session, taking the notices on the way.
    for (let i = 0; i < 12; i++) {
      const takes = () => ['menu', 'ended'].includes(controller.screen.kind) ||
        (controller.screen.kind === 'message' && !controller.screen.wait);
      await until(takes, 'a screen to answer');
      if (controller.screen.kind === 'ended') break;
      const id = controller.screen.id;
      await answer(controller.screen.kind === 'menu' ? 'back' : controller.screen.question ? 'no' : 'ok');
      await until(() => controller.screen.id !== id, 'the next screen');
    }
    assert.equal(await s.exited, 0, s.stderr());
    reader.close();
    controller.close();
    assert.equal(s.sent().filter((f) => SWITCH_ON.test(` ${f} `)).length, 1, 'only the controller switched');
  } finally {
    await s.stop();
  }
});
