// Measures the playground page in headless chromium: its size, the time
// from the page's navigation to tickrail.ready (and from its script's start), the time from a key press to
// the end of the frame that draws its effect, and the module's memory. It
// prints the figures; it fails nothing.
// Usage: node benchmark.mjs PAGE.html
import fs from 'node:fs';
import { openBrowser, openPage } from './browser.mjs';

const STARTS = 10, PRESSES = 100;
const pageFile = process.argv[2];
if (!pageFile) {
  console.error('usage: node benchmark.mjs PAGE.html');
  process.exit(2);
}
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const worst = (values) => Math.max(...values);
const ms = (value) => `${value.toFixed(1)} ms`;

// Presses Shift-F12 in the console; returns each press's time to the end of
// the frame that drew it (a listener after the page's own, whose frame
// callback runs after the page's drawing).
async function pressKeys(page) {
  await page.click('#console');
  await page.evaluate(() => {
    window.keyToFrame = [];
    window.addEventListener('keydown', (event) => {
      if (event.key !== 'F12') return;  // Shift's own keydown comes first
      const pressed = event.timeStamp;
      requestAnimationFrame(() => window.keyToFrame.push(performance.now() - pressed));
    });
  });
  for (let i = 0; i < PRESSES; i++) {
    await page.keyboard.press('Shift+F12');
    await page.waitForFunction((count) => window.keyToFrame.length >= count, i + 1);
  }
  return page.evaluate(() => window.keyToFrame);
}

// Without the browser's frame clock (60 a second): the page's own latency.
const unpaced = await openBrowser(['--disable-gpu-vsync', '--disable-frame-rate-limit']);
const keyToUnpacedFrame = await pressKeys(await openPage(unpaced, pageFile));
await unpaced.close();

const browser = await openBrowser();
try {
  // Reloads in one tab: the browser's own start of a tab is not the page's.
  const readyTimes = [], ownTimes = [];
  const starts = await openPage(browser, pageFile);
  for (let i = 0; i < STARTS; i++) {
    await starts.reload();
    const [ready, own] = await starts.evaluate(async () => {
      await window.tickrail.ready;
      const mark = (name) => performance.getEntriesByName(name)[0].startTime;
      return [mark('tickrail-ready'), mark('tickrail-ready') - mark('tickrail-script')];
    });
    readyTimes.push(ready);
    ownTimes.push(own);
  }
  await starts.close();

  const page = await openPage(browser, pageFile);
  const keyToFrame = await pressKeys(page);
  const keyWork = await page.evaluate((count) => {
    const times = [];
    for (let i = 0; i < count; i++) {
      const start = performance.now();
      window.tickrail.key('Shift-F12');
      times.push(performance.now() - start);
    }
    return times;
  }, PRESSES);
  const memory = await page.evaluate(() => {
    const atStart = window.tickrail.memory.buffer.byteLength;
    for (let i = 0; i < 1000; i++) window.tickrail.run(`tickrail /P:${'TBLR'[i % 4]} /I:*${1 + (i % 9)}=Red /W:${i % 4}`);
    window.tickrail.run(`tickrail ${'/W:1 '.repeat(2000)}`);
    return { atStart, after: window.tickrail.memory.buffer.byteLength };
  });
  const hotkeyMoves = await page.evaluate(() => window.tickrail.text().some((row) => row.startsWith('C:\\work>')));

  const size = fs.statSync(pageFile).size;
  console.log(`page size:            ${size} bytes (${(size / 1024).toFixed(0)} KiB)`);
  console.log(`ready after load:     median ${ms(median(readyTimes))}, worst ${ms(worst(readyTimes))} of ${STARTS} loads ` +
    `(the page's script alone: median ${ms(median(ownTimes))}, worst ${ms(worst(ownTimes))})`);
  console.log(`key to drawn frame:   median ${ms(median(keyToFrame))}, worst ${ms(worst(keyToFrame))} of ${PRESSES} presses of Shift-F12 ` +
    `(the module's part: median ${ms(median(keyWork))}, worst ${ms(worst(keyWork))})`);
  console.log(`  without the 60 Hz frame clock: median ${ms(median(keyToUnpacedFrame))}, worst ${ms(worst(keyToUnpacedFrame))}`);
  console.log(`module memory:        ${(memory.atStart / 1048576).toFixed(2)} MiB at start, ` +
    `${(memory.after / 1048576).toFixed(2)} MiB after 1,000 commands and a 10,000-character line`);
  if (!hotkeyMoves) console.log('(the console shows no prompt: the page did not answer)');
} finally {
  await browser.close();
}
