// browser_test.js <page folder> <desktop dialog_dump> <desktop scene_dump> <screenshot.png>
// Plays the web page in headless chromium, as a player would: the title screen must be the
// desktop dialog's (dialog_dump: the real main dialog on the offscreen driver), pixel for
// pixel, and the pointer lands on the client pixel under it; Start
// shows the stage announcement on the sky; Stop brings the title back; a right click opens
// the system menu (Escape closes it), whose About item opens the About box over the game,
// and its OK closes it; a game lost at its first tick keeps the virtual clock's timeline; a
// reload or a way back in a game shows the title screen; Exit ends the game and the page says
// so; no console errors. Then first visits (anyHost), the idle processor time and a hidden
// tab (idleAndHidden), a frame of another origin, a host name that is not local, Firefox and
// WebKitGTK (everywhere), all from one plain static host; the recorded games (replays), each
// tick as the desktop recorded it; last the paint benchmark in its own page, printed beside
// the desktop's. Needs puppeteer-core and selenium-webdriver on NODE_PATH.
'use strict';
const { spawn, spawnSync } = require('child_process');
const fs = require('fs');
const net = require('net');
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

// The canvas's pixels as 0x00BBGGRR values, the game's own colour words. They travel as one
// string, which every driver's protocol passes quickly, unlike an array of numbers.
async function canvasPicture(page) {
  const shot = await page.evaluate(() => {
    const c = document.getElementById('canvas');
    if (c.width < 2 || c.height < 2) return { width: c.width, height: c.height, rgba: '' };
    const rgba = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
    let text = '';
    for (let i = 0; i < rgba.length; i += 0x8000) text += String.fromCharCode.apply(null, rgba.subarray(i, i + 0x8000));
    return { width: c.width, height: c.height, rgba: btoa(text) };
  }).catch(() => ({ width: 0, height: 0, rgba: '' })); // a page that is loading again has none
  const rgba = Buffer.from(shot.rgba, 'base64');
  const pixels = new Array(rgba.length / 4);
  for (let i = 0; i < pixels.length; ++i) pixels[i] = rgba[4 * i] | (rgba[4 * i + 1] << 8) | (rgba[4 * i + 2] << 16);
  return { width: shot.width, height: shot.height, pixels };
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

// The page position of client pixel (x, y)'s centre, whatever the page's scale, and in a
// game (see puppeteerGame) in a frame, whatever the frame's place.
async function at(page, x, y) {
  const [fx, fy] = page.frame ? await page.frame() : [0, 0];
  const box = await page.evaluate(() => {
    const r = document.getElementById('canvas').getBoundingClientRect();
    return { left: r.left, top: r.top, scale: r.width / document.getElementById('canvas').width };
  });
  return [fx + box.left + (x + 0.5) * box.scale, fy + box.top + (y + 0.5) * box.scale];
}

// The game in a browser's page, whatever drives it: evaluate() runs in the game's document
// (the page's own, or its frame's), frame() is where that frame lies in the page, and mouse
// moves and presses the pointer at page positions.
const frameAt = () => {
  const f = document.querySelector('iframe');
  const r = f.getBoundingClientRect();
  return [r.left + f.clientLeft, r.top + f.clientTop];
};
async function puppeteerGame(page, framed) {
  const frame = framed && await waitFor('the game in the frame', async () => {
    const element = await page.$('iframe');
    return element && element.contentFrame();
  });
  return { evaluate: (...args) => (frame || page).evaluate(...args), frame: async () => (framed ? page.evaluate(frameAt) : [0, 0]),
           mouse: page.mouse };
}
// The same over W3C WebDriver, whose pointer acts at whole positions of the top document.
function webdriverGame(driver, framed) {
  const run = async (inFrame, fn, args) => {
    await driver.switchTo().defaultContent();
    if (inFrame) await driver.switchTo().frame(0);
    return driver.executeScript(`return (${fn}).apply(null, arguments)`, ...args);
  };
  const act = async (how) => {
    await driver.switchTo().defaultContent();
    await how(driver.actions({ async: true })).perform();
  };
  const to = (a, x, y) => a.move({ x: Math.floor(x), y: Math.floor(y) });
  return { evaluate: (fn, ...args) => run(framed, fn, args), frame: async () => (framed ? run(false, frameAt, []) : [0, 0]),
           mouse: { move: (x, y) => act((a) => to(a, x, y)), down: () => act((a) => a.press()), up: () => act((a) => a.release()),
                    click: (x, y) => act((a) => to(a, x, y).press().release()) } };
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

// The goals a figure missed; the test fails on them at its end, once every figure is printed.
const missed = [];
const goal = (met, what) => met || missed.push(what);

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
  const shared = { title, announce, rects };
  // One plain static host for every visit: the game's folder as a folder of the site (as the
  // web archive lands on a host), the paint page's beside it, and a page of another origin
  // (127.0.0.1 against localhost) that embeds the game as the README shows. It counts what it
  // sends, and drops the requests that `network.cut` picks.
  const network = { cut: () => false, sent: () => {} };
  const pages = {};
  const server = await serve(path.dirname(pageDir), 0, { pages, cut: (name) => network.cut(name), sent: (...args) => network.sent(...args) });
  const port = server.address().port;
  const base = `http://localhost:${port}/${path.basename(pageDir)}/`;
  // And a host that sends every file as it is.
  const plainHost = await serve(path.dirname(pageDir), 0, { gzip: false });
  const plain = `http://localhost:${plainHost.address().port}/${path.basename(pageDir)}/`;
  const snippet = fs.readFileSync(path.join(__dirname, '../../README.md'), 'utf8').match(/<iframe[^>]*><\/iframe>/)[0];
  const framePage = (attributes) => `<!doctype html><title>A page with the game</title><link rel="icon" href="data:,"><body>${snippet.replace(/src="[^"]*"/, `src="${base}" ${attributes}`)}`;
  pages['/frame.html'] = framePage('');
  pages['/sandboxed.html'] = framePage('sandbox="allow-scripts"');
  const framing = `http://127.0.0.1:${port}/frame.html`;
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    // A hidden tab's timers slowed and its renderer put in the background, as a browser
    // that nobody automates does.
    ignoreDefaultArgs: ['--disable-background-timer-throttling', '--disable-renderer-backgrounding', '--disable-backgrounding-occluded-windows'],
    // A host name that is not local, for a page over http where no service worker is allowed.
    args: ['--no-sandbox', '--disable-gpu', '--mute-audio', '--host-resolver-rules=MAP tolvane.test 127.0.0.1'],
  });
  const errors = [];
  try {
    const page = await browser.newPage();
    page.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
    page.on('pageerror', (e) => errors.push(e.message));
    page.on('requestfailed', (r) => errors.push(`request failed: ${r.url()}`));
    // The largest whole number of device pixels per client pixel that fits the browser
    // window, without smoothing, at a zoom of 150 %, in a small window on a 3x screen, and
    // last with room for the game at twice its size: the pointer must still land on client
    // pixels.
    await page.goto(base, { waitUntil: 'load' });
    let scale;
    for (const [width, height, ratio] of [[700, 560, 1.5], [500, 400, 3], [1000, 760, 1]]) {
      await page.setViewport({ width, height, deviceScaleFactor: ratio });
      scale = await waitFor(`the canvas at a whole scale at ${width}x${height}, ${ratio}x`, async () => {
        const shown = await page.evaluate(() => {
          const c = document.getElementById('canvas');
          const r = c.getBoundingClientRect();
          return { width: c.width, height: c.height, left: r.left * devicePixelRatio, top: r.top * devicePixelRatio,
                   shownW: r.width * devicePixelRatio, shownH: r.height * devicePixelRatio,
                   fits: Math.floor(devicePixelRatio * Math.min(innerWidth / c.width, innerHeight / c.height)),
                   rendering: getComputedStyle(c).imageRendering };
        });
        // Layout keeps 1/64 of a CSS pixel: within a tenth of a device pixel is on it.
        const on = (v, want) => Math.abs(v - (want === undefined ? Math.round(v) : want)) < 0.1;
        if (shown.width === title.width && shown.rendering === 'pixelated' && on(shown.shownW, shown.width * shown.fits) &&
            on(shown.shownH, shown.height * shown.fits) && on(shown.left) && on(shown.top)) return shown.fits / ratio;
        return { notYet: `shown as ${shown.shownW}x${shown.shownH} device pixels at ${shown.left},${shown.top} (${shown.rendering}), ` +
                         `not at ${shown.fits} to a pixel, pixelated` };
      });
    }
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

    await lostAtFirstTick(page, shared);
    // A reload in a game, and a page brought back from the back-forward cache, show the title.
    const back = async () => {
      await page.goto('about:blank');
      await page.goBack();
    };
    for (const away of [() => page.reload(), back]) {
      await page.mouse.click(...(await at(page, ...centre(start))));
      await announced(page, rects, announce);
      await away();
      await titleShown('the title screen after a reload or a way back in a game');
    }
    console.log('reload, back: the title screen shows');
    await idleAndHidden(browser, page, shared);

    await page.mouse.click(...(await at(page, ...centre(rects.exit))));
    const code = await waitFor('the page to say the game has ended', () =>
      page.evaluate(() => document.getElementById('ended').offsetParent !== null && document.body.dataset.exitCode));
    console.log(`exit: the game ended (exit code ${code}) and the page says so`);
    if (errors.length !== 0) throw new Error(`the console has errors:\n${errors.join('\n')}`);
    console.log('console: no errors');
    await anyHost(browser, shared, base, network, plain);
    await page.goto(framing);
    await play(await puppeteerGame(page, true), shared);
    await page.goto(base.replace('localhost', 'tolvane.test'));
    const secure = await page.evaluate(() => isSecureContext || 'serviceWorker' in navigator);
    await play(page, shared);
    if (secure) throw new Error('http://tolvane.test/ is a secure context');
    console.log('chromium: Start, a flap and Stop in a frame of another origin, and over http on a host name that is not local (no service worker)');
    if (errors.length !== 0) throw new Error(`the console has errors:\n${errors.join('\n')}`);
    // A frame sandboxed without allow-same-origin, on a host that allows no other origin: the
    // page fetches nothing, so it plays there too.
    const sandboxed = await browser.newPage();
    await sandboxed.goto(`http://127.0.0.1:${port}/sandboxed.html`);
    await play(await puppeteerGame(sandboxed, true), shared);
    console.log('sandboxed frame without allow-same-origin: Start, a flap and Stop');
    await sandboxed.close();
    await firefox(shared, base, framing);
    await webkit(shared, base, framing);

    await replays(browser, base);

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
    await bench.goto(`${base}../bench/bench.html?arg=${paints}&arg=--no-dump`);
    const web = await Promise.race([figure, new Promise((_, no) => setTimeout(() => no(new Error('no paint figure from the page')), 60000))]);
    const desktop = figures(run(nativeDump, [String(paints), '--no-dump']).stderr);
    console.log(`paint: page ${web.steady.toFixed(4)} ms, desktop ${desktop.steady.toFixed(4)} ms, ratio ${(web.steady / desktop.steady).toFixed(2)} (goal <= 2); ` +
                `first ${paints} paints: page ${web.first.toFixed(4)} ms, desktop ${desktop.first.toFixed(4)} ms, ratio ${(web.first / desktop.first).toFixed(2)}`);
  } finally {
    await browser.close();
    server.close();
    plainHost.close();
  }
}

// The recorded games (tests/replay) on the real main dialog in a page of their own: each
// must end with every tick as the desktop recorded it. What differs is on the console (the
// tick, both lines, state or pixels), and the canvas, which shows the frame, is saved.
async function replays(browser, base) {
  const games = fs.readdirSync(path.join(__dirname, '../replay')).filter((f) => f.endsWith('.replay'));
  const page = await browser.newPage();
  const lines = [];
  const errors = [];
  page.on('console', (m) => {
    lines.push(m.text());
    // Its page has no icons or manifest; anything else the program says on stderr counts.
    if (m.type() === 'error' && !/^(Failed to load resource|Manifest)/.test(m.text())) errors.push(m.text());
  });
  page.on('pageerror', (e) => errors.push(e.message));
  await page.goto(`${base}../replay/replay.html`);
  // A tick that differs ends the program at once, before the page can say so: its lines on
  // stderr end the wait too.
  const code = await waitFor('the replays to end', async () =>
    (await page.evaluate(() => document.body.dataset.exitCode)) || (errors.length !== 0 && 'a failure'), 120000);
  const played = lines.filter((l) => / ticks, every one as recorded$/.test(l));
  if (code !== '0' || played.length !== games.length || errors.length !== 0) {
    await page.screenshot({ path: screenshotPath.replace(/\.png$/, '-replay.png') });
    throw new Error(`the replays ended with ${code}, ${played.length} of ${games.length} as recorded:\n${lines.concat(errors).join('\n')}`);
  }
  console.log(`replays: ${played.join('; ')}`);
  await page.close();
}

// A first visit from a cold cache on `speed`, in a browser context of its own: the seconds to
// the title screen, whether the loading bar showed its bytes on the way, and what was sent.
async function firstVisit(browser, shared, base, network, speed) {
  const context = await browser.createBrowserContext();
  const page = await context.newPage();
  await page.setViewport({ width: 1000, height: 760 });
  await page.emulateNetworkConditions(puppeteer.PredefinedNetworkConditions[speed]);
  const sent = { wire: 0, files: 0 };
  network.sent = (file, wire, bytes) => {
    sent.wire += wire;
    sent.files += bytes;
  };
  // Timed with a digest of the canvas computed in the page, which costs it little.
  const digest = shared.title.pixels.reduce((h, p) => Math.imul(h ^ p, 16777619), 2166136261);
  const started = Date.now();
  // The page is the whole download: its loading bar is watched while it arrives.
  const navigation = page.goto(base);
  let bar = false;
  await waitFor(`the title screen on "${speed}"`, async () => {
    const seen = await page.evaluate((width, want) => {
      const loading = document.getElementById('loading');
      const c = document.getElementById('canvas');
      const shown = getComputedStyle(loading).display !== 'none' && Number(loading.dataset.bytes) > 0;
      if (!c || c.width !== width) return { shown };
      const rgba = c.getContext('2d').getImageData(0, 0, c.width, c.height).data;
      let h = 2166136261;
      for (let i = 0; i < rgba.length; i += 4) h = Math.imul(h ^ (rgba[i] | (rgba[i + 1] << 8) | (rgba[i + 2] << 16)), 16777619);
      return { shown, title: h === want };
    }, shared.title.width, digest).catch(() => ({}));
    bar = bar || seen.shown;
    return seen.title;
  });
  const seconds = (Date.now() - started) / 1000;
  await navigation;
  await titleOn(page, shared.title, `the title screen on "${speed}"`);
  // The whole visit: the service worker's copies too, where it has one.
  await waitFor('the service worker', () => page.evaluate(() => navigator.serviceWorker.controller !== null));
  await page.emulateNetworkConditions(null);
  network.sent = () => {};
  return { context, page, seconds, bar, sent };
}

// First visits from a cold cache: with a network that fails while the code loads, then comes
// back; without WebAssembly; on "Fast 3G" (the loading bar seen) and "Fast 4G" (beside their
// goals: the time to the title screen, and the bytes as files and as a compressing host sends
// them), with Start, a flap and Stop; then a second visit with the network cut, and phones,
// offline too.
async function anyHost(browser, shared, base, network, plain) {
  const { title } = shared;
  const fresh = await browser.createBrowserContext();
  const broken = await fresh.newPage();
  // The page cut off by the network after a third of it: the browser may leave it loading.
  network.cut = (name) => name === new URL(base).pathname && 50000;
  broken.goto(base).catch(() => {});
  const line = await waitFor('the line that the network failed', () => broken.evaluate(() => {
    const m = document.getElementById('message');
    return m.offsetParent !== null && !m.lastChild.hidden && m.firstChild.textContent;
  }).catch(() => false), 30000);
  network.cut = () => false;
  await broken.click('#message button');
  await titleOn(broken, title, 'the title screen after a retry');
  await broken.evaluateOnNewDocument(() => delete window.WebAssembly);
  await broken.reload();
  const cannot = await waitFor('the line that WebAssembly is missing', () => broken.evaluate(() => {
    const m = document.getElementById('message');
    return m.offsetParent !== null && m.innerText;
  }));
  if (!/WebAssembly/.test(cannot)) throw new Error(`the page says "${cannot}" without WebAssembly`);
  console.log(`network cut: "${line}", and Retry plays; no WebAssembly: "${cannot}"`);
  await fresh.close();

  const slow = await firstVisit(browser, shared, base, network, 'Fast 3G');
  if (!slow.bar) throw new Error('no loading bar with its bytes on "Fast 3G"');
  console.log(`first visit on "Fast 3G" from a cold cache: the loading bar, then the title screen after ${slow.seconds.toFixed(2)} s (goal <= 1.5 s)`);
  await slow.context.close();
  const uncompressed = await firstVisit(browser, shared, plain, {}, 'Fast 3G');
  console.log(`first visit on "Fast 3G" from a cold cache and a host that does not compress: the title screen after ${uncompressed.seconds.toFixed(2)} s (goal <= 3 s)`);
  await uncompressed.context.close();
  const { context, page, seconds, sent } = await firstVisit(browser, shared, base, network, 'Fast 4G');
  const kib = (n) => `${(n / 1024).toFixed(0)} KiB`;
  // The bytes are held to their goals.
  const limit = { files: 450 * 1024, wire: 150 * 1024 };
  console.log(`first visit on "Fast 4G" from a cold cache: the title screen, identical to the desktop's, after ${seconds.toFixed(2)} s (goal <= 0.5 s); ` +
              `${kib(sent.files)} as files (goal <= ${kib(limit.files)}), ${kib(sent.wire)} as sent gzip-compressed (goal <= ${kib(limit.wire)})`);
  goal(sent.files <= limit.files && sent.wire <= limit.wire, 'a first visit downloads more than its limits');
  const errors = [];
  page.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
  page.on('pageerror', (e) => errors.push(e.message));
  await play(page, shared);
  console.log('plain host: Start, a flap and Stop');

  network.cut = () => true;
  try {
    await page.goto(base);
    await play(page, shared, { flap: false });
    console.log('offline: with the network cut, a second visit plays');

    // Phones, offline too: upright, then turned on its side.
    const phone = await context.newPage();
    for (const [width, height] of [[360, 640], [640, 360]]) {
      await phone.setViewport({ width, height, isMobile: true, hasTouch: true, deviceScaleFactor: 2 });
      if (phone.url() !== base) await phone.goto(base);
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
      await play(phone, shared, { click: tap, flap: false });
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
    network.cut = () => false;
    await context.close();
  }
}

// A game lost at its first tick: flaps enough during the announcement throw the chick out
// over the field's top at the first tick. The virtual clock's timeline of that game
// (LostAtFirstTick in tests/app/StageThreadTest.cpp) has the title screen back 4,500 ms
// after "Stage1".
async function lostAtFirstTick(page, { rects, announce, title }) {
  const field = rects.field;
  const flaps = Math.ceil((field.bottom - field.top) / 10) + 10;
  await page.mouse.click(...(await at(page, ...centre(rects.start))));
  await announced(page, rects, announce);
  const started = Date.now();
  await page.mouse.move(...(await at(page, field.left + 20, field.top + 20)));
  for (let i = 0; i < flaps; ++i) {
    await page.mouse.down();
    await page.mouse.up();
  }
  await titleOn(page, title, 'the title screen after a game lost at its first tick');
  const ms = Date.now() - started;
  console.log(`a game lost at its first tick: the title screen ${ms} ms after "Stage1" (the virtual clock's 4500 ms; goal: within 300 ms of it)`);
  if (Math.abs(ms - 4500) > 300) throw new Error('a game lost at its first tick keeps another timeline than the virtual clock\'s');
}

const sleep = (ms) => new Promise((r) => setTimeout(r, ms));

// The game's renderer process's processor time over a while on the title screen, all its
// threads, in ms a second, with the game's tab shown and then hidden; then a game whose tab is
// hidden in its announcement, and shown again, flaps and stops.
async function idleAndHidden(browser, page, shared) {
  await titleOn(page, shared.title, 'the title screen');
  const session = await browser.target().createCDPSession();
  // Each renderer thread's time on a processor so far, in ns, by process (a thread that ends
  // takes its own with it, so they are counted one by one).
  const cpu = async () => {
    const { processInfo } = await session.send('SystemInfo.getProcessInfo');
    const ns = {};
    for (const { id } of processInfo.filter((p) => p.type === 'renderer')) {
      ns[id] = {};
      for (const task of fs.readdirSync(`/proc/${id}/task`)) {
        try {
          ns[id][task] = Number(fs.readFileSync(`/proc/${id}/task/${task}/schedstat`, 'utf8').split(' ')[0]);
        } catch {} // ended meanwhile
      }
    }
    return ns;
  };
  const spent = (before, after, id) =>
    Object.keys(after[id] || {}).reduce((sum, task) => sum + after[id][task] - ((before[id] || {})[task] || 0), 0);
  // The game's renderer is the one that spends the half second the page spins for.
  const marked = await cpu();
  await page.evaluate(() => {
    for (const t = performance.now(); performance.now() - t < 500;);
  });
  const spun = await cpu();
  const game = Object.keys(spun).reduce((a, b) => (spent(marked, spun, a) >= spent(marked, spun, b) ? a : b));
  // Even on a busy machine it gets a good share of that time; an idle one gets next to none.
  if (spent(marked, spun, game) < 100e6) throw new Error("no renderer spent the page's spin: the game's cannot be told");
  const heap = await page.target().createCDPSession();
  const idle = async () => {
    // The garbage of the test's own requests (the pictures it read, the spin) is collected
    // first, and what it leaves behind settles.
    await heap.send('HeapProfiler.collectGarbage');
    await sleep(2000);
    // Long enough that the engine's one-off work, such as compiling a function that has
    // grown hot, counts for what it is: an exception.
    const [before, t] = [await cpu(), Date.now()];
    await sleep(6000);
    return spent(before, await cpu(), game) / 1e6 / ((Date.now() - t) / 1000);
  };
  const other = await browser.newPage();
  const show = async (tab, visibility) => {
    await tab.bringToFront();
    await waitFor(`the game's tab ${visibility}`, () => page.evaluate((v) => document.visibilityState === v, visibility));
  };
  await show(page, 'visible');
  const shown = await idle();
  await show(other, 'hidden');
  const hidden = await idle();
  console.log(`idle on the title screen: the game's renderer uses ${shown.toFixed(2)} ms a second, ${hidden.toFixed(2)} ms hidden (goal <= 5)`);
  goal(shown <= 5 && hidden <= 5, 'the idle page spends more than its goal');
  await show(page, 'visible');
  await play(page, shared, { meanwhile: async () => {
    await show(other, 'hidden');
    await sleep(1000);
    await show(page, 'visible');
  } });
  console.log('hidden tab: the game goes on once shown again, a click flaps and Stop returns to the title');
  await other.close();
  await heap.detach();
  await session.detach();
}

// Start, a flap and Stop, at the top level and in a frame of another origin, with the games
// that `open(url, framed)` gives; then whether the page says anything went wrong.
async function everywhere(engine, open, shared, base, framing) {
  for (const framed of [false, true]) {
    const game = await open(framed ? framing : base, framed);
    await play(game, shared);
    const said = await game.evaluate(() => document.getElementById('message').offsetParent && document.getElementById('message').innerText);
    if (said) throw new Error(`${engine}: the page says "${said}"`);
  }
  console.log(`${engine}: Start, a flap and Stop, at the top level and in a frame of another origin`);
}

async function firefox(shared, base, framing) {
  const browser = await puppeteer.launch({ browser: 'firefox', executablePath: process.env.FIREFOX || '/usr/bin/firefox-esr', headless: true });
  const errors = [];
  try {
    const page = await browser.newPage();
    page.on('console', (m) => m.type() === 'error' && errors.push(m.text()));
    page.on('pageerror', (e) => errors.push(e.message));
    await page.setViewport({ width: 1000, height: 760 });
    await everywhere('firefox', async (url, framed) => {
      await page.goto(url);
      return puppeteerGame(page, framed);
    }, shared, base, framing);
    if (errors.length !== 0) throw new Error(`firefox's console has errors:\n${errors.join('\n')}`);
  } finally {
    await browser.close();
  }
}

// WebKitGTK's MiniBrowser opens a real window: on an Xvfb display of the test's own, through
// WebKitWebDriver on a free port.
async function webkit(shared, base, framing) {
  const { Builder } = require('selenium-webdriver');
  // Ended with the test, however it ends.
  const children = [];
  process.on('exit', () => children.forEach((child) => child.kill()));
  process.on('SIGTERM', () => process.exit(143));
  const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1280x1024x24', '-nolisten', 'tcp'], { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  children.push(xvfb);
  let session = null;
  try {
    const display = await new Promise((resolve) => xvfb.stdio[3].once('data', (d) => resolve(String(d).trim())));
    const port = await new Promise((resolve) => {
      const probe = net.createServer().listen(0, '127.0.0.1', () => {
        const free = probe.address().port;
        probe.close(() => resolve(free));
      });
    });
    children.push(spawn('WebKitWebDriver', [`--port=${port}`], { env: { ...process.env, DISPLAY: `:${display}` }, stdio: 'ignore' }));
    const capabilities = { browserName: 'MiniBrowser', 'webkitgtk:browserOptions': {
      binary: process.env.MINIBROWSER || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser', args: ['--automation'] } };
    session = await waitFor('WebKitWebDriver', () => new Builder().usingServer(`http://127.0.0.1:${port}`).withCapabilities(capabilities).build().catch(() => null));
    await everywhere('webkitgtk', async (url, framed) => {
      await session.get(url);
      return webdriverGame(session, framed);
    }, shared, base, framing);
  } finally {
    if (session) await session.quit();
  }
}

// Start, the announcement, `meanwhile`, a flap (unless `flap` is false: the button pressed
// and let go, the chick's wings go up while it is down, showing less of its body, and down
// again), and Stop, clicking with `click` (by default the mouse's of game `page`).
async function play(page, { rects, announce, title }, { click, flap = true, meanwhile } = {}) {
  click = click || (async (x, y) => page.mouse.click(...(await at(page, x, y))));
  await titleOn(page, title, 'the title screen');
  await click(...centre(rects.start));
  await announced(page, rects, announce);
  if (meanwhile) await meanwhile();
  if (flap) {
    const field = rects.field;
    const column = { left: 60, top: field.top, right: 140, bottom: field.bottom };
    const body = async () => count(await canvasPicture(page), column, kChick);
    const before = await waitFor('the chick to show after the announcement', async () => {
      const n = await body();
      return n > 0 && n === await body() && n;
    });
    await page.mouse.move(...(await at(page, field.left + 20, field.top + 20)));
    await page.mouse.down();
    await waitFor('the chick to raise its wings', async () => (await body()) < before);
    await page.mouse.up();
    await waitFor('the chick to lower its wings', async () => (await body()) === before);
  }
  await click(...centre(rects.stop));
  await titleOn(page, title, 'the title screen after Stop');
}

main().then(
  () => {
    if (missed.length !== 0) throw new Error(`goals missed: ${missed.join('; ')}`);
  }).then(
  () => process.exit(0),
  (error) => {
    console.error(`browser test: ${error.message}`);
    process.exit(1);
  });
