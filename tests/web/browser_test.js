// browser_test.js <page folder> <desktop dialog_dump> <desktop scene_dump> <screenshot.png>
// Plays the web page in headless chromium, as a player would: the title screen must be the
// desktop dialog's (dialog_dump: the real main dialog on the offscreen driver), pixel for
// pixel, and the pointer lands on the client pixel under it; Start
// shows the stage announcement on the sky; Stop brings the title back; a right click opens
// the system menu (Escape closes it), whose About item opens the About box over the game,
// and its OK closes it; Exit ends the game and the page says so.
// The page's console must stay free of errors. Then a first visit from a plain static host
// (no isolation headers) on "Fast 4G" from a cold cache: its time to the title screen and its
// bytes beside their goals; Start, a flap and Stop; a second visit with the network cut; and
// on an emulated phone, upright and on its side, the whole canvas on screen, a tap on Start
// and a long press for the menu. Then the paint benchmark runs in its own page and its figure
// is printed beside the desktop's. Needs puppeteer-core on NODE_PATH.
'use strict';
const { spawnSync } = require('child_process');
const path = require('path');
const puppeteer = require('puppeteer-core');
const { serve } = require(path.join(__dirname, '../../scripts/web-serve'));

const [pageDir, dialogDump, nativeDump, screenshotPath] = process.argv.slice(2);
const chromium = process.env.CHROMIUM || '/usr/bin/chromium';
const kFace = 0xf0f0f0;
const kSky = 0xdebd89; // Rgb(137, 189, 222) as 0x00BBGGRR
const kChick = 0x3ad8ff; // the chick's body, FFD83A in its pixel art

// Pictures and rectangles from a dump program's output.
function readDump(text) {
  const rects = {};
  const pictures = {};
  let current = null;
  for (const line of text.split('\n')) {
    const rect = line.match(/^rect (\S+) (-?\d+) (-?\d+) (-?\d+) (-?\d+)$/);
    const head = line.match(/^(\w+) (\d+)x(\d+)$/);
    if (rect) {
      const [left, top, right, bottom] = rect.slice(2).map(Number);
      rects[rect[1]] = { left, top, right, bottom };
    } else if (head) {
      current = { width: Number(head[2]), height: Number(head[3]), pixels: [] };
      pictures[head[1]] = current;
    } else if (current && /^[0-9A-F]+$/.test(line)) {
      for (let i = 0; i < line.length; i += 6) current.pixels.push(parseInt(line.slice(i, i + 6), 16));
    }
  }
  return { rects, pictures };
}

// The canvas's pixels as 0x00BBGGRR values, the game's own colour words.
async function canvasPicture(page) {
  return page.evaluate(() => {
    const c = document.getElementById('canvas');
    if (c.width < 2 || c.height < 2) return { width: c.width, height: c.height, pixels: [] };
    const rgba = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    const pixels = new Array(c.width * c.height);
    for (let i = 0; i < pixels.length; ++i) {
      pixels[i] = rgba[4 * i] | (rgba[4 * i + 1] << 8) | (rgba[4 * i + 2] << 16);
    }
    return { width: c.width, height: c.height, pixels };
  }).catch(() => ({ width: 0, height: 0, pixels: [] })); // a page that is loading again has none
}

// How many pixels of `rect` (default: all) differ between two pictures of one size.
function differing(a, b, rect) {
  if (a.width !== b.width || a.height !== b.height) return Infinity;
  const r = rect || { left: 0, top: 0, right: a.width, bottom: a.height };
  let count = 0;
  for (let y = Math.max(r.top, 0); y < Math.min(r.bottom, a.height); ++y) {
    for (let x = Math.max(r.left, 0); x < Math.min(r.right, a.width); ++x) {
      if (a.pixels[y * a.width + x] !== b.pixels[y * b.width + x]) ++count;
    }
  }
  return count;
}

// The part of a picture inside `r`, as a picture of its own.
function crop(p, r) {
  const pixels = [];
  for (let y = r.top; y < r.bottom; ++y) pixels.push(...p.pixels.slice(y * p.width + r.left, y * p.width + r.right));
  return { width: r.right - r.left, height: r.bottom - r.top, pixels };
}

function count(picture, rect, colour) {
  let n = 0;
  for (let y = rect.top; y < rect.bottom; ++y) {
    for (let x = rect.left; x < rect.right; ++x) {
      if (picture.pixels[y * picture.width + x] === colour) ++n;
    }
  }
  return n;
}

// Polls `probe` until it returns a truthy value; fails with `what` after `ms`.
async function waitFor(what, probe, ms = 15000) {
  const end = Date.now() + ms;
  let last;
  while (Date.now() < end) {
    last = await probe();
    if (last && !last.notYet) return last;
    await new Promise((r) => setTimeout(r, 50));
  }
  throw new Error(`timed out waiting for ${what}${last && last.notYet ? ': ' + last.notYet : ''}`);
}

// The page position of client pixel (x, y)'s centre, whatever the page's scale.
async function at(page, x, y) {
  const box = await page.evaluate(() => {
    const r = document.getElementById('canvas').getBoundingClientRect();
    return { left: r.left, top: r.top, scale: r.width / document.getElementById('canvas').width };
  });
  return [box.left + (x + 0.5) * box.scale, box.top + (y + 0.5) * box.scale];
}

// The box around the pixels where `p` differs from `before`; null where none do.
function changedBox(p, before) {
  let box = null;
  for (let y = 0; y < p.height; ++y) {
    for (let x = 0; x < p.width; ++x) {
      if (p.pixels[y * p.width + x] === before.pixels[y * p.width + x]) continue;
      box = box || { left: x, top: y, right: x + 1, bottom: y + 1 };
      box.left = Math.min(box.left, x);
      box.right = Math.max(box.right, x + 1);
      box.top = Math.min(box.top, y);
      box.bottom = Math.max(box.bottom, y + 1);
    }
  }
  return box;
}

function titleOn(page, title, what) {
  return waitFor(what, async () => {
    const n = differing(await canvasPicture(page), title);
    return n === 0 ? true : { notYet: `${n} pixels differ from the desktop dialog's title screen` };
  });
}

// The band of the field where the stage is announced.
function bandOf(field) {
  const cy = Math.floor((field.top + field.bottom) / 2);
  return { left: field.left + 10, top: cy - 30, right: field.right - 10, bottom: cy + 30 };
}

// Waits for "Stage1" on the band over the sky, as the desktop draws it.
function announced(page, rects, announce) {
  const field = rects.field;
  const fieldArea = (field.right - field.left) * (field.bottom - field.top);
  return waitFor('"Stage1" on the band over the sky', async () => {
    const p = await canvasPicture(page);
    const n = differing(p, announce, bandOf(field));
    const sky = count(p, field, kSky);
    if (n !== 0) return { notYet: `${n} pixels of the band differ from the desktop's announcement` };
    return sky * 4 >= fieldArea ? true : { notYet: `only ${sky} sky pixels` };
  });
}

const centre = (r) => [Math.floor((r.left + r.right) / 2), Math.floor((r.top + r.bottom) / 2)];

async function main() {
  const run = (program, args) => {
    const r = spawnSync(program, args, { encoding: 'utf8', maxBuffer: 64 << 20 });
    if (r.status !== 0) throw new Error(`${program} failed: ${r.error || r.stderr}`);
    return r;
  };
  // The desktop dialog's title screen and controls; the announcement from the world's own
  // drawing, and the About box's rectangles from its template.
  const dialog = readDump(run(dialogDump, []).stdout);
  const scene = readDump(run(nativeDump, ['1']).stdout);
  const rects = { ...scene.rects, ...dialog.rects };
  const announce = scene.pictures.announce;
  const title = dialog.pictures.title;
  const server = await serve(pageDir, 0);
  const base = `http://localhost:${server.address().port}/`;
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--mute-audio'],
  });
  const errors = [];
  let benchServer = null;
  try {
    const page = await browser.newPage();
    page.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
    page.on('pageerror', (e) => errors.push(e.message));
    page.on('requestfailed', (r) => errors.push(`request failed: ${r.url()}`));
    // Room for the game at twice its size: the pointer must still land on client pixels.
    await page.setViewport({ width: 1000, height: 760 });
    await page.goto(base, { waitUntil: 'load' });
    // The largest whole factor that fits the browser window, without smoothing.
    const scale = await waitFor('the canvas at a whole scale', async () => {
      const shown = await page.evaluate(() => {
        const c = document.getElementById('canvas');
        return { width: c.width, scale: c.getBoundingClientRect().width / c.width,
                 fits: Math.floor(Math.min(innerWidth / c.width, innerHeight / c.height)),
                 rendering: getComputedStyle(c).imageRendering };
      });
      if (shown.width === title.width && shown.scale === shown.fits && shown.rendering === 'pixelated') return shown.scale;
      return { notYet: `shown at ${shown.scale}x (${shown.rendering}), not at ${shown.fits}x, pixelated` };
    });

    const titleShown = (what) => titleOn(page, title, what);
    await titleShown('the title screen');
    console.log(`title screen: identical to the desktop dialog's, ${title.width}x${title.height} pixels, shown at ${scale}x`);

    // The pointer maps to client pixels exactly: the Start button lights up at its own first
    // pixel and not one pixel to the left of it.
    const start = rects.start;
    await page.mouse.move(...(await at(page, start.left - 1, start.top)));
    await new Promise((r) => setTimeout(r, 300));
    if (differing(await canvasPicture(page), title) !== 0) throw new Error('the Start button lit up from outside it');
    await page.mouse.move(...(await at(page, start.left, start.top)));
    await waitFor('the Start button to light up under the pointer', async () => differing(await canvasPicture(page), title, start) > 0);
    console.log('pointer: lands on the client pixel under it');

    await page.mouse.click(...(await at(page, ...centre(start))));
    await announced(page, rects, announce);
    console.log("stage announcement: the band is the desktop's, pixel for pixel, over the sky");
    // The game under way, with its blocks, for the screenshot.
    await new Promise((r) => setTimeout(r, 2600));
    await page.screenshot({ path: screenshotPath });

    await page.mouse.click(...(await at(page, ...centre(rects.stop))));
    await titleShown('the title screen after Stop');
    console.log('stop: the title screen is back');

    // A right click on the field opens the system menu at the pointer; Escape closes it, and
    // its last item is About.
    const before = await canvasPicture(page);
    const rightClick = async () => page.mouse.click(...(await at(page, 100, 100)), { button: 'right' });
    await rightClick();
    await waitFor('the system menu', async () => differing(await canvasPicture(page), title) > 0);
    await page.keyboard.press('Escape');
    await titleShown('the title screen after Escape closed the menu');
    await rightClick();
    const menu = await waitFor('the system menu', async () => changedBox(await canvasPicture(page), before));
    if (menu.left !== 100 || menu.top !== 100) throw new Error(`the menu opened at ${menu.left},${menu.top}, not at the pointer`);
    console.log('system menu: opens at the pointer, Escape closes it');
    await page.mouse.click(...(await at(page, menu.left + 10, menu.bottom - 8)));
    // The box lies centred in its frame, whose caption bar is the desktop-drawn one's.
    const about = rects.about;
    const frame = dialog.pictures.frame;
    const fx = Math.floor((title.width - frame.width) / 2);
    const fy = Math.floor((title.height - frame.height) / 2);
    const ax = fx + rects['about-client'].left;
    const ay = fy + rects['about-client'].top;
    const aboutRect = { left: ax, top: ay, right: ax + about.right, bottom: ay + about.bottom };
    await waitFor('the About box', async () => {
      const p = await canvasPicture(page);
      const face = count(p, aboutRect, kFace);
      return face * 2 >= about.right * about.bottom ? true : { notYet: `${face} face pixels where the box belongs` };
    });
    const captionDiffers = differing(crop(await canvasPicture(page), { left: fx, top: fy, right: fx + frame.width, bottom: ay }),
                                     crop(frame, { left: 0, top: 0, right: frame.width, bottom: ay - fy }));
    if (captionDiffers !== 0) throw new Error(`${captionDiffers} pixels of the About box's caption bar differ from the desktop-drawn one`);
    console.log(`about: the box opened over the game, ${about.right}x${about.bottom} at ${ax},${ay}, under its caption`);
    await page.screenshot({ path: screenshotPath.replace(/\.png$/, '-about.png') });
    const ok = rects['about-ok'];
    // Nothing under the OK button repaints the game: what the box covered must show again.
    await page.mouse.click(...(await at(page, ax + centre(ok)[0], ay + centre(ok)[1])));
    await titleShown('the title screen after the About box');
    console.log('about: OK closed it, and the title screen is whole again');

    await page.mouse.click(...(await at(page, ...centre(rects.exit))));
    const code = await waitFor('the page to say the game has ended', () =>
      page.evaluate(() => document.getElementById('ended').offsetParent !== null && document.body.dataset.exitCode));
    console.log(`exit: the game ended (exit code ${code}) and the page says so`);
    if (errors.length !== 0) throw new Error(`the console has errors:\n${errors.join('\n')}`);
    console.log('console: no errors');
    await anyHost(browser, { title, announce, rects });

    // The game-scene paint, timed in a page and on the desktop, each in one run: the steady
    // figure (the ratio's), and the first batch's, which in the page includes the browser's
    // optimising of the code.
    const paints = 2000;
    const figures = (text) => {
      const m = text.match(/^paint ([0-9.]+) ms .* took ([0-9.]+) ms/);
      return m && { steady: Number(m[1]), first: Number(m[2]) };
    };
    const bench = await browser.newPage();
    const figure = new Promise((resolve) =>
      bench.on('console', (m) => {
        const f = figures(m.text());
        if (f) resolve(f);
      }));
    // The paint page lies in a folder of its own, beside the game's.
    benchServer = await serve(path.join(pageDir, '../bench'), 0);
    await bench.goto(`http://localhost:${benchServer.address().port}/bench.html?arg=${paints}&arg=--no-dump`);
    const web = await Promise.race([figure, new Promise((_, no) => setTimeout(() => no(new Error('no paint figure from the page')), 60000))]);
    const desktop = figures(run(nativeDump, [String(paints), '--no-dump']).stderr);
    console.log(`paint: page ${web.steady.toFixed(4)} ms, desktop ${desktop.steady.toFixed(4)} ms, ratio ${(web.steady / desktop.steady).toFixed(2)} (goal <= 2); ` +
                `first ${paints} paints: page ${web.first.toFixed(4)} ms, desktop ${desktop.first.toFixed(4)} ms, ratio ${(web.first / desktop.first).toFixed(2)}`);
  } finally {
    await browser.close();
    server.close();
    if (benchServer) benchServer.close();
  }
}

// "Fast 4G" for the page and for its service worker, whose own fetches the page's network
// emulation does not slow: the worker is held at its start until it is slowed too.
async function fast4g(browser, page) {
  const fast = puppeteer.PredefinedNetworkConditions['Fast 4G'];
  const conditions = { offline: false, latency: fast.latency, downloadThroughput: fast.download, uploadThroughput: fast.upload };
  const root = await browser.target().createCDPSession();
  root.on('Target.attachedToTarget', async ({ sessionId, targetInfo }) => {
    const worker = root.connection().session(sessionId);
    if (targetInfo.type === 'service_worker') {
      await worker.send('Network.enable').catch(() => {});
      await worker.send('Network.emulateNetworkConditions', conditions).catch(() => {});
    }
    await worker.send('Runtime.runIfWaitingForDebugger').catch(() => {});
  });
  await root.send('Target.setAutoAttach', { autoAttach: true, waitForDebuggerOnStart: true, flatten: true,
                                            filter: [{ type: 'service_worker' }, { exclude: true }] });
  await page.emulateNetworkConditions(fast);
  return async () => {
    await page.emulateNetworkConditions(null);
    await root.detach();
  };
}

// The page from a plain static host (no isolation headers), first on "Fast 4G" from a cold
// cache, then with the network cut, then on a phone.
async function anyHost(browser, { title, announce, rects }) {
  const sent = {};
  const host = await serve(pageDir, 0, { isolate: false, sent: (file, n) => { sent[file] = (sent[file] || 0) + n; } });
  const context = await browser.createBrowserContext();
  const errors = [];
  const newPage = async () => {
    const page = await context.newPage();
    page.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
    page.on('pageerror', (e) => errors.push(e.message));
    return page;
  };
  const page = await newPage();
  const url = `http://localhost:${host.address().port}/`;
  try {
    await page.setViewport({ width: 1000, height: 760 });
    const unthrottle = await fast4g(browser, page);
    // Timed with a digest of the canvas computed in the page, which costs it little.
    const digest = (pixels) => pixels.reduce((h, p) => Math.imul(h ^ p, 16777619), 2166136261);
    const started = Date.now();
    await page.goto(url);
    await waitFor('the title screen from a plain host', () => page.evaluate((width, want) => {
      const c = document.getElementById('canvas');
      if (!c || c.width !== width) return false;
      const rgba = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
      let h = 2166136261;
      for (let i = 0; i < rgba.length; i += 4) h = Math.imul(h ^ (rgba[i] | (rgba[i + 1] << 8) | (rgba[i + 2] << 16)), 16777619);
      return h === want;
    }, title.width, digest(title.pixels)).catch(() => false));
    const seconds = (Date.now() - started) / 1000;
    await titleOn(page, title, 'the title screen from a plain host');
    await unthrottle();
    const bytes = Object.values(sent).reduce((a, b) => a + b, 0);
    console.log(`plain host, first visit on "Fast 4G" from a cold cache: the title screen, identical to the desktop's, after ${seconds.toFixed(2)} s (goal <= 2.5 s); ` +
                `${bytes} bytes, ${(bytes / 1048576).toFixed(2)} MiB (goal <= 2 MiB): ${Object.entries(sent).map(([f, n]) => `${f} ${n}`).join(', ')}`);
    if (bytes > 2 * 1048576) throw new Error('a first visit downloads more than 2 MiB');
    const click = async (x, y) => page.mouse.click(...(await at(page, x, y)));
    await play(page, { rects, announce, title }, click, async (down) => (down ? page.mouse.down() : page.mouse.up()));
    console.log('plain host: Start, a flap and Stop play as from the isolating server');

    host.close();
    host.closeAllConnections();
    await page.goto(url);
    await play(page, { rects, announce, title }, click);
    console.log('offline: with the network cut, a second visit plays');

    // Phones, offline too: upright, then turned on its side.
    const phone = await newPage();
    for (const [width, height] of [[360, 640], [640, 360]]) {
      await phone.setViewport({ width, height, isMobile: true, hasTouch: true, deviceScaleFactor: 2 });
      if (phone.url() !== url) await phone.goto(url);
      await titleOn(phone, title, `the title screen on a ${width}x${height} phone`);
      const shown = await phone.evaluate(() => {
        const r = document.getElementById('canvas').getBoundingClientRect();
        const smooth = getComputedStyle(document.getElementById('canvas')).imageRendering !== 'pixelated';
        return { left: r.left, top: r.top, right: r.right, bottom: r.bottom, width: r.width, smooth, innerWidth, innerHeight };
      });
      // On screen whole: enlarged without smoothing, or where it must shrink, smoothly to the
      // screen's full width or height.
      const fills = Math.max(shown.right - shown.left - shown.innerWidth, shown.bottom - shown.top - shown.innerHeight) > -1;
      if (shown.left < 0 || shown.top < 0 || shown.right > shown.innerWidth || shown.bottom > shown.innerHeight ||
          shown.smooth !== (shown.width < title.width) || (shown.smooth && !fills)) {
        throw new Error(`the canvas is not shown whole on a ${width}x${height} screen: ${JSON.stringify(shown)}`);
      }
      const tap = async (x, y) => phone.touchscreen.tap(...(await at(phone, x, y)));
      await play(phone, { rects, announce, title }, tap);
      const [x, y] = await at(phone, 100, 100);
      await phone.touchscreen.touchStart(x, y);
      await new Promise((r) => setTimeout(r, 700));
      await phone.touchscreen.touchEnd();
      const menu = await waitFor('the system menu after a long press', async () => changedBox(await canvasPicture(phone), title));
      if (Math.abs(menu.left - 100) > 1 || Math.abs(menu.top - 100) > 1) throw new Error(`the menu opened at ${menu.left},${menu.top}, not under the finger`);
      await phone.screenshot({ path: screenshotPath.replace(/\.png$/, `-phone-${width}x${height}.png`) });
      await tap(10, 300);
      await titleOn(phone, title, 'the title screen after a tap beside the menu');
      console.log(`phone ${width}x${height}: the whole canvas on screen at ${(shown.width / title.width).toFixed(2)}x, a tap on Start starts, a long press opens the menu`);
    }
    if (errors.length !== 0) throw new Error(`the console has errors:\n${errors.join('\n')}`);
  } finally {
    host.close();
    await context.close();
  }
}

// Start, the announcement, a flap (with `hold`, which presses the button and lets it go: the
// chick's wings go up while it is down, showing less of its body, and down again), and Stop,
// clicking with `click`.
async function play(page, { rects, announce, title }, click, hold) {
  await titleOn(page, title, 'the title screen');
  await click(...centre(rects.start));
  await announced(page, rects, announce);
  if (hold) {
    const field = rects.field;
    const column = { left: 60, top: field.top, right: 140, bottom: field.bottom };
    const body = async () => count(await canvasPicture(page), column, kChick);
    const before = await waitFor('the chick to show after the announcement', async () => {
      const n = await body();
      return n > 0 && n === await body() && n;
    });
    await page.mouse.move(...(await at(page, field.left + 20, field.top + 20)));
    await hold(true);
    await waitFor('the chick to raise its wings', async () => (await body()) < before);
    await hold(false);
    await waitFor('the chick to lower its wings', async () => (await body()) === before);
  }
  await click(...centre(rects.stop));
  await titleOn(page, title, 'the title screen after Stop');
}

main().then(
  () => process.exit(0),
  (error) => {
    console.error(`browser test: ${error.message}`);
    process.exit(1);
  });
