// A site without two of the game's pictures, served with the others marked
// gzip-encoded (the browser unpacks them): each missing picture brings
// the game's Korean message box, drawn as the native build draws it (the
// picture frame_dump makes, bit for bit, centred on a canvas still black),
// modal: the game goes on only when it is closed, the first by a click on
// OK, the second by Enter; then the title frame appears.
//
// Usage: message_box_test.js <site folder> <frame_dump> <folder holding IMG/>
'use strict';
const {run, check, same, waitFor, readCanvas, firstFrame, difference, picture, shot} = require('./support');

const kCaption = '실패';
const kText = '비트맵 로드 실패';

run(async ({page, url, log, native, title}) => {
  // The box on a black 1024 x 768 canvas, and the canvas point of OK.
  const {picture: box, printed} = native(kCaption, kText);
  const [left, top] = [(1024 - box.width) >> 1, (768 - box.height) >> 1];
  const expected = picture(1024, 768, (i) => box.at(i % 1024 - left, Math.floor(i / 1024) - top) ?? 0);
  const [okX, okY] = printed.trim().split(' ').map(Number);
  const boxes = () => log.filter((line) => line.endsWith(`MessageBox [${kCaption}]: ${kText}`)).length;

  await page.goto(url);
  await waitFor('the first message box', () => boxes() === 1);
  same(await firstFrame(page), expected, 'the first box');
  await shot(page, 'message_box');

  // The canvas is shown as large as it fits, centred; OK is clicked where
  // it appears on the page.
  const point = await page.evaluate((x, y) => {
    const {left, top, width, height} = document.getElementById('canvas').getBoundingClientRect();
    const scale = Math.min(width / 1024, height / 768);
    return [left + (width - 1024 * scale) / 2 + (x + 0.5) * scale, top + (height - 768 * scale) / 2 + (y + 0.5) * scale];
  }, left + okX, top + okY);
  await page.mouse.click(...point);
  await waitFor('the second message box', () => boxes() === 2);
  same(await readCanvas(page), expected, 'the second box');

  await page.keyboard.press('Enter');
  const field = {width: 1024, height: 704, pixels: title.pixels.slice(64 * 1024)};
  await waitFor('the title frame below the status text',
                async () => difference(await readCanvas(page, 0, 64, 1024, 704), field) === '');
  check(boxes() === 2, `${boxes()} message boxes`);
}, ['IMG/IMG_BULLET.bmp.gz', 'IMG/IMG_BALL.bmp.gz'], true);
