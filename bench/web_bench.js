// Figures of the page in headless Chromium (WebGL on SwiftShader): the time
// from opening it from disk to the question (the first load in a fresh
// browser, and the median of five), and the time per demo frame in each
// scene (median, p99), the scenes cut at the frame numbers the desktop
// benchmark uses: the main thread's pass, and the pass with SwiftShader's
// drawing in the GPU process, which a one-pixel read-back after the pass
// waits for; and the demo frames per second that the page kept up in each.
// Usage: node web_bench.js PAGE
const { chromium } = require('../tests/web/node_modules/playwright-core');
const page_ = process.argv[2];
const CHROMIUM = '/usr/lib/chromium/chromium';
const ENDS = [185, 395, 705, 1014, 1500];
const NAMES = ['title and wipe', 'flying panels', 'sliding picture', 'lit object', 'tunnel and object'];
// A demo frame is a main-loop pass that clears the canvas; its time runs from
// the pass's start to its end.
const TIMING = `window.questionAt = 0; window.frameTimes = [];
  new MutationObserver(() => { if (!questionAt && document.querySelector('dialog'))
    questionAt = performance.now(); }).observe(document, { childList: true, subtree: true });
  let cleared = false, started = 0, gl = null;
  const getContext = HTMLCanvasElement.prototype.getContext;
  HTMLCanvasElement.prototype.getContext = function (kind, options) {
    const made = getContext.call(this, kind, options);
    if (kind === 'webgl') gl = made;
    return made;
  };
  window.drawnTimes = []; window.frameStarts = []; const pixel = new Uint8Array(4);
  const clear = WebGLRenderingContext.prototype.clear;
  WebGLRenderingContext.prototype.clear = function (m) { cleared = true; return clear.call(this, m); };
  window.timeFrames = () => {
    Module.preMainLoop = () => { cleared = false; started = performance.now(); };
    Module.postMainLoop = () => {
      if (!cleared) return;
      frameTimes.push(performance.now() - started);
      frameStarts.push(started);
      if (!window.withGpu) return;
      gl.readPixels(0, 0, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, pixel);
      drawnTimes.push(performance.now() - started);
    };
  };`;

const quantile = (values, q) => values.slice().sort((a, b) => a - b)[Math.floor(q * (values.length - 1))];

(async () => {
  const browser = await chromium.launch({ executablePath: CHROMIUM,
    args: ['--autoplay-policy=no-user-gesture-required'] });
  const starts = [];
  let page;
  for (let i = 0; i < 5; i++) {
    if (page) await page.close();
    page = await browser.newPage();
    await page.addInitScript(TIMING);
    await page.goto('file://' + page_);
    await page.waitForSelector('dialog[open]');
    starts.push(await page.evaluate(() => questionAt));
  }
  console.log(`start: question ${starts[0].toFixed(0)} ms after opening in a fresh browser, ` +
              `${quantile(starts, 0.5).toFixed(0)} ms median of 5`);
  for (const withGpu of [false, true]) {
    await page.close();
    page = await browser.newPage();
    await page.addInitScript(TIMING + `window.withGpu = ${withGpu};`);
    await page.goto('file://' + page_);
    await page.waitForSelector('dialog[open]');
    await page.evaluate(() => timeFrames());
    await page.click('dialog button:text("No")');
    await page.waitForFunction((n) => frameTimes.length >= n, ENDS[ENDS.length - 1], { timeout: 120000 });
    const [times, starts] = await page.evaluate((gpu) => [gpu ? drawnTimes : frameTimes, frameStarts],
                                                 withGpu);
    let from = 0;
    ENDS.forEach((end, i) => {
      const scene = times.slice(from, end);
      // Demo frames per second of the page's own clock (50 when it keeps up).
      const rate = (end - from - 1) * 1000 / (starts[end - 1] - starts[from]);
      console.log(`frame${withGpu ? ' with GPU' : ' (main)  '}: ${NAMES[i].padEnd(18)} median ` +
                  `${quantile(scene, 0.5).toFixed(2)} ms, p99 ${quantile(scene, 0.99).toFixed(2)} ms, ` +
                  `${rate.toFixed(1)} frames/s`);
      from = end;
    });
  }
  await browser.close();
})();
