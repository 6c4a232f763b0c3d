// The playground page in headless chromium, against tickrail-sim: the same
// prompt lines and keys print the same bytes and leave the same strip layer
// in both; the canvas shows the layer; hotkeys and LIST move the strip, a bad
// option moves nothing; no line or key wedges the page.
// Usage: node page-test.mjs PAGE.html TICKRAIL-SIM WORK-FOLDER
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { openBrowser, openPage, readPng } from './browser.mjs';

const [pageFile, simTool, work] = process.argv.slice(2);
if (!work) {
  console.error('usage: node page-test.mjs PAGE.html TICKRAIL-SIM WORK-FOLDER');
  process.exit(2);
}
fs.mkdirSync(work, { recursive: true });
let failures = 0, checks = 0;
function check(ok, what, expected, actual) {
  checks++;
  if (ok) return;
  failures++;
  console.log(`FAIL: ${what}\n  expected: ${JSON.stringify(expected)?.slice(0, 400)}\n  actual:   ${JSON.stringify(actual)?.slice(0, 400)}`);
}

// Each row: steps as the page takes them ([run, LINE] or [key, NAME]), with
// the console's size and background set first when given.
const CASES = [
  { name: 'the load alone', steps: [] },
  { name: 'a left strip, every 5th row red', steps: [['run', 'tickrail /P:L /J:*5=Red']] },
  { name: 'alpha, navy at 200, white marks', steps: [['run', 'tickrail /X:A /B:Navy /A:200']] },
  { name: 'columns 72 and every 10th red, marks 2 wide', steps: [['run', 'TICKRAIL /I:72,*10=Red /W:2']] },
  { name: 'the hotkey: to the bottom, then hidden', steps: [['key', 'Shift-F12'], ['run', 'tickrail /C:Yellow'], ['key', 'shift-f12']] },
  { name: 'a second hotkey switches to alpha', steps: [['run', 'tickrail /K2:Ctrl-Shift-F1 /M2:17'], ['key', 'Ctrl-Shift-F1']] },
  { name: 'LIST /U moves the strip three rows down', steps: [['run', 'list /u *.txt']] },
  { name: 'the next line ends LIST and puts it back', steps: [['run', 'list notes.txt'], ['run', 'tickrail /W:3']] },
  { name: 'a bad option changes nothing', steps: [['run', 'tickrail /P:B /A:20'], ['run', 'tickrail /Q'], ['run', 'tickrail /K2:Bogus']] },
  { name: 'other keys pass on', steps: [['key', 'Alt-A'], ['key', 'F5']] },
  { name: 'unloaded, refused, loaded again', steps: [['run', 'plugin /u tickrail'], ['run', 'tickrail /P:B'], ['run', 'plugin /u tickrail'],
    ['run', 'plugin /l C:\\Tools\\other.dll'], ['run', 'plugin /l C:\\Tools\\Tickrail\\tickrail.dll'], ['run', 'plugin /l tickrail.dll']] },
  { name: 'text beyond Latin-1 and control characters', steps: [['run', 'tickrail /C:Grün☃😀'], ['run', 'tickrail /B:\u0007\u001b[1m'], ['run', 'nosuch ☃ "\t"']] },
  { name: 'a wide console on blue', columns: 132, rows: 50, background: 1, steps: [['run', 'tickrail /P:R']] },
  { name: 'a narrow console on white', columns: 20, rows: 5, background: 15, steps: [['run', 'tickrail /P:B /I:*4=Green']] },
  { name: 'the help and the key list', steps: [['run', 'tickrail /??'], ['run', 'tickrail /L']] },
];

function simulate(row, index) {
  const args = [];
  for (const [kind, text] of row.steps) args.push(kind === 'run' ? '--run' : '--key', text);
  if (row.columns) args.push('--columns', String(row.columns), '--rows', String(row.rows), '--background', String(row.background));
  const base = path.join(work, `case${index}`);
  execFileSync(simTool, [...args, '--png', `${base}.png`, '--strip', `${base}-strip.png`, '--transcript', `${base}.txt`], { stdio: 'pipe' });
  return { printed: fs.readFileSync(`${base}.txt`, 'utf8'), strip: readPng(`${base}-strip.png`) };
}

// The page's strip() laid into a transparent picture the size of the console.
function layerPicture(layer, width, height) {
  const rgba = new Uint8ClampedArray(width * height * 4);
  if (layer) {
    for (let y = 0; y < layer.height; y++)
      for (let x = 0; x < layer.width; x++)
        for (let k = 0; k < 4; k++) rgba[((layer.y + y) * width + layer.x + x) * 4 + k] = layer.rgba[(y * layer.width + x) * 4 + k];
  }
  return rgba;
}

function firstDifference(a, b) {
  if (a.length !== b.length) return `sizes ${a.length} and ${b.length}`;
  for (let i = 0; i < a.length; i++) if (a[i] !== b[i]) return `byte ${i} (pixel ${i >> 2}): ${a[i]} and ${b[i]}`;
  return null;
}

async function pageStrip(page) {
  return page.evaluate(() => {
    const layer = window.tickrail.strip();
    return layer && { ...layer, rgba: Array.from(layer.rgba) };
  });
}

async function nextFrame(page) {
  await page.evaluate(() => new Promise((resolve) => requestAnimationFrame(() => requestAnimationFrame(resolve))));
}

const browser = await openBrowser();
try {
  const page = await openPage(browser, pageFile);

  // The table, in the page and in tickrail-sim.
  for (const [index, row] of CASES.entries()) {
    await page.reload();
    await page.evaluate(() => window.tickrail.ready);
    const printed = await page.evaluate((row) => {
      if (row.columns) {
        window.tickrail.resize(row.columns, row.rows);
        window.tickrail.background(row.background);
      }
      return row.steps.map(([kind, text]) => window.tickrail[kind](text)).join('');
    }, row);
    const expected = simulate(row, index);
    check(printed === expected.printed, `${row.name}: the page prints what tickrail-sim prints`, expected.printed, printed);
    const layer = await pageStrip(page);
    const difference = firstDifference(layerPicture(layer, expected.strip.width, expected.strip.height), expected.strip.rgba);
    check(difference === null, `${row.name}: the page's strip is tickrail-sim's, pixel for pixel`, 'no difference', difference);
  }

  // A link runs its lines in order at load: a bottom strip, then the left one.
  const linked = await openPage(browser, pageFile, '#run=tickrail%20/P:B&run=tickrail%20/P:L%20/J:*5%3DRed');
  const linkedRows = await linked.evaluate(() => window.tickrail.text());
  check(linkedRows.some((row) => row === 'C:\\work> tickrail /P:L /J:*5=Red'), 'a link echoes its lines', 'its last line', linkedRows);
  const linkedStrip = await pageStrip(linked);
  const expectedLinked = simulate({ steps: [['run', 'tickrail /P:B'], ['run', 'tickrail /P:L /J:*5=Red']] }, 'link');
  check(firstDifference(layerPicture(linkedStrip, 640, 400), expectedLinked.strip.rgba) === null, 'a link gives the strip of its lines in order',
    'a left strip', linkedStrip && [linkedStrip.x, linkedStrip.y, linkedStrip.width, linkedStrip.height]);

  // The canvas shows the strip's opaque pixels in its colours, where strip() puts them.
  await page.reload();
  await page.evaluate(() => window.tickrail.ready && window.tickrail.run('tickrail /P:L /J:*5=Red /W:2'));
  await nextFrame(page);
  const shot = path.join(work, 'canvas.png');
  await page.locator('#console').screenshot({ path: shot });
  const picture = readPng(shot), shown = await pageStrip(page);
  let opaque = 0, wrong = null;
  for (let y = 0; y < shown.height; y++) {
    for (let x = 0; x < shown.width; x++) {
      const from = (y * shown.width + x) * 4, to = ((shown.y + y) * picture.width + shown.x + x) * 4;
      if (shown.rgba[from + 3] !== 255) continue;
      opaque++;
      const want = shown.rgba.slice(from, from + 3), got = Array.from(picture.rgba.slice(to, to + 3));
      if (!wrong && want.some((v, k) => v !== got[k])) wrong = { x: shown.x + x, y: shown.y + y, want, got };
    }
  }
  check(picture.width === 640 && picture.height === 400, 'the canvas shows one pixel per console pixel', [640, 400], [picture.width, picture.height]);
  check(opaque > 100 && !wrong, 'the canvas shows the strip\'s opaque pixels', 'every opaque pixel in its colour', wrong || opaque);

  // Hotkeys and LIST move the strip; a bad option moves nothing.
  await page.reload();
  const moves = await page.evaluate(async () => {
    const t = window.tickrail;
    await t.ready;
    const place = () => { const s = t.strip(); return s && [s.x, s.y, s.width, s.height]; };
    const result = { start: place() };
    t.key('Shift-F12');
    result.hotkey = place();
    t.key('Shift-F12');
    result.hidden = place();
    t.key('Shift-F12');
    t.run('list file.txt');
    result.list = place();
    t.key('Esc');
    result.listEnded = place();
    const report = t.run('tickrail');
    result.bad = t.run('tickrail /P:R /W:9 /X:Q');
    result.badPlace = place();
    result.sameReport = t.run('tickrail') === report;
    return result;
  });
  check(JSON.stringify(moves.start) === '[0,0,640,16]', 'the strip starts on top', [0, 0, 640, 16], moves.start);
  check(moves.hotkey && moves.hotkey[1] >= 400 - 2 * 16, 'Shift-F12 moves it to the bottom', 'the last row', moves.hotkey);
  check(moves.hidden === null, 'Shift-F12 again hides it', null, moves.hidden);
  check(JSON.stringify(moves.list) === '[0,16,640,16]', 'LIST moves it down a row', [0, 16, 640, 16], moves.list);
  check(JSON.stringify(moves.listEnded) === '[0,0,640,16]', 'Esc ends LIST and puts it back', [0, 0, 640, 16], moves.listEnded);
  check(/^Tickrail plugin: /.test(moves.bad) && JSON.stringify(moves.badPlace) === '[0,0,640,16]' && moves.sameReport,
    'a bad option prints the plug-in\'s error and changes nothing', 'an error, the strip and the report as before', moves);

  // Keys typed in the console reach the plug-in; the shell's version picks the key table.
  await page.reload();
  await page.evaluate(() => window.tickrail.ready);
  await page.click('#console');
  await page.keyboard.press('Shift+F12');
  const typed = await page.evaluate(() => {
    const t = window.tickrail, s = t.strip();
    const keys24 = t.run('tickrail /L');
    const reload = t.version('23.00');
    const keys13 = t.run('tickrail /L');
    const before = t.strip();
    t.key('Shift-F12');
    const after = t.strip();
    return { y: s && s.y, reload, tablesDiffer: keys24 !== keys13, moved: before.y === 0 && after.y > 300 };
  });
  check(typed.y > 300, 'Shift-F12 typed in the console moves the strip to the bottom', 'the last row', typed.y);
  check(/loaded; hotkey is Shift-F12/.test(typed.reload) && typed.tablesDiffer && typed.moved,
    'another shell version loads the plug-in again with the other key table, whose Shift-F12 works', 'both', typed);
  await page.evaluate(() => window.tickrail.run('tickrail /E:Y /K2:Ctrl-Num* /M2:10'));
  await page.keyboard.press('Control+NumpadMultiply');
  const keypadHidden = await page.evaluate(() => window.tickrail.strip());
  check(keypadHidden === null, 'a keypad hotkey typed before version 24 reaches the plug-in by its older name', null, keypadHidden);

  // Bad input never wedges the page: the answers to odd lines and keys, then
  // 1,000 random lines and keys, after which TICKRAIL /?? answers as before.
  const survived = await page.evaluate(async () => {
    const t = window.tickrail;
    const first = t.run('tickrail /??');
    const odd = ['', ' ', 'x'.repeat(10000), `tickrail ${'/W:1 '.repeat(2000)}`, `tickrail /C:${'\u0001\u001f\u007f\u0000'}`,
      'tickrail /B:日本語 /H:😀', '""""', '"', 'tickrail """"', `list ${'\ud800'}`, 'tickrail /K1:\u00e9', '\t\r\n'];
    const answers = odd.map((line) => typeof t.run(line));
    const keys = ['', 'Nonsense', 'Ctrl-', '-', 'Shift-'.repeat(100), 'x'.repeat(10000), 'Esc'].map((name) => typeof t.key(name));
    let seed = 27;
    const random = (n) => { seed = (seed * 1103515245 + 12345) % 2147483648; return seed % n; };
    const words = ['tickrail', 'TICKRAIL', 'list', 'plugin', '/P:', '/E:', '/X:', '/A:', '/B:', '/C:', '/H:', '/I:', '/J:', '/K2:', '/M2:', '/W:', '/O:',
      '/Z:', '/U:', '/D', '/R', '/L', '/?', '/u', '/l', 'tickrail.dll', 'T', 'B', 'L', 'R', 'Y', 'N', 'A', 'C', 'Red', '*5', '72,', '=', '"', ' ', '☃', '\u0007'];
    const keyNames = ['Shift-F12', 'Ctrl-Shift-F1', 'F5', 'Alt-A', 'Esc', 'Ctrl-Alt-Del', 'Up', 'PgDn', 'Enter', 'Nonsense'];
    for (let i = 0; i < 1000; i++) {
      if (random(4) === 0) {
        t.key(keyNames[random(keyNames.length)]);
      } else {
        let line = '';
        for (let n = random(8); n >= 0; n--) line += words[random(words.length)] + (random(3) ? '' : ' ');
        t.run(line);
      }
    }
    t.run('plugin /l tickrail.dll');  // the loop may have unloaded it
    return { first, again: t.run('tickrail /??'), answers, keys, rows: t.text().length };
  });
  check(survived.answers.every((type) => type === 'string') && survived.keys.every((type) => type === 'string'),
    'odd lines and keys get answers', 'strings', [survived.answers, survived.keys]);
  check(survived.first.includes('1.0.2') && survived.again === survived.first, 'after 1,000 random lines and keys TICKRAIL /?? answers as before',
    survived.first, survived.again);
  check(survived.rows === 25, 'the console still shows its rows', 25, survived.rows);
} finally {
  await browser.close();
}
console.log(`browser: ${checks - failures} passed, ${failures} failed`);
process.exit(failures ? 1 : 0);
