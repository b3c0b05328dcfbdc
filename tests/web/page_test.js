// The page driven as a visitor would, in Debian's Chromium (headless, WebGL
// on SwiftShader): one row per case, each on a fresh page opened from disk.
// Screenshots of every case go to SHOTS. Usage: node page_test.js PAGE SHOTS
const { chromium } = require('playwright-core');
const fs = require('fs');
const [pagePath, shots] = process.argv.slice(2);
const CHROMIUM = '/usr/lib/chromium/chromium'; // /usr/bin/chromium is a wrapper script
const AUTOPLAY = '--autoplay-policy=no-user-gesture-required';

// Before the page's own script: the audio contexts it makes are kept for the
// checks; a row may take Web Audio or full screen away.
const WATCH_AUDIO = `window.audioContexts = [];
  const Made = window.AudioContext;
  window.AudioContext = function (options) { const c = new Made(options); audioContexts.push(c); return c; };
  window.clears = 0; // the demo clears the canvas once a frame
  const clear = WebGLRenderingContext.prototype.clear;
  WebGLRenderingContext.prototype.clear = function (m) { clears++; return clear.call(this, m); };`;
// The scenes that the music's syncs bring, told apart by their draws: the
// sliding picture is the fifth texture the show draws with (the title, the
// wipe, the panels and the scroller's font came before it), and the object
// is the first draw through the GL layer's lit program.
const WATCH_DRAWS = `window.texturesDrawn = new Set(); window.litDraws = 0;
  const gl = WebGLRenderingContext.prototype, sources = new Map(), lit = new Set(), textured = new Set();
  let program = null, bound = null;
  const wrap = (name, before) => { const f = gl[name];
    gl[name] = function (...a) { before(...a); return f.apply(this, a); }; };
  wrap('shaderSource', (shader, text) => sources.set(shader, text));
  wrap('attachShader', (p, shader) => {
    if (sources.get(shader).includes('#define LIGHTING')) lit.add(p);
    if (sources.get(shader).includes('#define TEXTURE')) textured.add(p);
  });
  wrap('useProgram', (p) => { program = p; });
  wrap('bindTexture', (target, t) => { bound = t; });
  const draw = () => { if (lit.has(program)) litDraws++; if (textured.has(program)) texturesDrawn.add(bound); };
  wrap('drawArrays', draw); wrap('drawElements', draw);`;
const NO_AUDIO = 'delete window.AudioContext; delete window.webkitAudioContext;';
const REFUSE_AUDIO = 'window.AudioContext = function () { throw new Error("no device"); };';
const REFUSE_FULL_SCREEN =
  'Element.prototype.requestFullscreen = () => Promise.reject(new Error("denied"));';

// Reads the canvas back right after the demo has drawn into it: in an
// animation frame of its own, which runs after the demo's, over a few frames
// (the demo draws in 50 of every 60). test(pixels, width, height) -> number.
const readCanvas = (page, test) => page.evaluate((source) => new Promise((done) => {
  const c = document.getElementById('canvas'), copy = document.createElement('canvas');
  copy.width = c.width; copy.height = c.height;
  const g = copy.getContext('2d'), measure = eval(source);
  let best = 0, frames = 0;
  const look = () => {
    g.drawImage(c, 0, 0);
    best = Math.max(best, measure(g.getImageData(0, 0, c.width, c.height).data, c.width, c.height));
    if (++frames < 4) requestAnimationFrame(look); else done(best);
  };
  requestAnimationFrame(look);
}), test.toString());
// The share of pixels that are not black.
const lit = (page) => readCanvas(page, (d) => {
  let n = 0;
  for (let i = 0; i < d.length; i += 4) if (d[i] + d[i + 1] + d[i + 2] > 24) n++;
  return n / (d.length / 4);
});
// The scroller's orange letters in the bottom band of the picture.
const scrollerShows = async (page) => (await readCanvas(page, (d, w, h) => {
  for (let i = 4 * w * Math.round(h * 0.6); i < d.length; i += 4)
    if (d[i] > 200 && d[i + 1] > 60 && d[i + 2] < 60) return 1;
  return 0;
})) === 1;
const ended = (page, log) => page.waitForFunction(() =>
  document.getElementById('ended') !== null, null, { timeout: 5000 }).then(() => {
  expect(log.includes('brumlakor: exit status 0'), 'exit status 0 on the console');
});
const playerDirs = (page) => page.evaluate(() =>
  Module.FS.readdir('/tmp').filter((name) => name.startsWith('brumlakor-')));
function expect(condition, what) { if (!condition) throw new Error('expected ' + what); }

// Answers No, then the picture must come, the scroller, and on the music's
// syncs (heard 7.9 s and 14.1 s after the answer) the sliding picture and
// the lit object; with sync: false, the scroller is enough.
async function watchShow(page, sync = true) {
  await page.click('dialog button:text("No")');
  const answered = Date.now();
  await page.waitForTimeout(2500);
  expect((await lit(page)) > 0.01, 'the title on screen two and a half seconds after No');
  for (let waited = 0; !(await scrollerShows(page)); waited += 500) {
    expect(waited < 15000, 'the scroller in its scene');
    await page.waitForTimeout(500);
  }
  if (!sync) return;
  const by = (seconds) => ({ timeout: Math.max(1, answered + seconds * 1000 - Date.now()) });
  await page.waitForFunction(() => texturesDrawn.size >= 5, null, by(11)).catch(() => {
    throw new Error('expected the sliding picture on its sync, 7.9 s after No');
  });
  await page.waitForFunction(() => litDraws > 0, null, by(17)).catch(() => {
    throw new Error('expected the lit object on its sync, 14.1 s after No');
  });
}

const CASES = [
  ['no: 640 x 480 canvas at (0, 0), the scenes on time', [AUTOPLAY], WATCH_AUDIO, async (page) => {
    expect(await page.evaluate(() => location.protocol) === 'file:', 'the page from disk');
    expect(await page.title() === 'Brumlakor', 'the title "Brumlakor"');
    const focused = await page.evaluate(() => document.activeElement.textContent);
    expect(focused === 'Yes', 'Yes focused');
    await watchShow(page);
    const box = await page.evaluate(() => {
      const c = document.getElementById('canvas'), r = c.getBoundingClientRect();
      return [r.x, r.y, r.width, r.height, c.width, c.height];
    });
    expect(box.join() === '0,0,640,480,640,480', 'the canvas at (0, 0), 640 x 480, got ' + box);
  }],
  ['escape: the run ends, audio closed, the player file and directory gone', [AUTOPLAY], WATCH_AUDIO,
    async (page, log) => {
      await page.click('dialog button:text("No")');
      await page.waitForTimeout(1500);
      expect((await playerDirs(page)).length === 1, 'the player\'s directory while it plays');
      await page.keyboard.press('Escape');
      await ended(page, log);
      expect((await playerDirs(page)).length === 0, 'no player directory after the end');
      expect(await page.evaluate(() => audioContexts.every((c) => c.state === 'closed')),
        'every audio context closed');
      const before = await page.evaluate(() => clears);
      await page.waitForTimeout(300);
      const frames = (await page.evaluate(() => clears)) === before;
      expect(frames, 'no frame after the end');
    }],
  ['return answers yes: full screen, aspect kept, no cursor', [AUTOPLAY], '', async (page) => {
    await page.keyboard.press('Enter');
    await page.waitForFunction(() => document.fullscreenElement !== null, null, { timeout: 5000 });
    const style = await page.evaluate(() => {
      const s = getComputedStyle(document.getElementById('canvas'));
      return [s.objectFit, s.cursor, document.fullscreenElement.id];
    });
    expect(style.join() === 'contain,none,canvas', 'the canvas full screen, scaled, no cursor: ' + style);
  }],
  ['refused full screen: the notice, then the early exit', [AUTOPLAY], REFUSE_FULL_SCREEN,
    async (page, log) => {
      await page.click('dialog button:text("Yes")');
      await page.waitForSelector('dialog[open] >> text=Could not create fullscreen');
      await ended(page, log);
      await page.click('dialog button:text("OK")');
      expect(await page.evaluate(() => document.querySelector('dialog') === null), 'the notice gone');
    }],
  ['the gesture: clicking No starts the sound', [], WATCH_AUDIO, async (page) => {
    const before = await page.evaluate(() => audioContexts.map((c) => c.state));
    expect(!before.includes('running'), 'no sound before the click: ' + before);
    await page.click('dialog button:text("No")');
    await page.waitForFunction(() => audioContexts.length === 1 && audioContexts[0].state === 'running',
      null, { timeout: 3000 });
  }],
  ['no gzip in the browser: a line says the show cannot run', [AUTOPLAY],
    'delete window.DecompressionStream;', async (page, log) => {
      await page.waitForSelector('#ended >> text=The show cannot run in this browser', { timeout: 5000 });
      expect(log.some((line) => line.startsWith('brumlakor: this browser cannot start the page')),
        'the reason on the console');
    }, '#ended'],
  ['no audio: the silent clock brings the scenes', [AUTOPLAY], NO_AUDIO, (page) => watchShow(page)],
  ['audio refused at the answer: the silent clock brings the scenes', [AUTOPLAY], REFUSE_AUDIO,
    async (page, log) => {
      await watchShow(page);
      expect(log.some((line) => line.includes('Web Audio refused')), 'the refusal on the console');
    }],
  ['reload: the show again from the start', [AUTOPLAY], '', async (page, log) => {
    await page.click('dialog button:text("No")');
    await page.waitForTimeout(1000);
    await page.reload();
    await page.waitForSelector('dialog[open]');
    expect((await playerDirs(page)).length === 1, 'one player directory in the new run');
    await watchShow(page, false);
  }],
];

(async () => {
  fs.mkdirSync(shots, { recursive: true });
  let failed = 0;
  for (const [name, args, initScript, run, ready = 'dialog[open]'] of CASES) {
    const browser = await chromium.launch({ executablePath: CHROMIUM, args });
    const page = await browser.newPage();
    const log = [];
    page.on('console', (m) => log.push(m.text()));
    page.on('pageerror', (e) => log.push('page error: ' + e.message));
    await page.addInitScript(WATCH_DRAWS + initScript);
    try {
      await page.goto('file://' + pagePath);
      await page.waitForSelector(ready, { timeout: 10000 });
      await run(page, log);
      const errors = log.filter((line) => line.startsWith('page error'));
      expect(errors.length === 0, 'no page error: ' + errors);
      console.log('ok   ' + name);
    } catch (error) {
      failed++;
      console.log('FAIL ' + name + ': ' + error.message + '\n  console: ' + log.join('\n  '));
    }
    await page.screenshot({ path: `${shots}/${name.split(':')[0].replace(/\W+/g, '-')}.png` });
    await browser.close();
  }
  process.exit(failed ? 1 : 0);
})();
