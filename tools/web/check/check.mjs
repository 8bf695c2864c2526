// Plays the browser build of kelvod in Debian's chromium, headless, with the
// page served from 127.0.0.1:
//   - every campaign level's solution replay, through ?replay= and ?args=,
//     must win the level (the dump in <pre id="dump">);
//   - the page opened normally must draw the main menu, and a click on
//     "Новая игра" must start the first level (checked on screenshots of the
//     canvas, which are kept for people to look at).
// Usage: node check.mjs BUILD_DIR SOURCE_DIR OUT_DIR
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { chromium } from 'playwright-core';

const [buildDir, sourceDir, outDir] = process.argv.slice(2).map(p => path.resolve(p));
if (!outDir) {
  console.error('usage: node check.mjs BUILD_DIR SOURCE_DIR OUT_DIR');
  process.exit(2);
}
fs.mkdirSync(outDir, { recursive: true });

// '/' is the build, '/solutions/' the solution replays.
const roots = [['/solutions/', path.join(sourceDir, 'tests', 'solutions')], ['/', buildDir]];
const types = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm' };

function serve() {
  const server = http.createServer((req, res) => {
    const url = decodeURIComponent(new URL(req.url, 'http://127.0.0.1').pathname);
    const [prefix, root] = roots.find(([p]) => url.startsWith(p));
    const file = path.join(root, url.slice(prefix.length));
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise(resolve => server.listen(0, '127.0.0.1', () => resolve(server)));
}

let passed = 0, failed = 0;
function report(ok, name, detail) {
  if (ok) passed++; else failed++;
  console.log(`${ok ? 'ok' : 'not ok'} - ${name}${detail ? ': ' + detail : ''}`);
}

// The level list as the game sees it: the level files sorted by name.
const levels = fs.readdirSync(path.join(sourceDir, 'data', 'level'))
  .filter(n => n.toLowerCase().endsWith('.map')).map(n => n.slice(0, -4)).sort();

function lastTick(replayFile) {
  const lines = fs.readFileSync(replayFile, 'utf8').split('\n').map(l => l.trim())
    .filter(l => l && !l.startsWith('#'));
  return Number(lines[lines.length - 1].split(/\s+/)[0]);
}

async function openPage(browser, base, query) {
  const page = await browser.newPage({ viewport: { width: 1024, height: 860 } });
  const messages = [];
  page.on('console', m => { if (!m.text().includes('GL Driver Message')) messages.push(m.text()); });
  page.on('pageerror', e => messages.push(String(e)));
  await page.goto(`${base}/kelvod.html${query}`);
  return { page, messages };
}

// A headless run of a level with its solution; the dump must show the win.
async function playSolution(browser, base, name) {
  const replay = path.join(sourceDir, 'tests', 'solutions', `${name}.replay`);
  const index = levels.indexOf(name);
  const ticks = lastTick(replay) + 700;
  const args = `--headless --seed 7 --level ${index} --ticks ${ticks} --replay /replay.txt --dump /dump.json`;
  const { page, messages } = await openPage(browser, base,
    `?replay=solutions/${name}.replay&args=${encodeURIComponent(args)}`);
  try {
    await page.waitForFunction(() => document.title !== 'kelvod', null, { timeout: 180000 });
    const title = await page.title();
    const text = await page.locator('#dump').textContent();
    if (title !== 'kelvod: done' || !text) {
      report(false, `level ${name} in the browser`, `title "${title}", output:\n${messages.slice(-30).join('\n')}`);
      return;
    }
    const dump = JSON.parse(text);
    const won = dump.scene === 'game' && dump.game.level_index === index && dump.game.win_visible === true;
    report(won, `level ${name} is won by its solution in the browser`,
      won ? '' : `scene ${dump.scene}, level ${dump.game?.level_index}, win ${dump.game?.win_visible}`);
  } finally {
    await page.close();
  }
}

// The canvas, screenshot at 1024 by 768 and kept in `file`; returns for each
// rectangle [x0, y0, x1, y1, level] the share of its pixels brighter than
// `level`, counted by the browser itself.
async function lightShares(page, file, rects) {
  const png = await page.locator('#canvas').screenshot({ path: file });
  return page.evaluate(async ([b64, rects]) => {
    const img = new Image();
    img.src = 'data:image/png;base64,' + b64;
    await img.decode();
    const g = new OffscreenCanvas(1024, 768).getContext('2d');
    g.drawImage(img, 0, 0, 1024, 768);
    const d = g.getImageData(0, 0, 1024, 768).data;
    return rects.map(([x0, y0, x1, y1, level]) => {
      let light = 0;
      for (let y = y0; y < y1; y++)
        for (let x = x0; x < x1; x++) {
          const i = (y * 1024 + x) * 4;
          if ((d[i] + d[i + 1] + d[i + 2]) / 3 > level) light++;
        }
      return light / ((x1 - x0) * (y1 - y0));
    });
  }, [png.toString('base64'), rects]);
}

// The main menu: the title picture at the top, three light buttons with dark
// captions ("Выход" has no place in a tab), black below them down to the
// footer line.
const menuButtons = [['Новая игра', 284], ['Загрузить', 336], ['Редактор карт', 388]];
const menuRects = [[256, 70, 768, 190, 120], [440, 430, 584, 450, 60], [0, 480, 1024, 700, 40],
  ...menuButtons.map(([, y]) => [440, y - 10, 584, y + 10, 150])];

function menuProblems([title, exit, below, ...buttons]) {
  const problems = [];
  if (title < 0.1) problems.push('no title picture');
  menuButtons.forEach(([caption], i) => {
    if (buttons[i] < 0.5) problems.push(`no "${caption}" button`);
    else if (buttons[i] > 0.97) problems.push(`no caption on "${caption}"`);
  });
  if (exit > 0.01) problems.push('"Выход" is shown');
  if (below > 0.001) problems.push('the space under the buttons is not empty');
  return problems;
}

// Polls the canvas until `problems` finds none (or 30 seconds pass); the last
// screenshot is kept as `name`.
async function waitForPicture(page, name, rects, problems) {
  let found = ['not drawn'];
  for (let tries = 0; tries < 30 && found.length; tries++) {
    await page.waitForTimeout(1000);
    found = problems(await lightShares(page, path.join(outDir, name), rects));
  }
  return found;
}

// The menu, then a click on "Новая игра" in a canvas scaled to a wider window:
// the first level's grey field must replace the menu.
async function checkMenu(browser, base) {
  const { page, messages } = await openPage(browser, base, '');
  const log = found => found.join(', ') + (found.length ? `\n${messages.slice(-30).join('\n')}` : '');
  try {
    await page.setViewportSize({ width: 1400, height: 900 });
    let found = await waitForPicture(page, 'menu.png', menuRects, menuProblems);
    report(found.length === 0, 'the page draws the main menu', log(found));
    const box = await page.locator('#canvas').boundingBox();
    const scale = box.width / 1024;
    await page.mouse.move(box.x + 512 * scale, box.y + 284 * scale);
    await page.mouse.down();
    await page.waitForTimeout(100);
    await page.mouse.up();
    found = await waitForPicture(page, 'level.png', [[300, 200, 700, 600, 50]],
      ([field]) => (field > 0.8 ? [] : ['no level field after the click']));
    report(found.length === 0, 'a click on "Новая игра" starts the first level', log(found));
    await page.screenshot({ path: path.join(outDir, 'page.png') });
  } finally {
    await page.close();
  }
}

const server = await serve();
const base = `http://127.0.0.1:${server.address().port}`;
const browser = await chromium.launch({
  executablePath: process.env.KELVOD_CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
try {
  for (const name of levels) await playSolution(browser, base, name);
  await checkMenu(browser, base);
} finally {
  await browser.close();
  server.close();
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
