// The browser build in headless Chromium, its canvas shown at 1024 x 768:
// the files' sizes (and gzipped), the time from the page's start to its
// first frame, then 10 s of play: the game's steps a second, the frames the
// page showed a second, the page's own busy share and the CPU of all the
// browser's processes (% of one core, from /proc). Then what handing a
// 1024 x 768 frame to the page costs, 60 times a second for 5 s: the
// canvas's putImageData against a WebGL texture upload; and the browser's
// floor for the game's page, the game's own work left out: 100 timer
// wake-ups a second, of which about 60 put a 64 x 64 part on a
// desynchronized canvas, as the page does.
//
// Usage: web_bench.js <site folder> [seconds of play]
'use strict';
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const {serve, openBrowser} = require('../tests/web/support');

const [site, playSeconds = '10'] = process.argv.slice(2);
const kTicksPerSecond = 100;  // /proc's clock ticks (USER_HZ)

// The browser's processes: the one puppeteer started and all below it, in
// CPU seconds, all together (total) and by their kind (the --type Chromium
// gives them: renderer, gpu-process...; the browser's own process has none).
function browserCpuSeconds(root) {
  const parents = new Map();
  for (const pid of fs.readdirSync('/proc').filter((name) => /^\d+$/.test(name))) {
    try {
      const stat = fs.readFileSync(`/proc/${pid}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      const kind = /--type=([\w-]+)/.exec(fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8'))?.[1] ?? 'browser';
      parents.set(pid, {parent: fields[1], ticks: Number(fields[11]) + Number(fields[12]), kind});
    } catch (error) {
      // The process ended while the list was read.
    }
  }
  const family = new Set([String(root)]);
  for (let grown = true; grown;) {
    grown = false;
    for (const [pid, {parent}] of parents) {
      if (!family.has(pid) && family.has(parent)) family.add(pid), (grown = true);
    }
  }
  const seconds = {total: 0};
  for (const pid of family) {
    const {ticks = 0, kind = 'browser'} = parents.get(pid) ?? {};
    seconds.total += ticks / kTicksPerSecond;
    seconds[kind] = (seconds[kind] ?? 0) + ticks / kTicksPerSecond;
  }
  return seconds;
}

// "T % of one core (renderer R, gpu-process G, ...)" between two readings.
function cpuShare(start, end, seconds) {
  const share = (kind) => (100 * (end[kind] - (start[kind] ?? 0)) / seconds).toFixed(1);
  const kinds = Object.keys(end).filter((kind) => kind !== 'total' && Number(share(kind)) >= 0.1);
  return `${share('total')} % of one core (${kinds.map((kind) => `${kind} ${share(kind)}`).join(', ')})`;
}

function sizes() {
  const files = ['hops.wasm', 'hops.js', 'index.html'].map((name) => path.join(site, name));
  const pictures = fs.readdirSync(path.join(site, 'IMG')).map((name) => path.join(site, 'IMG', name));
  const row = (what, list) => {
    const raw = list.reduce((sum, file) => sum + fs.statSync(file).size, 0);
    const gzipped = list.reduce((sum, file) => sum + zlib.gzipSync(fs.readFileSync(file), {level: 9}).length, 0);
    return `${what.padEnd(24)} ${(raw / 1024).toFixed(0).padStart(7)} KiB ${(gzipped / 1024).toFixed(0).padStart(7)} KiB gzipped`;
  };
  return [row('hops.wasm', [files[0]]), row('hops.js', [files[1]]), row('index.html', [files[2]]),
          row(`IMG/ (${pictures.length}, gzipped)`, pictures), row('all', [...files, ...pictures])].join('\n');
}

// "hops: F frames in S s (R a second), P shown, CPU C s (U % of one core)"
function parseStatistics(line) {
  const [, frames, seconds, shown, busy] =
      /hops: (\d+) frames in ([\d.]+) s .*, (\d+) shown, CPU ([\d.]+) s/.exec(line).map(Number);
  return {frames, seconds, shown, busy};
}

async function play(url) {
  const {browser, page, log} = await openBrowser();
  try {
    await page.setViewport({width: 1024, height: 800});
    await page.goto(`${url}?stats=1`);
    await page.waitForFunction(() => window.firstPicture, {polling: 10, timeout: 30000});
    const firstFrameMs = await page.evaluate(() => window.firstPictureAt);
    const shownSize = await page.evaluate(() => {
      const box = document.getElementById('canvas').getBoundingClientRect();
      return `${box.width}x${Math.round(box.height)}`;
    });
    await page.keyboard.press('s');
    // The page reports every 5 s from its first frame: the rates are taken
    // between two of its lines, the browser's CPU over the same span.
    const lines = () => log.filter((line) => line.includes('hops: '));
    const wait = async (count) => {
      while (lines().length < count) await new Promise((resolve) => setTimeout(resolve, 20));
    };
    const start = lines().length + 1;
    await wait(start);
    const cpuStart = browserCpuSeconds(browser.process().pid);
    const end = start + Math.round(Number(playSeconds) / 5);
    await wait(end);
    const cpuEnd = browserCpuSeconds(browser.process().pid);
    const first = parseStatistics(lines()[start - 1]);
    const last = parseStatistics(lines()[end - 1]);
    const seconds = last.seconds - first.seconds;
    return {
      firstFrameMs, shownSize, seconds,
      steps: (last.frames - first.frames) / seconds,
      shown: (last.shown - first.shown) / seconds,
      busy: 100 * (last.busy - first.busy) / seconds,
      browser: cpuShare(cpuStart, cpuEnd, seconds),
    };
  } finally {
    await browser.close();
  }
}

// A page doing nothing but hand a changing 1024 x 768 frame over on every
// animation frame, the one way or the other.
function uploadPage(kind) {
  return `<!DOCTYPE html><canvas id="canvas" width="1024" height="768"></canvas><script>
  const canvas = document.getElementById('canvas');
  const pixels = new Uint8ClampedArray(1024 * 768 * 4);
  let draw;
  if ('${kind}' === 'put') {
    const context = canvas.getContext('2d', {alpha: false});
    const image = new ImageData(pixels, 1024, 768);
    draw = () => context.putImageData(image, 0, 0);
  } else if ('${kind}' === 'floor') {
    const context = canvas.getContext('2d', {alpha: false, desynchronized: true});
    const image = new ImageData(pixels, 1024, 768);
    draw = () => context.putImageData(image, 0, 0, (window.uploads * 64) % 960, 352, 64, 64);
  } else {
    const gl = canvas.getContext('webgl', {alpha: false, antialias: false});
    const shader = (type, source) => {
      const s = gl.createShader(type); gl.shaderSource(s, source); gl.compileShader(s); return s;
    };
    const program = gl.createProgram();
    gl.attachShader(program, shader(gl.VERTEX_SHADER,
        'attribute vec2 p; varying vec2 t; void main() { t = vec2(p.x + 1.0, 1.0 - p.y) / 2.0; gl_Position = vec4(p, 0, 1); }'));
    // The frame's words are 0x00RRGGBB: bytes B, G, R, 0 read as R, G, B, A.
    gl.attachShader(program, shader(gl.FRAGMENT_SHADER,
        'precision mediump float; varying vec2 t; uniform sampler2D f; void main() { gl_FragColor = vec4(texture2D(f, t).bgr, 1); }'));
    gl.linkProgram(program);
    gl.useProgram(program);
    gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
    gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([-1, -1, 1, -1, -1, 1, 1, 1]), gl.STATIC_DRAW);
    gl.enableVertexAttribArray(0);
    gl.vertexAttribPointer(0, 2, gl.FLOAT, false, 0, 0);
    gl.bindTexture(gl.TEXTURE_2D, gl.createTexture());
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.NEAREST);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.NEAREST);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_S, gl.CLAMP_TO_EDGE);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_WRAP_T, gl.CLAMP_TO_EDGE);
    gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, 1024, 768, 0, gl.RGBA, gl.UNSIGNED_BYTE, null);
    const bytes = new Uint8Array(pixels.buffer);
    draw = () => {
      gl.texSubImage2D(gl.TEXTURE_2D, 0, 0, 0, 1024, 768, gl.RGBA, gl.UNSIGNED_BYTE, bytes);
      gl.drawArrays(gl.TRIANGLE_STRIP, 0, 4);
    };
  }
  window.uploads = 0;
  window.uploadMs = 0;
  const put = () => {
    pixels[(window.uploads * 4097) % pixels.length] ^= 0xFF;
    const start = performance.now();
    draw();
    window.uploadMs += performance.now() - start;
    window.uploads += 1;
  };
  if ('${kind}' !== 'floor') {
    const frame = () => (put(), requestAnimationFrame(frame));
    requestAnimationFrame(frame);
  } else {
    // Woken as the game's rests wake it: by a 9 ms timer.
    let next = 0;
    const wake = () => {
      if (performance.now() >= next) (next = Math.max(next + 1000 / 60, performance.now() - 5)), put();
      setTimeout(wake, 9);
    };
    wake();
  }
  </script>`;
}

async function upload(kind) {
  const {browser, page} = await openBrowser();
  try {
    await page.setContent(uploadPage(kind));
    await page.waitForFunction(() => window.uploads > 30);
    const before = await page.evaluate(() => [window.uploads, window.uploadMs]);
    const cpuStart = browserCpuSeconds(browser.process().pid);
    const started = Date.now();
    await new Promise((resolve) => setTimeout(resolve, 5000));
    const cpuEnd = browserCpuSeconds(browser.process().pid);
    const seconds = (Date.now() - started) / 1000;
    const after = await page.evaluate(() => [window.uploads, window.uploadMs]);
    const uploads = after[0] - before[0];
    const what = {put: 'putImageData', webgl: 'WebGL texSubImage2D', floor: 'the page\'s floor'}[kind];
    return what.padEnd(22) +
           `${(uploads / seconds).toFixed(1).padStart(6)} a second, ` +
           `${((after[1] - before[1]) / uploads).toFixed(3)} ms each on the page's thread, ` +
           `browser ${cpuShare(cpuStart, cpuEnd, seconds)}`;
  } finally {
    await browser.close();
  }
}

(async () => {
  console.log(sizes());
  const {server, url} = await serve(path.resolve(site), []);
  try {
    const figures = await play(url);
    console.log(`first frame ${figures.firstFrameMs.toFixed(0)} ms after the page's start; canvas shown at ` +
                `${figures.shownSize}`);
    console.log(`${figures.seconds.toFixed(1)} s of play: ${figures.steps.toFixed(1)} steps a second, ` +
                `${figures.shown.toFixed(1)} frames shown a second, the game's page busy ` +
                `${figures.busy.toFixed(1)} %, the browser ${figures.browser}`);
    console.log(await upload('put'));
    console.log(await upload('webgl'));
    console.log(await upload('floor'));
  } finally {
    server.close();
  }
})().catch((error) => {
  console.log(`web_bench: ${error.message}`);
  process.exitCode = 1;
});
