// A site without two of the game's pictures, served with the others marked
// gzip-encoded (the browser unpacks them): each missing picture brings
// the game's Korean message box, drawn as the native build draws it (the
// picture frame_dump makes, bit for bit, centred on a canvas still black),
// modal: the game goes on only when it is closed, the first by a click on
// OK, the second by Enter; then the title frame appears.
//
// Usage: message_box_test.js <site folder> <frame_dump> <folder holding IMG/>
'use strict';
const {run, check, waitFor, readCanvas, fromRgba, difference, nativePicture, picture, shot} = require('./support');

const [site, frameDump, pictures] = process.argv.slice(2);
const kCaption = '실패';
const kText = '비트맵 로드 실패';

// The box on a black 1024 x 768 canvas, and the canvas point of OK.
function expectedCanvas() {
  const {picture: box, printed} = nativePicture(frameDump, pictures, kCaption, kText);
  const left = (1024 - box.width) >> 1;
  const top = (768 - box.height) >> 1;
  const inside = (x, y) => x >= 0 && y >= 0 && x < box.width && y < box.height;
  const canvas = picture(1024, 768, (i) => {
    const [x, y] = [i % 1024 - left, Math.floor(i / 1024) - top];
    return inside(x, y) ? box.at(x, y) : 0;
  });
  const [okX, okY] = printed.trim().split(' ').map(Number);
  return {canvas, ok: {x: left + okX, y: top + okY}};
}

run(site, async (page, url, log) => {
  const expected = expectedCanvas();
  const title = nativePicture(frameDump, pictures).picture;
  const boxes = () => log.filter((line) => line.endsWith(`MessageBox [${kCaption}]: ${kText}`)).length;
  const shows = async (want) => difference(await readCanvas(page), want);

  await page.goto(url);
  await waitFor('the first message box', () => boxes() === 1);
  const first = difference(
      fromRgba(await waitFor('the box on the canvas', () => page.evaluate(() => window.firstPicture)), 1024, 768),
      expected.canvas);
  check(first === '', `the first box: ${first}`);
  await shot(page, 'message_box');

  // The canvas is shown as large as it fits, centred; OK is clicked where
  // it appears on the page.
  const point = await page.evaluate((x, y) => {
    const box = document.getElementById('canvas').getBoundingClientRect();
    const scale = Math.min(box.width / 1024, box.height / 768);
    return {x: box.left + (box.width - 1024 * scale) / 2 + (x + 0.5) * scale,
            y: box.top + (box.height - 768 * scale) / 2 + (y + 0.5) * scale};
  }, expected.ok.x, expected.ok.y);
  await page.mouse.click(point.x, point.y);
  await waitFor('the second message box', () => boxes() === 2);
  const second = await shows(expected.canvas);
  check(second === '', `the second box: ${second}`);

  await page.keyboard.press('Enter');
  const field = {width: 1024, height: 704, pixels: title.pixels.slice(64 * 1024)};
  await waitFor('the title frame below the status text',
                async () => difference(await readCanvas(page, 0, 64, 1024, 704), field) === '');
  check(boxes() === 2, `${boxes()} message boxes`);
}, ['IMG/IMG_BULLET.bmp.gz', 'IMG/IMG_BALL.bmp.gz'], true);
