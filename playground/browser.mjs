// Opens the playground page in Debian's chromium, headless, through
// playwright-core (no browser of its own), one CSS pixel per device pixel.
import fs from 'node:fs';
import path from 'node:path';
import url from 'node:url';
import zlib from 'node:zlib';
import { chromium } from 'playwright-core';

export const CHROMIUM = process.env.TICKRAIL_CHROMIUM || '/usr/bin/chromium';

export async function openBrowser(extraArgs = []) {
  // playwright-core gives every launch a fresh profile folder of its own.
  return chromium.launch({
    executablePath: CHROMIUM,
    headless: true,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update',
      '--disable-sync', '--no-first-run', '--force-device-scale-factor=1', '--force-color-profile=srgb', ...extraArgs],
  });
}

// A page at `address` (a file path, with an optional #fragment), once
// tickrail.ready has resolved; the page's errors fail the run.
export async function openPage(browser, file, fragment = '') {
  const page = await browser.newPage({ viewport: { width: 2200, height: 1900 } });
  page.on('pageerror', (error) => { throw error; });
  await page.goto(url.pathToFileURL(path.resolve(file)).href + fragment);
  await page.evaluate(() => window.tickrail.ready);
  return page;
}

// An 8-bit RGB or RGBA PNG, not interlaced, as {width, height, rgba}.
export function readPng(file) {
  const bytes = fs.readFileSync(file);
  let at = 8, width = 0, height = 0, channels = 0;
  const data = [];
  while (at < bytes.length) {
    const length = bytes.readUInt32BE(at), type = bytes.toString('ascii', at + 4, at + 8);
    const body = bytes.subarray(at + 8, at + 8 + length);
    if (type === 'IHDR') {
      width = body.readUInt32BE(0);
      height = body.readUInt32BE(4);
      if (body[8] !== 8 || body[12] !== 0 || (body[9] !== 2 && body[9] !== 6)) throw new Error(`${file}: not 8-bit RGB(A)`);
      channels = body[9] === 6 ? 4 : 3;
    } else if (type === 'IDAT') {
      data.push(body);
    }
    at += 12 + length;
  }
  const raw = zlib.inflateSync(Buffer.concat(data));
  const stride = width * channels, rgba = new Uint8ClampedArray(width * height * 4);
  let previous = new Uint8Array(stride);
  for (let y = 0; y < height; y++) {
    const filter = raw[y * (stride + 1)], line = raw.subarray(y * (stride + 1) + 1, (y + 1) * (stride + 1));
    const row = new Uint8Array(stride);
    for (let i = 0; i < stride; i++) {
      const left = i >= channels ? row[i - channels] : 0, up = previous[i], upLeft = i >= channels ? previous[i - channels] : 0;
      const p = left + up - upLeft, pa = Math.abs(p - left), pb = Math.abs(p - up), pc = Math.abs(p - upLeft);
      const predictor = [0, left, up, (left + up) >> 1, pa <= pb && pa <= pc ? left : pb <= pc ? up : upLeft][filter];
      row[i] = (line[i] + predictor) & 255;
    }
    for (let x = 0; x < width; x++)
      for (let k = 0; k < 4; k++) rgba[(y * width + x) * 4 + k] = k < channels ? row[x * channels + k] : 255;
    previous = row;
  }
  return { width, height, rgba };
}
