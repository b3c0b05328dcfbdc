// The pixels: the page's frame build renders the frames of the table on the
// capture's virtual clock and reads each back with glReadPixels; each must
// match the Linux capture tool's frame of the same number: at least 99 % of
// the pixels within 4/255 on every channel, and a mean difference of at most
// 0.5/255. Usage: node frames_test.js FRAMES_PAGE DESKTOP_CAPTURE SCRATCH
const { chromium } = require('playwright-core');
const { execFileSync } = require('child_process');
const fs = require('fs');
const [pagePath, desktopCapture, scratch] = process.argv.slice(2);

const FRAMES = [
  [12, 'the title fading in'], [34, 'the title as the wipe starts'], [60, 'the wipe'],
  [140, 'the second word'], [260, 'the flying panels'], [520, 'the sliding picture'],
  [850, 'the lit object'], [1100, 'the tunnel with the lit object'],
  [1400, 'the tunnel, the scroller\'s end'],
];
const TOLERANCE = 4, CLOSE_SHARE = 0.99, MEAN_LIMIT = 0.5;

// The desktop's frame as PNG bytes.
function desktopFrame(number) {
  const dir = `${scratch}/desktop-${number}`;
  execFileSync(desktopCapture, ['--start', `${number}`, '--frames', '1', dir], { stdio: 'pipe' });
  return fs.readFileSync(`${dir}/frame-${String(number).padStart(6, '0')}.png`);
}

// In the page: draws up to the frame, compares its read-back (bottom row
// first) with the desktop's PNG. Returns [share of close pixels, mean
// difference, the page's frame as a PNG data URL].
const compare = ([number, png, tolerance]) => (async () => {
  const at = Module._DrawUpTo(number);
  if (!at) return null;
  const blob = new Blob([Uint8Array.from(atob(png), (c) => c.charCodeAt(0))], { type: 'image/png' });
  const image = await createImageBitmap(blob, { colorSpaceConversion: 'none' });
  const [w, h] = [image.width, image.height], shown = document.createElement('canvas');
  shown.width = w; shown.height = h;
  const g = shown.getContext('2d');
  g.drawImage(image, 0, 0);
  const want = g.getImageData(0, 0, w, h), got = Module.HEAPU8.subarray(at, at + w * h * 3);
  let close = 0, sum = 0;
  for (let y = 0; y < h; y++) {
    for (let x = 0; x < w; x++) {
      const p = 4 * (y * w + x), q = 3 * ((h - 1 - y) * w + x);
      let worst = 0;
      for (let k = 0; k < 3; k++) {
        const d = Math.abs(want.data[p + k] - got[q + k]);
        worst = Math.max(worst, d); sum += d;
        want.data[p + k] = got[q + k];
      }
      if (worst <= tolerance) close++;
    }
  }
  g.putImageData(want, 0, 0);
  return [close / (w * h), sum / (3 * w * h), shown.toDataURL()];
})();

(async () => {
  fs.mkdirSync(scratch, { recursive: true });
  const browser = await chromium.launch({ executablePath: '/usr/lib/chromium/chromium' });
  const page = await browser.newPage();
  const log = [];
  page.on('console', (m) => log.push(m.text()));
  page.on('pageerror', (e) => log.push('page error: ' + e.message));
  await page.goto('file://' + pagePath);
  await page.waitForFunction(() => typeof Module !== 'undefined' && Module.calledRun);
  let failed = 0, worst = null;
  for (const [number, shows] of FRAMES) {
    const png = desktopFrame(number).toString('base64');
    const result = await page.evaluate(compare, [number, png, TOLERANCE]);
    if (result === null) throw new Error(`frame ${number} not drawn: ${log.join('\n')}`);
    const [share, mean, picture] = result;
    const ok = share >= CLOSE_SHARE && mean <= MEAN_LIMIT;
    console.log(`${ok ? 'ok  ' : 'FAIL'} frame ${number} (${shows}): ${(100 * share).toFixed(3)} % ` +
      `within ${TOLERANCE}/255, mean ${mean.toFixed(3)}/255`);
    failed += !ok;
    if (!worst || share < worst[1] || (share === worst[1] && mean > worst[2]))
      worst = [`frame ${number} (${shows})`, share, mean];
    fs.writeFileSync(`${scratch}/page-${number}.png`, Buffer.from(picture.split(',')[1], 'base64'));
  }
  console.log(`worst: ${worst[0]}, ${(100 * worst[1]).toFixed(3)} %, mean ${worst[2].toFixed(3)}/255`);
  const errors = log.filter((line) => line.startsWith('page error'));
  if (errors.length) console.log('FAIL page errors: ' + errors.join('\n'));
  await browser.close();
  process.exit(failed || errors.length ? 1 : 0);
})().catch((e) => { console.log('FAIL ' + e.message); process.exit(1); });
