// The web page in a real browser (Debian's chromium, driven by playwright-core,
// which downloads no browser): what the user sees, how the run ends, and that
// the page paces the program.
//
// PLASMA_WEB_DIR: the build's web/ folder, holding site/ and site-test/
// (default build/web/web); PLASMA_CAPTURE: plasma-capture (default
// build/default/tools/capture/plasma-capture); PLASMA_WEB_SCREENSHOT: where
// to save a screenshot of the page (none by default); PLASMA_CHROMIUM: the
// browser (default /usr/bin/chromium, Debian's).
import assert from 'node:assert/strict';
import { spawn, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { fileURLToPath } from 'node:url';

import { chromium } from 'playwright-core';

const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const webDir = process.env.PLASMA_WEB_DIR || path.join(root, 'build/web/web');
const capture = process.env.PLASMA_CAPTURE ||
  path.join(root, 'build/default/tools/capture/plasma-capture');
const kWaitMs = 30000;

let server, base, profile, context;

before(async () => {
  server = spawn('python3', [path.join(root, 'web/serve.py'), webDir, '0'],
                 { stdio: ['ignore', 'pipe', 'ignore'] });
  base = await new Promise((resolve, reject) => {
    server.stdout.once('data', (line) => resolve(String(line).trim()));
    server.once('exit', (code) => reject(new Error(`serve.py ended with ${code}`)));
  });
  profile = fs.mkdtempSync(path.join(os.tmpdir(), 'plasma-web-profile-'));
  context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.PLASMA_CHROMIUM || '/usr/bin/chromium',
    headless: true,
    viewport: { width: 1024, height: 1200 },
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
           '--disable-background-networking', '--disable-component-update', '--disable-sync'],
  });
});

after(async () => {
  await context?.close();
  server?.kill();
  if (profile) fs.rmSync(profile, { recursive: true, force: true });
});

async function open(query, site = 'site') {
  const page = await context.newPage();
  const requests = [];
  page.on('request', (request) => requests.push(request.url()));
  page.on('pageerror', (error) => { page.pageError = error; });
  page.requests = requests;
  await page.goto(`${base}${site}/${query}`);
  return page;
}

async function ended(page) {
  await page.waitForSelector('#status[data-state="ended"]', { timeout: kWaitMs });
  return page.evaluate(() => ({
    status: Number(document.getElementById('status').dataset.status),
    message: document.getElementById('message').textContent,
  }));
}

// The screen as the canvas holds it, with what the page drew it from.
function readScreen(page) {
  return page.evaluate(() => {
    const canvas = document.getElementById('screen');
    const { width, height } = canvas;
    const data = canvas.getContext('2d').getImageData(0, 0, width, height).data;
    return { width, height, published: Number(canvas.dataset.published),
             rgba: Array.from(data) };
  });
}

const pixel = (screen, x, y) => {
  const at = 4 * (y * screen.width + x);
  return screen.rgba.slice(at, at + 4).join(',');
};

// Until the program's frames are on the screen: its window exists by then,
// so input reaches it.
async function plasmaShown(page) {
  await page.waitForFunction(() => {
    const canvas = document.getElementById('screen');
    if (Number(canvas.dataset.drawn || 0) < 2) return false;
    const row = canvas.getContext('2d').getImageData(0, canvas.height / 2, canvas.width, 1).data;
    return row.some((value, i) => i % 4 !== 3 && value !== 0);
  }, null, { timeout: kWaitMs });
}

test('the plasma is shown below 24 black rows, above a black last row', async (t) => {
  const page = await open('');
  await plasmaShown(page);
  const screen = await readScreen(page);
  assert.equal(screen.width, 240);
  assert.equal(screen.height, 320);
  const black = '0,0,0,255';
  for (const y of [...Array(24).keys(), 319]) {
    for (let x = 0; x < 240; ++x) assert.equal(pixel(screen, x, y), black, `(${x}, ${y})`);
  }
  const colours = new Set();
  for (let y = 24; y < 319; ++y) {
    for (let x = 0; x < 240; ++x) colours.add(pixel(screen, x, y));
  }
  assert.ok(colours.size > 100, `${colours.size} colours in the plasma`);
  assert.deepEqual(page.requests.filter((url) => !url.startsWith(base)), [],
                   'nothing loaded from elsewhere');
  const firstFrame = await page.evaluate(() => document.getElementById('screen').dataset.firstFrameMs);
  t.diagnostic(`first frame ${firstFrame} ms after the page was opened`);
  if (process.env.PLASMA_WEB_SCREENSHOT) {
    await page.screenshot({ path: process.env.PLASMA_WEB_SCREENSHOT });
  }
  await page.close();
});

// plasma-capture's 5-6-5 frame widened as every host widens it.
function captured(frame, width, height) {
  const out = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'plasma-web-frame-')), 'f.rgb565');
  const run = spawnSync(capture, ['--size', `${width}x${height}`, '--frames', String(frame),
                                  '--out', out]);
  assert.equal(run.status, 0, `${capture}: ${run.stderr}`);
  const bytes = fs.readFileSync(out);
  fs.rmSync(path.dirname(out), { recursive: true });
  const widen = (value, bits) => (value << (8 - bits)) | (value >> (2 * bits - 8));
  const rgba = [];
  for (let i = 0; i < bytes.length; i += 2) {
    const p = bytes.readUInt16LE(i);
    rgba.push(widen(p >> 11, 5), widen((p >> 5) & 0x3f, 6), widen(p & 0x1f, 5), 255);
  }
  return rgba;
}

// On a DRAM-buffer device the screen is the last published frame: the one
// plasma-capture numbers one more than the count (the first is drawn before
// the first bracket). A VGA panel shows it with every pixel doubled.
for (const c of [
  { query: '?dram&speed=10', scale: 1 },
  { query: '?device=vga&dram&speed=10', scale: 2 },
]) {
  test(`${c.query}: the screen is plasma-capture's frame, each pixel ${c.scale}x${c.scale}`, async () => {
    const page = await open(c.query);
    await page.waitForFunction(() => Number(document.getElementById('screen').dataset.published) >= 3,
                               null, { timeout: kWaitMs });
    let screen;
    do {
      screen = await readScreen(page);
    } while (screen.published < 0);
    await page.close();
    assert.equal(screen.width, 240 * c.scale);
    assert.equal(screen.height, 320 * c.scale);
    const frame = captured(screen.published + 1, 240, 295);
    let wrong = 0, outside = 0;
    for (let y = 0; y < screen.height; ++y) {
      for (let x = 0; x < screen.width; ++x) {
        const dx = Math.floor(x / c.scale), dy = Math.floor(y / c.scale);
        const at = 4 * (y * screen.width + x);
        const shown = screen.rgba.slice(at, at + 4).join(',');
        if (dy >= 24 && dy < 24 + 295) {
          const from = 4 * ((dy - 24) * 240 + dx);
          wrong += shown !== frame.slice(from, from + 4).join(',');
        } else {
          outside += shown !== '0,0,0,255';
        }
      }
    }
    assert.equal(wrong, 0, `pixels unlike frame ${screen.published + 1}`);
    assert.equal(outside, 0, 'pixels not black outside the plasma');
  });
}

for (const c of [
  { input: 'a tap', give: async (page) => {
    const box = await page.locator('#screen').boundingBox();
    await page.mouse.click(box.x + box.width / 2, box.y + box.height / 2);
  } },
  { input: 'a key', give: (page) => page.keyboard.press('KeyA') },
  { input: 'the close control', give: (page) => page.click('#close') },
]) {
  test(`${c.input} ends the program with status 0`, async () => {
    const page = await open('');
    await plasmaShown(page);
    await c.give(page);
    assert.deepEqual(await ended(page), { status: 0, message: '' });
    await page.close();
  });
}

test('?fail=open: the message box is a dialog in the page, and the run ends with 1', async () => {
  const page = await open('?fail=open');
  const dialog = page.locator('#messagebox');
  await dialog.waitFor({ state: 'visible', timeout: kWaitMs });
  assert.match(await dialog.textContent(), /GXOpenDisplay failed/);
  assert.equal(await page.evaluate(() => document.getElementById('status').dataset.state),
               'running', 'the program waits for the answer');
  await dialog.locator('button', { hasText: 'OK' }).click();
  assert.equal((await ended(page)).status, 1);
  await page.close();
});

// The query string is the command line: the one parser's one line, status 2.
for (const c of [
  { query: '?speed=fast', message: /^plasma-demo: --speed.*\n?$/ },
  { query: '?nosuch', message: /^plasma-demo: .*--nosuch/ },
  { query: '?device=vga&display=480x640', message: /^plasma-demo: .*--device.*--display|--display.*--device/ },
  { query: '?screenshot=shot.png', message: /^plasma-demo: --screenshot: a page saves no files/ },
]) {
  test(`${c.query}: its message on the page, and status 2`, async () => {
    const page = await open(c.query);
    const end = await ended(page);
    assert.equal(end.status, 2);
    assert.match(end.message, c.message);
    assert.equal(end.message.trim().split('\n').length, 1, end.message);
    await page.close();
  });
}

// CPU seconds of the browser's processes for this profile, from /proc: all
// of them, and the renderers (the tab, with its workers).
function cpuSeconds() {
  const tick = 100;
  let all = 0, renderer = 0;
  for (const pid of fs.readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
    let commandLine, stat;
    try {
      commandLine = fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8');
      stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
    } catch {
      continue;
    }
    if (!commandLine.includes(profile)) continue;
    const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
    const seconds = (Number(fields[11]) + Number(fields[12])) / tick;
    all += seconds;
    if (commandLine.includes('--type=renderer')) renderer += seconds;
  }
  return { all, renderer };
}

async function measure(page, ms) {
  const read = () => page.evaluate(() => ({
    published: Number(document.getElementById('screen').dataset.published),
    drawn: Number(document.getElementById('screen').dataset.drawn),
    now: performance.now(),
  }));
  let first;
  do {
    first = await read();
  } while (first.published < 0);
  const cpuBefore = cpuSeconds();
  await page.waitForTimeout(ms);
  let last;
  do {
    last = await read();
  } while (last.published < 0);
  const cpuAfter = cpuSeconds();
  const seconds = (last.now - first.now) / 1000;
  return {
    frames: (last.published - first.published) / seconds,
    drawn: (last.drawn - first.drawn) / seconds,
    renderer: (cpuAfter.renderer - cpuBefore.renderer) / seconds,
    browser: (cpuAfter.all - cpuBefore.all) / seconds,
  };
}

const describe = (m) => `${m.frames.toFixed(1)} frames/s, ${m.drawn.toFixed(1)} draws/s, ` +
  `tab ${(100 * m.renderer).toFixed(0)}% of a core, browser ${(100 * m.browser).toFixed(0)}%`;

// The device holds the program to its pace: never faster, and the tab does
// not take a core for it. Unpaced, the same page takes a core for its render
// thread alone.
test('the paced rate holds, and the tab does not burn a core', async (t) => {
  for (const speed of ['30', '']) {
    const page = await open(`?dram${speed ? `&speed=${speed}` : ''}`);
    await plasmaShown(page);
    const paced = await measure(page, 3000);
    await page.close();
    const fps = Number(speed || 60);
    t.diagnostic(`speed ${fps}: ${describe(paced)}`);
    assert.ok(paced.frames <= fps * 1.1, `${paced.frames} frames/s at ${fps}`);
    assert.ok(paced.frames >= fps / 4, `${paced.frames} frames/s at ${fps}`);
    assert.ok(paced.renderer < 0.5, `the tab took ${paced.renderer} of a core`);
  }
  const page = await open('?dram&speed=max');
  await plasmaShown(page);
  const unpaced = await measure(page, 3000);
  await page.close();
  t.diagnostic(`speed max: ${describe(unpaced)}`);
  assert.ok(unpaced.frames > 60, `${unpaced.frames} frames/s unpaced`);
});

test('a write past display memory is caught at the next scan-out, ending with 1', async () => {
  const page = await open('', 'site-test');
  await plasmaShown(page);
  assert.equal(await page.evaluate(() => Module._plasma_test_stray_write()), 1);
  const end = await ended(page);
  assert.equal(end.status, 1);
  assert.match(end.message, /display memory overrun: a write 1 bytes past its end/);
  await page.close();
});

test('the site itself has no test hook', async () => {
  const page = await open('');
  await plasmaShown(page);
  assert.equal(await page.evaluate(() => typeof Module._plasma_test_stray_write), 'undefined');
  await page.close();
});
