// browser_test.js <page folder> <desktop dialog_dump> <desktop scene_dump> <screenshot.png>
// Plays the web page in headless chromium, as a player would: the title screen must be the
// desktop dialog's (dialog_dump: the real main dialog on the offscreen driver), pixel for
// pixel, and the pointer lands on the client pixel under it; Start
// shows the stage announcement on the sky; Stop brings the title back; a right click opens
// the system menu (Escape closes it), whose About item opens the About box over the game,
// and its OK closes it; Exit ends the game and the page says so.
// The page's console must stay free of errors. Then the paint benchmark runs in its own page
// and its figure is printed beside the desktop's. Needs puppeteer-core on NODE_PATH.
'use strict';
const { spawnSync } = require('child_process');
const path = require('path');
const puppeteer = require('puppeteer-core');
const { serve } = require(path.join(__dirname, '../../scripts/web-serve'));

const [pageDir, dialogDump, nativeDump, screenshotPath] = process.argv.slice(2);
const chromium = process.env.CHROMIUM || '/usr/bin/chromium';
const kFace = 0xf0f0f0;
const kSky = 0xdebd89; // Rgb(137, 189, 222) as 0x00BBGGRR

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
  });
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

    const titleShown = (what) =>
      waitFor(what, async () => {
        const n = differing(await canvasPicture(page), title);
        return n === 0 ? true : { notYet: `${n} pixels differ from the desktop dialog's title screen` };
      });
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
    const field = rects.field;
    const cy = Math.floor((field.top + field.bottom) / 2);
    const band = { left: field.left + 10, top: cy - 30, right: field.right - 10, bottom: cy + 30 };
    const fieldArea = (field.right - field.left) * (field.bottom - field.top);
    await waitFor('"Stage1" on the band over the sky', async () => {
      const p = await canvasPicture(page);
      const n = differing(p, announce, band);
      const sky = count(p, field, kSky);
      if (n !== 0) return { notYet: `${n} pixels of the band differ from the desktop's announcement` };
      return sky * 4 >= fieldArea ? true : { notYet: `only ${sky} sky pixels` };
    });
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
    const menu = await waitFor('the system menu', async () => {
      const p = await canvasPicture(page);
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
    });
    if (menu.left !== 100 || menu.top !== 100) throw new Error(`the menu opened at ${menu.left},${menu.top}, not at the pointer`);
    console.log('system menu: opens at the pointer, Escape closes it');
    await page.mouse.click(...(await at(page, menu.left + 10, menu.bottom - 8)));
    const about = rects.about;
    const ax = Math.floor((title.width - about.right) / 2);
    const ay = Math.floor((title.height - about.bottom) / 2);
    const aboutRect = { left: ax, top: ay, right: ax + about.right, bottom: ay + about.bottom };
    await waitFor('the About box', async () => {
      const p = await canvasPicture(page);
      const face = count(p, aboutRect, kFace);
      return face * 2 >= about.right * about.bottom ? true : { notYet: `${face} face pixels where the box belongs` };
    });
    console.log(`about: the box opened over the game, ${about.right}x${about.bottom} at ${ax},${ay}`);
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
    await bench.goto(`${base}bench.html?arg=${paints}&arg=--no-dump`);
    const web = await Promise.race([figure, new Promise((_, no) => setTimeout(() => no(new Error('no paint figure from the page')), 60000))]);
    const desktop = figures(run(nativeDump, [String(paints), '--no-dump']).stderr);
    console.log(`paint: page ${web.steady.toFixed(4)} ms, desktop ${desktop.steady.toFixed(4)} ms, ratio ${(web.steady / desktop.steady).toFixed(2)} (goal <= 2); ` +
                `first ${paints} paints: page ${web.first.toFixed(4)} ms, desktop ${desktop.first.toFixed(4)} ms, ratio ${(web.first / desktop.first).toFixed(2)}`);
  } finally {
    await browser.close();
    server.close();
  }
}

main().then(
  () => process.exit(0),
  (error) => {
    console.error(`browser test: ${error.message}`);
    process.exit(1);
  });
