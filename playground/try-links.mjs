// Gives each TICKRAIL example of the HTML guide that changes what the strip
// shows a "try it" link into the playground page. Whether it does is asked
// of the plug-in itself: the page's module runs the example from the page's
// start, and the strip is compared with the start's.
// Usage: node try-links.mjs GUIDE.html MODULE.wasm (the guide is rewritten)
import fs from 'node:fs';
import path from 'node:path';
import url from 'node:url';

const [guideFile, moduleFile] = process.argv.slice(2);
if (!moduleFile) {
  console.error('usage: node try-links.mjs GUIDE.html MODULE.wasm');
  process.exit(2);
}
const here = path.dirname(url.fileURLToPath(import.meta.url));
const tickrailSystemImports = new Function(`${fs.readFileSync(path.join(here, 'system.js'), 'utf8')}\nreturn tickrailSystemImports;`)();

const module = new WebAssembly.Module(fs.readFileSync(moduleFile));
let instance = null;
instance = new WebAssembly.Instance(module, tickrailSystemImports(module, () => instance.exports.memory));
const page = instance.exports;
page._initialize();
const encoder = new TextEncoder();
function put(text) {
  const bytes = encoder.encode(text);
  new Uint8Array(page.memory.buffer, page.page_buffer(bytes.length), bytes.length).set(bytes);
  return bytes.length;
}
function stripBytes() {
  if (!page.page_strip()) return 'none';
  const size = page.page_strip_width() * page.page_strip_height() * 4;
  const pixels = Buffer.from(new Uint8Array(page.memory.buffer, page.page_strip_pixels(), size));
  return `${page.page_strip_x()},${page.page_strip_y()},${page.page_strip_width()},${page.page_strip_height()}:${pixels.toString('base64')}`;
}
function start() {
  page.page_start(80, 25, 0, put('28.01'));
}
start();
const startStrip = stripBytes();
function changesStrip(line) {
  start();
  page.page_run(put(line));
  return stripBytes() !== startStrip;
}

const entities = { '&amp;': '&', '&lt;': '<', '&gt;': '>', '&quot;': '"', '&#39;': "'" };
let links = 0;
const html = fs.readFileSync(guideFile, 'utf8').replace(/<code>(tickrail(?: [^<]*)?)<\/code>/gi, (whole, code, at, text) => {
  // A block's line or a heading's word is no example.
  const before = text.slice(0, at);
  const last = (pattern) => Math.max(-1, ...[...before.matchAll(pattern)].map((match) => match.index));
  if (last(/<pre[ >]/g) > last(/<\/pre>/g) || last(/<h[1-6][ >]/g) > last(/<\/h[1-6]>/g)) return whole;
  const line = code.replace(/&(amp|lt|gt|quot|#39);/g, (entity) => entities[entity]);
  if (!changesStrip(line)) return whole;
  links++;
  return `${whole} <a class="try-it" href="playground.html#run=${encodeURIComponent(line)}" title="Run it in the playground page">try it</a>`;
});
fs.writeFileSync(guideFile, html);
console.log(`try-links.mjs: ${links} examples link to the playground`);
