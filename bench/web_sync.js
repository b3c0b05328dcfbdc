// The page's sync offsets in headless Chromium: for each of the music's three
// position syncs, the time from its first sample being heard to the end of
// the demo frame that first shows its scene.
// - Heard: the page's sound is tapped at its ScriptProcessorNode, each block
//   stamped by the browser's output clock (getOutputTimestamp, as the page
//   does). The tapped stream is matched sample for sample against the Linux
//   player's render (sync_samples), which gives each sync's sample.
// - Shown: each frame's draws are summed up as the GL layer's programs
//   (lighting, fog) and the textures they sample; within a scene that sum
//   stays the same, so the first frame whose sum differs from the frame's
//   a tenth of a second before the sync is heard shows the sync's scene.
// The frame is on screen at the display's next refresh after its pass ends.
// Usage: node web_sync.js PAGE SYNC_SAMPLES_BINARY MODULE.xm
const { chromium } = require('../tests/web/node_modules/playwright-core');
const { execFileSync } = require('child_process');
const fs = require('fs');
const [pagePath, syncSamples, moduleFile] = process.argv.slice(2);
const RATE = 44100;

const pcmFile = '/tmp/brumlakor-sync-samples-' + process.pid + '.pcm';
const printed = execFileSync(syncSamples, [moduleFile, pcmFile]).toString();
const syncFrames = [...printed.matchAll(/frame (\d+)/g)].map((m) => Number(m[1]));
const pcm = new Int16Array(fs.readFileSync(pcmFile).buffer.slice(0));
fs.unlinkSync(pcmFile);

const WATCH = `window.tap = []; window.frames = [];
  const Made = window.AudioContext;
  window.AudioContext = function (options) {
    const context = new Made(options), create = context.createScriptProcessor.bind(context);
    context.createScriptProcessor = (...args) => {
      const node = create(...args);
      Object.defineProperty(node, 'onaudioprocess', { set(render) {
        node.addEventListener('audioprocess', (event) => {
          render(event);
          const stamp = context.getOutputTimestamp();
          tap.push([stamp.performanceTime + (event.playbackTime - stamp.contextTime) * 1000,
                    Array.from(event.outputBuffer.getChannelData(0), (v) => Math.round(v * 32768))]);
        });
      } });
      return node;
    };
    return context;
  };
  const gl = WebGLRenderingContext.prototype, sources = new Map(), features = new Map();
  let program = null, used = new Set(), cleared = false;
  const wrap = (name, before) => { const f = gl[name];
    gl[name] = function (...a) { before.apply(this, a); return f.apply(this, a); }; };
  wrap('shaderSource', (shader, text) => sources.set(shader, text));
  wrap('attachShader', (p, shader) => features.set(p, (features.get(p) || '') + sources.get(shader)));
  wrap('useProgram', (p) => { program = p; });
  const textureIds = new Map();
  wrap('bindTexture', function (target, t) { this.bound = t; if (t && !textureIds.has(t)) textureIds.set(t, textureIds.size); });
  const draw = function () {
    const text = features.get(program) || '';
    const textured = text.includes('#define TEXTURE');
    used.add((text.includes('#define LIGHTING') ? 'L' : '') + (text.includes('#define FOG') ? 'F' : '') +
             (textured ? 'T' + textureIds.get(this.bound) : ''));
  };
  wrap('drawArrays', draw); wrap('drawElements', draw);
  wrap('clear', () => { cleared = true; });
  window.watchFrames = () => {
    Module.preMainLoop = () => { cleared = false; used = new Set(); };
    Module.postMainLoop = () => { if (cleared) frames.push([performance.now(), [...used].sort().join(' ')]); };
  };`;

// The first stream sample of the song, checked sample for sample through the
// last sync: [stream index of song frame 0, heard time of stream index i].
function align(tap) {
  const stream = [].concat(...tap.map((b) => b[1]));
  let f0 = 0, g0 = 0;
  while (pcm[2 * f0] === 0) f0++;
  while (g0 < stream.length && stream[g0] === 0) g0++;
  const last = syncFrames[syncFrames.length - 1];
  let differ = 0;
  for (let k = 0; f0 + k <= last; k++) if (stream[g0 + k] !== pcm[2 * (f0 + k)]) differ++;
  if (differ) throw new Error(`${differ} samples of the page's sound differ from the Linux render`);
  const starts = [];
  let at = 0;
  for (const b of tap) { starts.push(at); at += b[1].length; }
  const heard = (i) => {
    let b = starts.length - 1;
    while (starts[b] > i) b--;
    return tap[b][0] + (i - starts[b]) * 1000 / RATE;
  };
  return (frame) => heard(g0 - f0 + frame);
}

const NAMES = ['the slide', 'the object', 'the tunnel'];

(async () => {
  const browser = await chromium.launch({ executablePath: '/usr/lib/chromium/chromium',
    args: ['--autoplay-policy=no-user-gesture-required'] });
  const page = await browser.newPage();
  await page.addInitScript(WATCH);
  await page.goto('file://' + pagePath);
  await page.waitForSelector('dialog[open]');
  await page.evaluate(() => watchFrames());
  await page.click('dialog button:text("No")');
  const until = syncFrames[syncFrames.length - 1] / RATE * 1000 + 3000;
  await page.waitForTimeout(until);
  const [tap, frames] = await page.evaluate(() => [tap, frames]);
  await browser.close();
  const heardAt = align(tap);
  syncFrames.forEach((frame, i) => {
    const heard = heardAt(frame);
    const before = frames.findLastIndex(([t]) => t < heard - 100);
    const shown = frames.findIndex(([t, used], k) => k > before && used !== frames[before][1]);
    if (before < 0 || shown < 0) throw new Error(NAMES[i] + ': no frame shows it');
    console.log(`sync: ${NAMES[i].padEnd(10)} heard ${(heard / 1000).toFixed(3)} s, shown by the ` +
                `frame ending ${(frames[shown][0] - heard).toFixed(1)} ms later`);
  });
})().catch((error) => { console.error('web_sync: ' + error.message); process.exit(1); });
