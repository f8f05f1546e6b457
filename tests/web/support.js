// What the browser tests share: the site served on 127.0.0.1, Chromium
// driven by puppeteer-core, the canvas read back, BMP and PPM pictures read.
'use strict';
const {execFileSync} = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const kTypes = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.bmp': 'image/bmp'};

// A static server for `folder` on a free port of 127.0.0.1, which answers
// 404 for the files named in `missing` (paths below the folder) and, when
// `encoded`, marks .gz files as gzip-encoded, as some servers do.
async function serve(folder, missing, encoded = false) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(folder, name.endsWith('/') ? name + 'index.html' : name);
    fs.readFile(file, (error, data) => {
      if (error || !file.startsWith(folder) || missing.includes(name.slice(1))) return response.writeHead(404).end();
      const type = {'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream'};
      if (encoded && file.endsWith('.gz')) type['Content-Encoding'] = 'gzip';
      response.writeHead(200, type).end(data);
    });
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return {server, url: `http://127.0.0.1:${server.address().port}/`};
}

// Every putImageData the page makes after this keeps a copy of its first
// picture in window.firstPicture (the first frame shown, read whatever the
// game has drawn since), and the time it came in window.firstPictureAt;
// window.lastPicture is the picture last put, of which only a part may have
// been put.
function keepFirstPicture() {
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function(image, ...rest) {
    if (!window.firstPicture) [window.firstPicture, window.firstPictureAt] = [Array.from(image.data), performance.now()];
    window.lastPicture = image;
    return put.call(this, image, ...rest);
  };
}

// A page of 1024 x 800 CSS pixels in headless Chromium; what the page
// writes on its console and every error it meets are kept in `log`.
async function openBrowser() {
  const executablePath = execFileSync('sh', ['-c', 'command -v chromium'], {encoding: 'utf8'}).trim();
  const browser = await puppeteer.launch({executablePath, headless: true, args: ['--no-sandbox']});
  const page = await browser.newPage();
  await page.setViewport({width: 1024, height: 800});
  const log = [];
  page.on('console', (message) => log.push(`${message.type()}: ${message.text()}`));
  page.on('pageerror', (error) => log.push(`pageerror: ${error.message}`));
  await page.evaluateOnNewDocument(keepFirstPicture);
  return {browser, page, log};
}

// Polls `condition` until it returns something other than undefined or
// false, which it returns; fails with `what` after 30 s (a bound on the
// wait, never a measure of speed).
async function waitFor(what, condition) {
  const give_up = Date.now() + 30000;
  for (;;) {
    const result = await condition();
    if (result !== undefined && result !== false) return result;
    if (Date.now() > give_up) throw new Error(`gave up waiting: ${what}`);
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// A picture: width, height and 0xRRGGBB numbers, rows top down, the i-th
// given by `at(i)`; its `at(x, y)` is undefined outside it.
function picture(width, height, at) {
  const pixels = Array.from({length: width * height}, (_, i) => at(i));
  return {width, height, pixels, at: (x, y) => x >= 0 && x < width ? pixels[y * width + x] : undefined};
}

// The canvas's pixels in a rectangle (all of it by default).
async function readCanvas(page, x = 0, y = 0, width = 1024, height = 768) {
  return fromRgba(await page.evaluate((...box) =>
    Array.from(document.getElementById('canvas').getContext('2d').getImageData(...box).data), x, y, width, height),
  width, height);
}

// '' when the canvas equals the whole picture last put (of which only parts
// may have been put), else how many bytes differ and where the first lies.
const canvasAgainstLastPicture = (page) => page.evaluate(() => {
  const [got, want] = [document.getElementById('canvas').getContext('2d').getImageData(0, 0, 1024, 768).data,
                       window.lastPicture.data];
  const differing = got.reduce((list, byte, i) => (byte !== want[i] && list.push(i >> 2), list), []);
  return differing.length && `${differing.length} bytes differ, the first at (${differing[0] % 1024}, ${differing[0] >> 10})`;
});

const fromRgba = (rgba, width, height) =>
  picture(width, height, (i) => rgba[4 * i] << 16 | rgba[4 * i + 1] << 8 | rgba[4 * i + 2]);

// The first frame the page showed (see keepFirstPicture), once it has one.
const firstFrame = async (page) =>
  fromRgba(await waitFor('a first frame', () => page.evaluate(() => window.firstPicture)), 1024, 768);

// A 24-bit BMP: bottom-up rows of B, G, R bytes padded to four bytes.
function readBmp(file) {
  const data = fs.readFileSync(file);
  const [width, height] = [data.readInt32LE(18), data.readInt32LE(22)];
  const stride = (width * 3 + 3) & ~3;
  return picture(width, height, (i) =>
    data.readUIntLE(data.readUInt32LE(10) + (height - 1 - Math.floor(i / width)) * stride + 3 * (i % width), 3));
}

// "n pixels differ, the first at (x, y): got G, want W", or '' when equal.
function difference(got, want) {
  const sizes = [got, want].map((picture) => `${picture.width}x${picture.height}`);
  if (sizes[0] !== sizes[1]) return sizes.join(' against ');
  const differing = got.pixels.flatMap((pixel, i) => pixel !== want.pixels[i] ? [i] : []);
  const [i, hex] = [differing[0], (value) => value.toString(16).padStart(6, '0')];
  return differing.length === 0 ? '' : `${differing.length} pixels differ, the first at (${i % got.width}, ` +
         `${Math.floor(i / got.width)}): got ${hex(got.pixels[i])}, want ${hex(want.pixels[i])}`;
}

// Runs the native frame_dump in `folder` with `args`; the picture it writes
// (a binary PPM) and what it printed.
function nativePicture(frameDump, folder, ...args) {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'hops-web-'));
  try {
    const printed = execFileSync(frameDump, [path.join(work, 'picture.ppm'), ...args],
                                 {cwd: folder, env: {...process.env, HOPS_HOST: 'headless'}, encoding: 'utf8'});
    const ppm = fs.readFileSync(path.join(work, 'picture.ppm'));
    const [, width, height] = /^P6\s+(\d+)\s+(\d+)\s+255\s/.exec(ppm.toString('latin1', 0, 20)).map(Number);
    const start = ppm.length - width * height * 3;
    return {picture: picture(width, height, (i) => ppm.readUIntBE(start + 3 * i, 3)), printed};
  } finally {
    fs.rmSync(work, {recursive: true, force: true});
  }
}

// Screenshots go to HOPS_WEB_SHOTS when it names a folder, to be looked at.
const shot = async (page, name, folder = process.env.HOPS_WEB_SHOTS) =>
  folder && page.screenshot({path: path.join(folder, `${name}.png`)});

// Runs `test` on the command line's <site folder> <frame_dump> <folder
// holding IMG/>, the site served (as serve() does) and a browser open. The
// test gets the page, its address and log, the pictures' folder, `native`,
// which draws with frame_dump there (nativePicture), and `title`, its first
// frame. Exit code 0 when it passes, 1 with the reason and the page's log
// when it fails.
async function run(test, missing = [], encoded = false) {
  const [site, frameDump, pictures] = process.argv.slice(2);
  const {server, url} = await serve(path.resolve(site), missing, encoded);
  const {browser, page, log} = await openBrowser();
  const native = (...args) => nativePicture(frameDump, pictures, ...args);
  try {
    await test({page, url, log, pictures, native, title: native().picture});
    console.log('PASSED');
  } catch (error) {
    console.log(`FAILED: ${error.message}\npage log:\n${log.join('\n')}`);
    process.exitCode = 1;
  } finally {
    await browser.close();
    server.close();
  }
}

const check = (condition, what) => { if (!condition) throw new Error(what); };

// Fails with `what` and where they differ unless the pictures are equal.
const same = (got, want, what) => check(difference(got, want) === '', `${what}: ${difference(got, want)}`);

module.exports = {serve, openBrowser, run, check, same, waitFor, readCanvas, canvasAgainstLastPicture, firstFrame, readBmp, difference, nativePicture, shot,
                  picture};
