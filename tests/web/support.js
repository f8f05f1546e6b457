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
      if (error || !file.startsWith(folder) || missing.includes(name.slice(1))) {
        response.writeHead(404).end();
        return;
      }
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
// game has drawn since), and the time it came in window.firstPictureAt.
function keepFirstPicture() {
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function(image, ...rest) {
    if (!window.firstPicture) {
      window.firstPicture = Array.from(image.data);
      window.firstPictureAt = performance.now();
    }
    return put.call(this, image, ...rest);
  };
}

// A page of 1024 x 800 CSS pixels in headless Chromium; what the page
// writes on its console and every error it meets are kept in `log`.
async function openBrowser() {
  const browser = await puppeteer.launch({
    executablePath: execFileSync('sh', ['-c', 'command -v chromium'], {encoding: 'utf8'}).trim(),
    headless: true,
    args: ['--no-sandbox'],
  });
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
// given by `at(i)`.
function picture(width, height, at) {
  const pixels = Array.from({length: width * height}, (_, i) => at(i));
  return {width, height, pixels, at: (x, y) => pixels[y * width + x]};
}

// The canvas's pixels in a rectangle (all of it by default).
async function readCanvas(page, x = 0, y = 0, width = 1024, height = 768) {
  return fromRgba(await page.evaluate((...box) =>
    Array.from(document.getElementById('canvas').getContext('2d').getImageData(...box).data), x, y, width, height),
  width, height);
}

function fromRgba(rgba, width, height) {
  return picture(width, height, (i) => rgba[4 * i] << 16 | rgba[4 * i + 1] << 8 | rgba[4 * i + 2]);
}

// A binary PPM, as frame_dump writes it.
function readPpm(file) {
  const data = fs.readFileSync(file);
  const [, width, height] = /^P6\s+(\d+)\s+(\d+)\s+255\s/.exec(data.toString('latin1', 0, 20)).map(Number);
  const start = data.length - width * height * 3;
  return picture(width, height, (i) => data.readUIntBE(start + 3 * i, 3));
}

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
  if (got.width !== want.width || got.height !== want.height) {
    return `${got.width}x${got.height} against ${want.width}x${want.height}`;
  }
  const differing = got.pixels.flatMap((pixel, i) => pixel !== want.pixels[i] ? [i] : []);
  if (differing.length === 0) return '';
  const i = differing[0];
  const hex = (value) => value.toString(16).padStart(6, '0');
  return `${differing.length} pixels differ, the first at (${i % got.width}, ${Math.floor(i / got.width)}): ` +
         `got ${hex(got.pixels[i])}, want ${hex(want.pixels[i])}`;
}

// Runs the native frame_dump in `folder` with `args` and reads the picture
// it writes; returns what it printed too.
function nativePicture(frameDump, folder, ...args) {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'hops-web-'));
  try {
    const file = path.join(work, 'picture.ppm');
    const printed = execFileSync(frameDump, [file, ...args], {cwd: folder, env: {...process.env, HOPS_HOST: 'headless'}, encoding: 'utf8'});
    return {picture: readPpm(file), printed};
  } finally {
    fs.rmSync(work, {recursive: true, force: true});
  }
}

// Screenshots go to HOPS_WEB_SHOTS when it names a folder, to be looked at.
async function shot(page, name) {
  if (process.env.HOPS_WEB_SHOTS) await page.screenshot({path: path.join(process.env.HOPS_WEB_SHOTS, `${name}.png`)});
}

// Runs `test` with the site served (as serve() does) and a browser open;
// exit code 0 when it passes, 1 with the reason and the page's log when it
// fails.
async function run(site, test, missing = [], encoded = false) {
  const {server, url} = await serve(path.resolve(site), missing, encoded);
  const {browser, page, log} = await openBrowser();
  try {
    await test(page, url, log);
    console.log('PASSED');
  } catch (error) {
    console.log(`FAILED: ${error.message}\npage log:\n${log.join('\n')}`);
    process.exitCode = 1;
  } finally {
    await browser.close();
    server.close();
  }
}

function check(condition, what) {
  if (!condition) throw new Error(what);
}

module.exports = {serve, openBrowser, run, check, waitFor, readCanvas, fromRgba, readBmp, difference, nativePicture, shot, picture};
