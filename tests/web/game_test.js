// The game in headless Chromium as a player meets it: a page titled HOPS
// whose canvas keeps the frame's own size and is scaled to fit, crisp; the
// first frame shown is the native headless build's first frame, bit for
// bit, status text included; S starts play and the picture moves, the
// canvas kept equal to the whole picture though only changed parts are put;
// a held Right moves the player and stops with the key; Space let go fires a
// bullet; a gamepad's stick moves the player too; no game key scrolls the
// page; F11 takes the page to full screen and Alt+Enter back; Esc ends the
// game and the page says so and offers to start again, which loads the
// page anew, to the same first frame.
//
// Usage: game_test.js <site folder> <frame_dump> <folder holding IMG/>
'use strict';
const path = require('path');
const {run, check, same, waitFor, readCanvas, canvasAgainstLastPicture, firstFrame, readBmp, difference, shot} =
  require('./support');

const kColorKey = 0xFF00FF;
const kPlayerTop = 550;  // the player's picture's top: its rectangle's top, 600, less 50
const kPlayerStart = 80;  // its left at the start: the rectangle's 100 less 20

// The keys the page passed on to the browser's own handling, as a listener
// after the game's sees them; and a gamepad in the standard layout, at rest.
function noteKeysLetThroughAndPlugAPad() {
  window.keysLetThrough = [];
  window.addEventListener('keydown', (event) => event.defaultPrevented || window.keysLetThrough.push(event.key));
  window.pad = {connected: true, mapping: 'standard', index: 0, id: 'pad', timestamp: 0, axes: [0, 0, 0, 0],
                buttons: Array.from({length: 17}, () => ({pressed: false, touched: false, value: 0}))};
  navigator.getGamepads = () => [window.pad];
}

// Where `sprite` lies whole in `band` (its opaque pixels equal, the key
// colour skipped): [x, y], the first found row by row; undefined if nowhere.
function find(band, sprite) {
  for (let y = 0; y + sprite.height <= band.height; ++y) {
    for (let x = 0; x + sprite.width <= band.width; ++x) {
      const fits = (pixel, i) =>
        pixel === kColorKey || pixel === band.at(x + i % sprite.width, y + Math.floor(i / sprite.width));
      if (sprite.pixels.every(fits)) return [x, y];
    }
  }
}

run(async ({page, url, log, pictures, title}) => {
  const [player, bullet] = ['PLAYER', 'BULLET'].map((name) => readBmp(path.join(pictures, 'IMG', `IMG_${name}.bmp`)));
  const playerAt = async () => find(await readCanvas(page, 0, kPlayerTop, 1024, player.height), player)?.[0];

  await page.evaluateOnNewDocument(noteKeysLetThroughAndPlugAPad);
  await page.goto(url);
  const layout = await page.$eval('#canvas', (canvas) => [document.title, canvas.width, canvas.height,
    getComputedStyle(canvas).objectFit, getComputedStyle(canvas).imageRendering].join(' '));
  check(layout === 'HOPS 1024 768 contain pixelated', `the page: ${layout}`);
  same(await firstFrame(page), title, 'the first frame is not the native one');
  await shot(page, 'title');

  await page.keyboard.press('s');
  await waitFor('play to start, the player at its start', async () => (await playerAt()) === kPlayerStart);
  const field = await readCanvas(page, 0, 64, 1024, 704);
  await waitFor('the picture to move', async () => difference(await readCanvas(page, 0, 64, 1024, 704), field) !== '');
  await shot(page, 'play');
  for (let i = 0; i < 5; ++i) {
    const differing = await canvasAgainstLastPicture(page);
    check(!differing, `the canvas against the picture put in parts: ${differing}`);
  }

  await page.keyboard.down('ArrowRight');
  const moved = await waitFor('the player to move right', async () => [await playerAt()].find((x) => x >= kPlayerStart + 100));
  await page.keyboard.up('ArrowRight');
  const stopped = await waitFor('the player to stop with the key', async () => {
    const x = await playerAt();
    await new Promise((resolve) => setTimeout(resolve, 200));
    return x !== undefined && (await playerAt()) === x && x;
  });
  check(stopped >= moved, `the player went back from ${moved} to ${stopped}`);

  // Held long enough for the game to take a frame with it down; the bullet
  // is sought in the player's column above it.
  await page.keyboard.press('Space', {delay: 100});
  await waitFor('a bullet above the player', async () =>
    find(await readCanvas(page, stopped + 20, 0, bullet.width, kPlayerTop + 50), bullet) !== undefined);
  await shot(page, 'fired');

  // The pad's stick leaning left moves the player back.
  await page.evaluate(() => (window.pad.axes[0] = -0.5));
  await waitFor('the player to move left with the pad', async () => (await playerAt()) < stopped - 50);
  await page.evaluate(() => (window.pad.axes[0] = -0.2));

  await page.keyboard.press('F11');
  await waitFor('full screen', () => page.evaluate(() => document.fullscreenElement?.id === 'screen'));
  await page.keyboard.down('Alt');
  await page.keyboard.press('Enter');
  await page.keyboard.up('Alt');
  await waitFor('full screen left', () => page.evaluate(() => document.fullscreenElement === null));
  const letThrough = await page.evaluate(() => window.keysLetThrough.join(' '));
  check(letThrough === '', `keys the page let through: ${letThrough}`);
  check(await page.evaluate(() => document.scrollingElement.scrollTop === 0 && window.scrollY === 0), 'the page scrolled');

  await page.keyboard.press('Escape');
  const ended = await waitFor('the page to say the game has ended', () => page.evaluate(() =>
    !document.getElementById('ended').hidden && document.getElementById('ended').innerText.replace(/\s+/g, ' ')));
  check(ended === 'The game has ended. Play again', `the end: ${ended}`);
  await shot(page, 'ended');

  await Promise.all([page.waitForNavigation(), page.click('#again')]);
  same(await firstFrame(page), title, 'after starting again, the first frame');
  const problems = log.filter((line) => /^(error|pageerror)/.test(line));
  check(problems.length === 0, `the page reported: ${problems.join('; ')}`);
});
