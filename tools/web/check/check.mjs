// Plays the browser build of kelvod in Debian's chromium, headless, with the
// page served from 127.0.0.1:
//   - every campaign level's solution replay, through ?replay= and ?args=,
//     must win the level (the dump in <pre id="dump">);
//   - the page opened normally must draw the main menu, and a click on
//     "Новая игра" must start the first level (checked on screenshots of the
//     canvas, which are kept for people to look at);
//   - a level saved in the editor must outlive a reload of the page, download
//     as the same bytes, and levels brought in from files must be listed and
//     playable (a broken one must not break the game);
//   - two tabs winning different levels must keep both wins (checkTwoTabs);
//   - every load failure is said on the page, the game plays without the
//     browser's storage, keys and leaving the page with unsaved editor work
//     behave (checkFailures, checkWithoutStorage, checkKeys, checkUnsavedEditor);
//   - a phone viewport wins level 001 by touch (checkPhone), and a first
//     visit's bytes and time to the menu are printed (measureLoad);
//   - a link to the page with a share code after '#' must open that level
//     into play, whether the desktop game made the code or the page's own
//     editor did, and the desktop game must open the editor's link
//     (checkShareLink, checkEditorShare).
// Usage: node check.mjs BUILD_DIR SOURCE_DIR OUT_DIR
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { spawnSync } from 'node:child_process';
import { chromium } from 'playwright-core';

const [buildDir, sourceDir, outDir] = process.argv.slice(2).map(p => path.resolve(p));
if (!outDir) {
  console.error('usage: node check.mjs BUILD_DIR SOURCE_DIR OUT_DIR');
  process.exit(2);
}
fs.mkdirSync(outDir, { recursive: true });

// '/' is the build, '/solutions/' the solution replays, '/made/' replays this check writes.
const madeDir = path.join(outDir, 'replays');
fs.mkdirSync(madeDir, { recursive: true });
const roots = [['/solutions/', path.join(sourceDir, 'data', 'level')], ['/made/', madeDir],
  ['/', buildDir]];
const types = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.wasm': 'application/wasm',
  '.svg': 'image/svg+xml', '.png': 'image/png' };

function serve() {
  const server = http.createServer((req, res) => {
    const url = decodeURIComponent(new URL(req.url, 'http://127.0.0.1').pathname);
    const [prefix, root] = roots.find(([p]) => url.startsWith(p));
    const file = path.join(root, url.slice(prefix.length));
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream',
                         'Content-Length': fs.statSync(file).size });
    fs.createReadStream(file).pipe(res);
  });
  return new Promise(resolve => server.listen(0, '127.0.0.1', () => resolve(server)));
}

let passed = 0, failed = 0;
function report(ok, name, detail) {
  if (ok) passed++; else failed++;
  console.log(`${ok ? 'ok' : 'not ok'} - ${name}${detail ? ': ' + detail : ''}`);
  return ok;
}

// The level list as the game sees it: the level files sorted by name.
const levels = fs.readdirSync(path.join(sourceDir, 'data', 'level'))
  .filter(n => n.toLowerCase().endsWith('.map')).map(n => n.slice(0, -4)).sort();

// A campaign level's solution: beside the level, or in tests/solutions/ of older trees.
function solutionFile(name) {
  const beside = path.join(sourceDir, 'data', 'level', `${name}.solution`);
  return fs.existsSync(beside) ? beside : path.join(sourceDir, 'tests', 'solutions', `${name}.replay`);
}

function lastTick(replayFile) {
  const lines = fs.readFileSync(replayFile, 'utf8').split('\n').map(l => l.trim())
    .filter(l => l && !l.startsWith('#'));
  return Number(lines[lines.length - 1].split(/\s+/)[0]);
}

// `browser` may be a context: its pages share the browser's storage.
async function openPage(browser, base, query) {
  const page = await browser.newPage({ viewport: { width: 1024, height: 860 } });
  const messages = [];
  page.on('console', m => { if (!m.text().includes('GL Driver Message')) messages.push(m.text()); });
  page.on('pageerror', e => messages.push(String(e)));
  await page.goto(`${base}/kelvod.html${query}`);
  return { page, messages };
}

// The query of a headless run: the replay (a file under /made/ or /solutions/)
// and the options, with the dump.
function runQuery(replay, options) {
  const args = `--headless --seed 7 ${options} --replay /replay.txt --dump /dump.json`;
  return `?replay=${replay}&args=${encodeURIComponent(args)}`;
}

// Waits for the run in `page` to end and returns its dump (null if it failed).
async function runDump(page, messages, name) {
  await page.waitForFunction(() => document.title !== 'kelvod', null, { timeout: 180000 });
  const title = await page.title();
  const text = await page.locator('#dump').textContent();
  if (title === 'kelvod: done' && text) return JSON.parse(text);
  report(false, name, `title "${title}", output:\n${messages.slice(-30).join('\n')}`);
  return null;
}

// A headless run of a level with its solution; the dump must show the win.
async function playSolution(browser, base, name) {
  const replay = path.join(sourceDir, 'data', 'level', `${name}.solution`);
  const index = levels.indexOf(name);
  const ticks = lastTick(replay) + 700;
  const { page, messages } = await openPage(browser, base,
    runQuery(`solutions/${name}.solution`, `--level ${index} --ticks ${ticks}`));
  try {
    const dump = await runDump(page, messages, `level ${name} in the browser`);
    if (!dump) return;
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
// bottom line, which holds the version and not the desktop's "F11" key.
const menuButtons = [['Новая игра', 284], ['Загрузить', 336], ['Редактор карт', 388]];
const menuRects = [[256, 70, 768, 190, 120], [440, 430, 584, 450, 60], [0, 480, 1024, 700, 40],
  [466, 738, 558, 754, 60], [580, 736, 700, 756, 60],
  ...menuButtons.map(([, y]) => [440, y - 10, 584, y + 10, 150])];

function menuProblems([title, exit, below, version, f11, ...buttons]) {
  const problems = [];
  if (title < 0.1) problems.push('no title picture');
  menuButtons.forEach(([caption], i) => {
    if (buttons[i] < 0.5) problems.push(`no "${caption}" button`);
    else if (buttons[i] > 0.97) problems.push(`no caption on "${caption}"`);
  });
  if (exit > 0.01) problems.push('"Выход" is shown');
  if (below > 0.001) problems.push('the space under the buttons is not empty');
  if (version < 0.03) problems.push('no version line');
  if (f11 > 0.002) problems.push('the version line names F11');
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
  const context = await browser.newContext({ viewport: { width: 1024, height: 860 } });
  // Every text the loading bar's byte line shows, in order.
  await context.addInitScript(() => {
    window.bytesShown = [];
    new MutationObserver(() => {
      const line = document.getElementById('loading-bytes');
      if (line && line.textContent && window.bytesShown.at(-1) !== line.textContent) window.bytesShown.push(line.textContent);
    }).observe(document, { subtree: true, childList: true, characterData: true });
  });
  const { page, messages } = await openPage(context, base, '');
  const log = found => found.join(', ') + (found.length ? `\n${messages.slice(-30).join('\n')}` : '');
  try {
    await page.setViewportSize({ width: 1400, height: 900 });
    let found = await waitForPicture(page, 'menu.png', menuRects, menuProblems);
    report(found.length === 0, 'the page draws the main menu', log(found));
    const bytes = await page.evaluate(() => window.bytesShown);
    const loadingGone = await page.locator('#loading').isHidden();
    report(bytes.some(b => /\d[.,]\d\s(MB|МБ) (of|из) \d/.test(b)) && loadingGone,
      'while loading the page shows the bytes that came of all', `shown ${JSON.stringify(bytes.slice(-5))}, hidden after ${loadingGone}`);
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
    await context.close();
  }
}

// The player's own levels in one browser context (one IndexedDB): a level
// saved in the editor, the page reloaded, the level downloaded, levels
// brought in from files (a shipped one under a taken name, one with a record
// the game skips, files that are not levels, one
// too big), a level saved in a second tab meanwhile, and the page reloaded
// again to play them.
async function checkOwnLevels(browser, base) {
  const context = await browser.newContext({ viewport: { width: 1024, height: 860 }, acceptDownloads: true });
  const shipped = levels.length;
  // The editor: one block, "Меню", "Сохранить", then the "+" entry of the
  // chooser holding `count` levels, on its last page of thirty.
  const saveReplay = (name, count) => {
    const slot = count % 30;
    fs.writeFileSync(path.join(madeDir, name), ['1 move 512 388', '1 click left', '110 move 50 180',
      '112 click left', '115 move 389 314', '117 click left', '120 move 90 32', '122 click left',
      '145 move 512 336', '147 click left', `170 move ${344 + 84 * (slot % 5)} ${256 + 84 * Math.floor(slot / 5)}`,
      '172 click left', ''].join('\n'));
  };
  saveReplay('save.replay', shipped);
  saveReplay('save-tab.replay', shipped + 3);
  fs.writeFileSync(path.join(madeDir, 'chooser.replay'), '1 move 512 336\n1 click left\n');
  fs.writeFileSync(path.join(madeDir, 'idle.replay'), '# no input\n');
  const [saved, copied, broken, other, last] = [1, 2, 3, 4, 5].map(k => `${1000 + shipped + k}.map`);
  const own = [saved, copied, broken, other, last].join();
  const listed = dump => (dump?.level_menu?.levels ?? []).map(l => l.file_name);
  const options = page => page.locator('#own-levels option').allTextContents();
  const synced = page => page.waitForFunction(() => document.body.dataset.sync === 'idle', null, { timeout: 30000 });
  let page, messages;
  const open = async query => {
    if (page) await page.close();
    ({ page, messages } = await openPage(context, base, query));
  };
  try {
    await open(runQuery('made/save.replay', '--ticks 175'));
    let dump = await runDump(page, messages, 'a level saved in the browser\'s editor');
    if (!dump) return;
    await synced(page);
    if (!report(dump.editor?.file_name === saved && !dump.editor.dirty && (await options(page)).includes(saved),
      `the editor saves ${saved} in the browser`, `editor ${JSON.stringify(dump.editor?.file_name)}, listed ${await options(page)}`)) return;

    await open(runQuery('made/chooser.replay', '--ticks 3'));
    dump = await runDump(page, messages, 'the chooser after a reload');
    if (!dump) return;
    await synced(page);
    if (!report(listed(dump).includes(saved) && (await options(page)).includes(saved),
      `${saved} is still there after a reload`, `chooser ${listed(dump).slice(shipped)}, page ${await options(page)}`)) return;

    await page.selectOption('#own-levels', saved);
    const [download] = await Promise.all([page.waitForEvent('download', { timeout: 10000 }), page.click('#export')])
      .catch(() => [null]);
    if (!download) {
      report(false, '"Скачать уровень" downloads the level', `no download; note "${await page.locator('#note').textContent()}"`);
      return;
    }
    const got = fs.readFileSync(await download.path());
    const stored = Buffer.from(await page.evaluate(n => Array.from(FS.readFile(n)), `/persist/share/kelvod/level/${saved}`));
    report(download.suggestedFilename() === saved && got.length > 0 && got.equals(stored),
      '"Скачать уровень" downloads the level as saved', `${download.suggestedFilename()}, ${got.length} of ${stored.length} bytes`);

    // Files are brought into a page whose game runs (the game reads them).
    await open('');
    await page.waitForFunction(() => !document.getElementById('import').disabled && document.body.dataset.sync === 'idle',
      null, { timeout: 60000 });
    await page.waitForTimeout(1000);
    const bring = async (name, buffer) => {
      await page.setInputFiles('#import-file', { name, mimeType: 'application/octet-stream', buffer });
      await page.waitForTimeout(300);
      return page.locator('#note').textContent();
    };
    const level5 = fs.readFileSync(path.join(sourceDir, 'data', 'level', '1005.map'));
    await bring('1005.map', level5);
    const notALevel = await bring('мой уровень.txt', Buffer.from('not a level at all\n\u0000\u00ff{'));
    const empty = await bring('пусто.map', Buffer.alloc(0));
    const skipped = await bring('с лишним.map', Buffer.concat([level5, Buffer.alloc(80)]));
    const big = await bring('2000.map', Buffer.alloc(1024 * 1024 + 1, 65));
    const record = String(level5.length / 80 + 1);
    report([notALevel, empty].every(n => /не уровень|not a level/.test(n)) && skipped.includes(record),
      '"Загрузить уровень" refuses files that are not levels with the reason and names the records it skips',
      `notes "${notALevel}", "${empty}", "${skipped}"\n${(await page.locator('#log').textContent()).slice(-600)}`);
    await synced(page);
    await page.screenshot({ path: path.join(outDir, 'own-levels.png') });
    const names = await options(page);
    if (!report(names.join() === [saved, copied, broken].join() && /1 (МБ|MB)/.test(big),
      '"Загрузить уровень" takes levels under free names and refuses a file over 1 MB',
      `listed ${names}, note "${big}"`)) return;

    // A second tab saves a level; this page gets it and brings in a file under
    // that name as the next one: neither tab's level overwrites the other's.
    const second = await openPage(context, base, runQuery('made/save-tab.replay', '--ticks 175'));
    dump = await runDump(second.page, second.messages, 'a level saved in a second tab');
    await synced(second.page);
    await second.page.close();
    await page.waitForFunction(n => [...document.querySelectorAll('#own-levels option')].some(o => o.value === n),
      other, { timeout: 10000 }).catch(() => {});
    await bring(other, Buffer.from(fs.readFileSync(path.join(sourceDir, 'data', 'level', '1001.map'))));
    await synced(page);
    if (!report(dump?.editor?.file_name === other && (await options(page)).join() === own,
      'levels saved in two tabs are both kept', `second tab saved ${dump?.editor?.file_name}, listed ${await options(page)}`)) return;

    // The level brought in plays as the shipped one it copies: its solution wins.
    const replay = `solutions/${levels[4]}.solution`;
    await open(runQuery(replay, `--level ${shipped + 1} --ticks ${lastTick(path.join(sourceDir, 'data', 'level', `${levels[4]}.solution`)) + 700}`));
    dump = await runDump(page, messages, 'an imported level in play');
    if (!dump) return;
    report(dump.game?.win_visible === true && listed(dump).slice(shipped).join() === own,
      `the imported ${copied} is listed after a reload and won by its solution`,
      `win ${dump.game?.win_visible}, own ${listed(dump).slice(shipped)}`);

    await open(runQuery('made/idle.replay', `--level ${shipped + 2} --ticks 60`));
    dump = await runDump(page, messages, 'a broken imported level in play');
    if (!dump) return;
    report(dump.scene === 'game' && dump.game.level_index === shipped + 2 && dump.game.map.objects.length > 0,
      `${broken}, brought in with a record skipped, opens`, `scene ${dump.scene}, objects ${dump.game?.map?.objects?.length}`);
  } finally {
    if (page) await page.close();
    await context.close();
  }
}

// Two tabs of one browser win different levels: tab B, opened first, plays
// the second level's solution in its window while tab A wins the first level
// headless and stores its progress. B's win must not wipe A's: a page opened
// afterwards shows both levels won.
async function checkTwoTabs(browser, base) {
  const context = await browser.newContext({ viewport: { width: 1024, height: 860 } });
  const progress = '/persist/state/kelvod/progress.json';
  const holds = (page, name) => page.waitForFunction(([file, name]) => {
    try { return FS.readFile(file, { encoding: 'utf8' }).includes(name); } catch (e) { return false; }
  }, [progress, name], { timeout: 120000 }).then(() => true, () => false);
  const synced = page => page.waitForFunction(() => document.body.dataset.sync === 'idle', null, { timeout: 30000 });
  try {
    const b = await openPage(context, base, `?replay=solutions/${levels[1]}.solution&args=` +
      encodeURIComponent('--seed 7 --level 1 --replay /replay.txt'));
    await synced(b.page);
    const a = await openPage(context, base, runQuery(`solutions/${levels[0]}.solution`,
      `--level 0 --ticks ${lastTick(solutionFile(levels[0])) + 700}`));
    const dumpA = await runDump(a.page, a.messages, 'tab A wins the first level');
    await synced(a.page);
    await a.page.close();
    const wonB = await holds(b.page, `${levels[1]}.map`);
    await synced(b.page);
    const c = await openPage(context, base, `?args=${encodeURIComponent('--headless --dump /dump.json')}`);
    const dump = await runDump(c.page, c.messages, 'a third tab reads the progress');
    const won = (dump?.level_menu?.levels ?? []).slice(0, 2).map(l => l.won);
    report(dumpA?.game?.win_visible === true && wonB && won.join() === 'true,true',
      'two tabs winning different levels keep both wins',
      `A won ${dumpA?.game?.win_visible}, B won ${wonB}, stored ${won}\n${b.messages.slice(-10).join('\n')}`);
    await b.page.close();
    await c.page.close();
  } finally {
    await context.close();
  }
}

// Each way the page can fail to run the game must be said in words on the
// page (#failure), naming what went wrong.
async function checkFailures(browser, base) {
  const notAProgram = Buffer.from('not a program');
  const cases = [
    ['without WebAssembly', '', { init: () => { delete window.WebAssembly; } }, /WebAssembly/],
    ['without kelvod.js', '', { missing: 'kelvod.js' }, /kelvod\.js/],
    ['without kelvod.wasm', '', { missing: 'kelvod.wasm' }, /kelvod\.wasm.*404/s],
    ['without kelvod.data', '', { missing: 'kelvod.data' }, /kelvod\.data/],
    ['with a damaged kelvod.wasm', '', { damaged: 'kelvod.wasm' }, /kelvod\.wasm/],
    ['with a bad ?args=', `?args=${encodeURIComponent('--bogus')}`, {}, /--bogus/],
  ];
  for (const [name, query, how, expected] of cases) {
    const context = await browser.newContext({ viewport: { width: 1024, height: 860 } });
    if (how.init) await context.addInitScript(how.init);
    if (how.missing) await context.route(`**/${how.missing}`, r => r.fulfill({ status: 404, body: '' }));
    if (how.damaged) {
      await context.route(`**/${how.damaged}`, r => r.fulfill({ status: 200, contentType: 'application/wasm', body: notAProgram }));
    }
    try {
      const page = await context.newPage();
      await page.goto(`${base}/kelvod.html${query}`);
      const shown = await page.waitForSelector('#failure:not([hidden])', { timeout: 30000 })
        .then(() => page.locator('#failure').innerText(), () => '');
      if (how.missing === 'kelvod.data') await page.screenshot({ path: path.join(outDir, 'failure.png') });
      report(expected.test(shown), `the page ${name} says why the game does not run`,
        `shown: "${shown}", status "${await page.locator('#status').textContent()}"`);
    } finally {
      await context.close();
    }
  }
}

// Without the browser's storage (no IndexedDB, one that throws, one that
// refuses) the game must still start and win level 001, and the page must
// say that nothing will be kept.
async function checkWithoutStorage(browser, base) {
  const ways = {
    absent: () => { Object.defineProperty(window, 'indexedDB', { value: undefined, configurable: true }); },
    throwing: () => {
      Object.defineProperty(window, 'indexedDB', { configurable: true,
        get() { throw new DOMException('The page may not use storage', 'SecurityError'); } });
    },
    refusing: () => {
      IDBFactory.prototype.open = function open() {
        const request = {};
        setTimeout(() => {
          request.error = new DOMException('The storage refused', 'InvalidStateError');
          if (request.onerror) request.onerror({ preventDefault() {} });
        }, 10);
        return request;
      };
    },
  };
  const replay = solutionFile(levels[0]);
  fs.writeFileSync(path.join(madeDir, 'first.replay'), fs.readFileSync(replay));
  for (const [way, init] of Object.entries(ways)) {
    const context = await browser.newContext({ viewport: { width: 1024, height: 860 } });
    await context.addInitScript(init);
    try {
      const { page, messages } = await openPage(context, base,
        runQuery('made/first.replay', `--level 0 --ticks ${lastTick(replay) + 700}`));
      const dump = await runDump(page, messages, `the game without storage (${way})`);
      const storage = await page.evaluate(() => document.body.dataset.storage);
      const note = await page.locator('#note.shown').textContent().catch(() => '');
      report(dump?.game?.win_visible === true && storage === 'memory' && /будут|lost|пропадут/.test(note),
        `without storage (${way}) the game plays and the page says nothing is kept`,
        `win ${dump?.game?.win_visible}, storage ${storage}, note "${note}"`);
    } finally {
      await context.close();
    }
  }
}

// The keys: the page's buttons are reached and pressed by keyboard, a
// browser shortcut pressed while the page has the focus is left to the
// browser, and once a click gave the canvas the focus the game takes the keys.
async function checkKeys(browser, base) {
  const { page, messages } = await openPage(browser, base, '');
  const prevented = key => page.evaluate(([key, code]) => {
    const e = new KeyboardEvent('keydown', { key, code, keyCode: code === 'F5' ? 116 : 82, ctrlKey: key === 'r',
                                             bubbles: true, cancelable: true });
    (document.activeElement || document.body).dispatchEvent(e);
    return e.defaultPrevented;
  }, key === 'F5' ? ['F5', 'F5'] : ['r', 'KeyR']);
  try {
    await page.waitForFunction(() => !document.getElementById('import').disabled && window.Module && Module.calledRun,
      null, { timeout: 60000 });
    await page.waitForTimeout(1000);  // the game's first frames
    let reached = '';
    for (let i = 0; i < 6 && reached !== 'import'; i++) {
      await page.keyboard.press('Tab');
      reached = await page.evaluate(() => document.activeElement.id);
    }
    let chooser = false;
    page.on('filechooser', () => { chooser = true; });
    await page.waitForTimeout(300);
    if (reached === 'import') await page.keyboard.press('Enter');
    await page.waitForTimeout(1000);
    const pageKeys = [await prevented('F5'), await prevented('r')];
    const box = await page.locator('#canvas').boundingBox();
    await page.mouse.click(box.x + 20, box.y + box.height - 20);
    const focused = await page.evaluate(() => document.activeElement.id);
    const gameKeys = await prevented('F5');
    report(chooser && pageKeys.join() === 'false,false' && focused === 'canvas' && gameKeys,
      'the page\'s buttons work by keyboard, browser keys work on the page, a click gives the keys to the game',
      `Tab reached "${reached}", file chooser ${chooser}, F5 and Ctrl+R prevented on the page ${pageKeys}, ` +
      `focus after a click "${focused}", F5 prevented in the game ${gameKeys}\n${messages.slice(-5).join('\n')}`);
  } finally {
    await page.close();
  }
}

// Closing the tab while the editor holds unsaved work asks first; the game
// tells the page so.
async function checkUnsavedEditor(browser, base) {
  fs.writeFileSync(path.join(madeDir, 'edit.replay'), ['1 move 512 388', '1 click left', '110 move 50 180',
    '112 click left', '115 move 389 314', '117 click left', ''].join('\n'));
  const { page, messages } = await openPage(browser, base, `?replay=made/edit.replay&args=${encodeURIComponent('--replay /replay.txt')}`);
  let asked = false;
  page.on('dialog', dialog => { asked = asked || dialog.type() === 'beforeunload'; dialog.dismiss(); });
  try {
    await page.waitForFunction(() => {
      try { return Module.ccall('kelvod_unsaved_work', 'number', [], []) === 1; } catch (e) { return false; }
    }, null, { timeout: 60000 }).catch(() => {});
    await page.mouse.click(5, 5);  // a gesture on the page: browsers ask only then
    // Leaving the page asks; the answer "stay" keeps it.
    await page.goto('about:blank', { timeout: 5000 }).catch(() => {});
    report(asked && page.url().includes('kelvod.html'), 'leaving the page with unsaved editor work asks first',
      `asked ${asked}, now at ${page.url()}\n${messages.slice(-5).join('\n')}`);
  } finally {
    await page.close();
  }
}

// A phone on its side (844 by 390, touch, Chromium's device emulation): the
// game takes the whole height, the page's controls stay out of its way, the
// footer speaks of touch, and level 001 is won with one finger aiming and
// another holding "Нагреть". Upright, the page asks to turn the phone.
async function checkPhone(browser, base) {
  const context = await browser.newContext({ viewport: { width: 844, height: 390 }, deviceScaleFactor: 2,
                                             isMobile: true, hasTouch: true });
  const { page, messages } = await openPage(context, base, `?args=${encodeURIComponent('--level 0')}`);
  try {
    await page.setViewportSize({ width: 844, height: 390 });
    await page.waitForSelector('#heat:not([hidden])', { timeout: 60000 }).catch(() => {});
    const box = await page.locator('#canvas').boundingBox();
    const header = await page.locator('header').boundingBox();
    const footer = await page.locator('footer').isVisible();
    const touchText = await page.locator('footer .touch').textContent();
    const full = await page.locator('#fullscreen').isVisible();
    await page.screenshot({ path: path.join(outDir, 'phone.png') });
    const fits = box.height >= 385 && Math.abs(box.width - box.height * 4 / 3) < 3 &&
      header.x + header.width <= box.x + 1 && !footer && full;
    report(fits && /Нагреть|Heat/.test(touchText), 'a phone on its side shows the game on its whole height, the page out of its way',
      `canvas ${JSON.stringify(box)}, header ${JSON.stringify(header)}, footer shown ${footer}, full screen button ${full}`);

    const cdp = await context.newCDPSession(page);
    const at = (x, y, id) => ({ x: box.x + x * box.width / 1024, y: box.y + y * box.height / 768, id });
    const heat = await page.locator('#heat').boundingBox();
    const heatPoint = heat ? { x: heat.x + heat.width / 2, y: heat.y + heat.height / 2, id: 1 } : null;
    const touch = (type, touchPoints) => cdp.send('Input.dispatchTouchEvent', { type, touchPoints });
    await touch('touchStart', [at(364, 649, 0)]);  // a tap on the hero arms it
    await touch('touchEnd', []);
    await page.waitForTimeout(500);
    await touch('touchStart', [at(500, 420, 0)]);
    for (let k = 1; k <= 5; k++) await touch('touchMove', [at(500 + (614 - 500) * k / 5, 420 + (294 - 420) * k / 5, 0)]);
    if (heatPoint) await touch('touchStart', [at(614, 294, 0), heatPoint]);
    await page.waitForTimeout(3000);
    await touch('touchMove', [at(614, 294, 0)]);  // the heating finger lifted
    await touch('touchEnd', []);
    const won = await page.waitForFunction(() => {
      try { return FS.readFile('/persist/state/kelvod/progress.json', { encoding: 'utf8' }).includes('1001.map'); } catch (e) { return false; }
    }, null, { timeout: 20000 }).then(() => true, () => false);
    await page.screenshot({ path: path.join(outDir, 'phone-won.png') });
    report(heatPoint && won, 'on a phone a finger aims and another heats: level 001 is won',
      `heat control ${JSON.stringify(heat)}\n${messages.slice(-5).join('\n')}`);

    await page.setViewportSize({ width: 390, height: 844 });
    await page.waitForTimeout(300);
    report(await page.locator('#turn').isVisible(), 'an upright phone is asked to turn');
  } finally {
    await context.close();
  }
}

// What a first visit costs: the bytes the server sent and the time from the
// start of the navigation to the game's first frame (the main menu), on this
// machine's loopback and through a connection of 4 Mbit/s with 40 ms of
// latency (Chromium's network emulation). Printed for people; the check is
// that the menu came at all.
async function measureLoad(browser, base) {
  for (const [name, network] of [['loopback', null], ['4 Mbit/s', { downloadThroughput: 4e6 / 8, uploadThroughput: 1e6 / 8, latency: 40 }]]) {
    const context = await browser.newContext({ viewport: { width: 1024, height: 860 } });
    await context.addInitScript(() => {
      const next = window.requestAnimationFrame.bind(window);
      window.requestAnimationFrame = callback => next(time => {
        callback(time);
        if (!window.firstFrameAt && window.Module && Module.calledRun) window.firstFrameAt = performance.now();
      });
    });
    const page = await context.newPage();
    const cdp = await context.newCDPSession(page);
    await cdp.send('Network.enable');
    if (network) await cdp.send('Network.emulateNetworkConditions', { offline: false, ...network });
    let bytes = 0;
    cdp.on('Network.loadingFinished', e => { bytes += e.encodedDataLength; });
    try {
      await page.goto(`${base}/kelvod.html`);
      const first = await page.waitForFunction(() => window.firstFrameAt, null, { timeout: 120000 })
        .then(h => h.jsonValue(), () => null);
      await page.waitForTimeout(500);
      report(first !== null, `first visit (${name}): ${(bytes / 1e6).toFixed(2)} MB sent, first menu frame at ${Math.round(first)} ms`);
    } finally {
      await context.close();
    }
  }
}

// The desktop game beside the browser build (KELVOD_DESKTOP, set by check.sh),
// run headless on the source's data folder: nothing it does is kept.
const desktop = process.env.KELVOD_DESKTOP || '';
function runDesktop(args) {
  const run = spawnSync(desktop, ['--headless', '--data', path.join(sourceDir, 'data'), ...args],
                        { encoding: 'utf8', timeout: 120000 });
  return { status: run.status, output: `${run.stdout}${run.stderr}` };
}

// A link opened by the desktop game with `solutionFile` played on it; the dump must show the win.
function desktopWins(link, solutionFile) {
  const dumpFile = path.join(outDir, 'desktop-shared.json');
  fs.rmSync(dumpFile, { force: true });
  const run = runDesktop(['--seed', '3', '--open', link, '--replay', solutionFile, '--ticks',
                          String(lastTick(solutionFile) + 700), '--dump', dumpFile]);
  const game = run.status === 0 ? JSON.parse(fs.readFileSync(dumpFile, 'utf8')).game : null;
  return { won: game?.shared === true && game.solution === true && game.win_visible === true,
           detail: game ? `shared ${game.shared}, solution ${game.solution}, win ${game.win_visible}` : run.output.slice(-600) };
}

// A link to the page opened headless with a replay: the dump of the run.
async function openLink(browser, link, replay, ticks, name) {
  const query = runQuery(replay, `--ticks ${ticks}`);
  const { page, messages } = await openPage(browser, link.slice(0, link.indexOf('/kelvod.html')), `${query}${link.slice(link.indexOf('#'))}`);
  try {
    return await runDump(page, messages, name);
  } finally {
    await page.close();
  }
}

// A code the desktop game made for the first level, proven by its shipped
// solution: a link to the page with it after '#' opens the level straight
// into play, where the solution wins it. A damaged link opens nothing and
// says why.
async function checkShareLink(browser, base) {
  if (!desktop || !fs.existsSync(path.join(sourceDir, 'data', 'level', `${levels[0]}.solution`))) {
    console.log('skip - desktop links: no desktop game (KELVOD_DESKTOP), or the first level has no solution');
    return;
  }
  const code = (runDesktop(['--share', '0']).output.match(/kv1\.[A-Za-z0-9_-]+/) || [''])[0];
  if (!report(code !== '', 'the desktop game prints the share code of a proven level')) return;
  fs.writeFileSync(path.join(madeDir, 'shared.replay'), fs.readFileSync(solutionFile(levels[0])));
  const ticks = lastTick(solutionFile(levels[0])) + 700;
  const dump = await openLink(browser, `${base}/kelvod.html#${code}`, 'made/shared.replay', ticks, 'a shared level opened from its link');
  report(dump?.game?.shared === true && dump.game.win_visible === true,
    `a link with a code made by the desktop game (${code.length} characters) opens the level in the browser, and its solution wins it`,
    `scene ${dump?.scene}, shared ${dump?.game?.shared}, win ${dump?.game?.win_visible}`);
  // Headless, a code that cannot be opened ends the run as a bad command line (status 2).
  const { page, messages } = await openPage(browser, base, `${runQuery('made/shared.replay', `--ticks ${ticks}`)}#${code.slice(0, -9)}`);
  try {
    await page.waitForFunction(() => document.title !== 'kelvod', null, { timeout: 180000 });
    const status = await page.locator('#dump').getAttribute('data-status');
    const said = messages.some(m => m.includes('the share code cannot be opened'));
    report(status === '2' && said, 'a damaged link is refused with its reason', `status ${status}`);
  } finally {
    await page.close();
  }
}

// The author in the browser: the editor opens the first level, test play wins
// it (played by its solution), "Сохранить" keeps it as an own level with the
// proof, and "Поделиться" copies a link: the page's address, '#', the code.
// A friend's browser opens the link and the author's solution wins it; so
// does the desktop game.
async function checkEditorShare(browser, base) {
  const solution = solutionFile(levels[0]);
  const play = 178, events = fs.readFileSync(solution, 'utf8').split('\n').map(l => l.trim())
    .filter(l => l && !l.startsWith('#')).map(l => l.replace(/^\d+/, t => String(Number(t) + play)));
  const slot = levels.length % 30;  // the chooser's "+" for a new own level
  const at = (tick, x, y) => [`${tick} move ${x} ${y}`, `${tick + 2} click left`];
  const end = lastTick(solution) + play + 600;  // the battery rolls to the hero meanwhile
  fs.writeFileSync(path.join(madeDir, 'editor-share.replay'), [
    ...at(1, 512, 388), ...at(110, 90, 32), ...at(132, 512, 388), ...at(154, 344, 256), ...at(play - 2, 462, 25),
    ...events, ...at(end, 562, 25), ...at(end + 25, 90, 32), ...at(end + 50, 512, 336),
    ...at(end + 75, 344 + 84 * (slot % 5), 256 + 84 * Math.floor(slot / 5)), ...at(end + 100, 90, 32),
    ...at(end + 125, 512, 544), ''].join('\n'));
  const context = await browser.newContext({ viewport: { width: 1024, height: 860 } });
  // No clipboard, as for a page served over plain http: the page must show
  // the link, selected, for copying by hand, and the game must not claim it copied.
  await context.addInitScript(() => Object.defineProperty(navigator, 'clipboard', { value: undefined }));
  const { page, messages } = await openPage(context, base, runQuery('made/editor-share.replay', `--ticks ${end + 135}`));
  let link = '', kept = '';
  try {
    const dump = await runDump(page, messages, 'a level proven and shared in the browser\'s editor');
    if (!dump) return;
    link = await page.locator('#note input').inputValue().catch(() => '');
    const file = dump.editor?.file_name ?? '';
    kept = await page.evaluate(n => { try { return FS.readFile(n, { encoding: 'utf8' }); } catch (e) { return ''; } },
                               `/persist/share/kelvod/level/${file.replace(/\.map$/, '.solution')}`);
    if (!report(dump.editor?.proven === true && link.startsWith(`${base}/kelvod.html#kv1.`) &&
                /^# proves level/m.test(kept) && /не дал|would not/i.test(dump.dialog?.text ?? ''),
      '"Поделиться" in the browser\'s editor gives a link to the page with the code of a level proven in test play, ' +
      'shown on the page for copying by hand when the browser has no clipboard',
      `proven ${dump.editor?.proven}, file ${file}, dialog "${dump.dialog?.text}", shown "${link.slice(0, 80)}"`)) return;
  } finally {
    await context.close();
  }
  fs.writeFileSync(path.join(madeDir, 'editor-proof.replay'), kept);
  const friend = await browser.newContext({ viewport: { width: 1024, height: 860 } });
  try {
    const dump = await openLink(friend, link, 'made/editor-proof.replay', lastTick(solution) + 700, 'a link made in the editor');
    report(dump?.game?.shared === true && dump.game.solution === true && dump.game.win_visible === true,
      `a friend's browser opens the editor's link (${link.length} characters) and the author's solution wins it`,
      `shared ${dump?.game?.shared}, solution ${dump?.game?.solution}, win ${dump?.game?.win_visible}`);
  } finally {
    await friend.close();
  }
  if (!desktop) {
    console.log('skip - a browser link on the desktop: KELVOD_DESKTOP names no desktop game');
    return;
  }
  const { won, detail } = desktopWins(link, path.join(madeDir, 'editor-proof.replay'));
  report(won, 'the desktop game opens the link made in the browser, and the author\'s solution wins it', detail);
}

const server = await serve();
const base = `http://127.0.0.1:${server.address().port}`;
const browser = await chromium.launch({
  executablePath: process.env.KELVOD_CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
         '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
// KELVOD_CHECKS=menu,keys,... runs only the checks named (while working on the page).
const only = (process.env.KELVOD_CHECKS || '').split(',').filter(Boolean);
const checks = { solutions: async (browser, base) => { for (const name of levels) await playSolution(browser, base, name); },
  menu: checkMenu, ownLevels: checkOwnLevels, twoTabs: checkTwoTabs, failures: checkFailures,
  storage: checkWithoutStorage, keys: checkKeys, unsaved: checkUnsavedEditor, share: checkShareLink,
  editorShare: checkEditorShare,
  phone: checkPhone, load: measureLoad };
try {
  for (const [name, check] of Object.entries(checks)) if (!only.length || only.includes(name)) await check(browser, base);
} finally {
  await browser.close();
  server.close();
}
console.log(`${passed} passed, ${failed} failed`);
process.exit(failed ? 1 : 0);
