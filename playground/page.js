// The page around the module: it decodes and starts the module, draws the
// console and the strip the module gives, reads the prompt, the keys and
// the controls, and calls the module for everything else.
(() => {
  'use strict';
  performance.mark('tickrail-script');
  const START = { columns: 80, rows: 25, background: 0, version: '28.01' };
  const HISTORY_LIMIT = 200;
  const encoder = new TextEncoder();
  const decoder = new TextDecoder();

  const canvas = document.getElementById('console');
  const context = canvas.getContext('2d', { alpha: false });
  const textCanvas = document.createElement('canvas');
  const textContext = textCanvas.getContext('2d', { alpha: false });
  let drawnLook = '';
  const layerCanvas = document.createElement('canvas');
  const layerContext = layerCanvas.getContext('2d');
  const prompt = document.getElementById('prompt');
  const status = document.getElementById('status');
  const controls = {
    columns: document.getElementById('columns'),
    rows: document.getElementById('rows'),
    background: document.getElementById('background'),
    version: document.getElementById('version'),
  };
  let page = null;  // the module's exports, once it runs
  let framePending = false;
  const history = [];
  let historyAt = 0;

  // The module lies in the page compressed: the browser inflates it while it compiles it.
  async function startModule() {
    const text = document.getElementById('tickrail-module').textContent.trim();
    let bytes;
    if (Uint8Array.fromBase64) {
      bytes = Uint8Array.fromBase64(text);
    } else {
      const binary = atob(text);
      bytes = new Uint8Array(binary.length);
      for (let i = 0; i < binary.length; i++) bytes[i] = binary.charCodeAt(i);
    }
    const inflated = new Blob([bytes]).stream().pipeThrough(new DecompressionStream('gzip'));
    const module = await WebAssembly.compileStreaming(new Response(inflated, { headers: { 'Content-Type': 'application/wasm' } }));
    let instance = null;
    instance = await WebAssembly.instantiate(module, tickrailSystemImports(module, () => instance.exports.memory));
    instance.exports._initialize();
    return instance.exports;
  }

  function put(text) {
    const bytes = encoder.encode(String(text));
    const at = page.page_buffer(bytes.length);
    new Uint8Array(page.memory.buffer, at, bytes.length).set(bytes);
    return bytes.length;
  }

  function answer(length) {
    return decoder.decode(new Uint8Array(page.memory.buffer, page.page_answer(), length));
  }

  function cssColor(colorRef) {
    return `rgb(${colorRef & 255},${(colorRef >>> 8) & 255},${(colorRef >>> 16) & 255})`;
  }

  function strip() {
    if (!page.page_strip()) return null;
    const width = page.page_strip_width(), height = page.page_strip_height();
    const pixels = new Uint8ClampedArray(page.memory.buffer, page.page_strip_pixels(), width * height * 4);
    return { x: page.page_strip_x(), y: page.page_strip_y(), width, height, rgba: new Uint8ClampedArray(pixels) };
  }

  function rows() {
    return answer(page.page_text()).split('\n').slice(0, -1);
  }

  function draw() {
    framePending = false;
    const cellWidth = page.page_cell_width(), cellHeight = page.page_cell_height();
    const width = page.page_columns() * cellWidth, height = page.page_rows() * cellHeight;
    if (canvas.width !== width || canvas.height !== height) {
      canvas.width = width;
      canvas.height = height;
      canvas.style.width = `${width}px`;
      canvas.style.height = `${height}px`;
    }
    // The text is drawn again only when it changed: a hotkey redraws the strip alone.
    const ink = page.page_ink(), paper = page.page_paper(), text = answer(page.page_text());
    const look = `${width},${height},${ink},${paper}\n${text}`;
    if (look !== drawnLook) {
      drawnLook = look;
      textCanvas.width = width;
      textCanvas.height = height;
      textContext.fillStyle = cssColor(paper);
      textContext.fillRect(0, 0, width, height);
      textContext.fillStyle = cssColor(ink);
      textContext.font = `${cellHeight - 3}px "DejaVu Sans Mono", monospace`;
      textContext.textBaseline = 'middle';
      textContext.textAlign = 'center';
      text.split('\n').forEach((row, y) => {
        let column = 0;
        for (const character of row) {
          if (character !== ' ') textContext.fillText(character, (column + 0.5) * cellWidth, (y + 0.5) * cellHeight, cellWidth);
          column++;
        }
      });
    }
    context.drawImage(textCanvas, 0, 0);
    const layer = strip();
    if (layer) {
      layerCanvas.width = layer.width;
      layerCanvas.height = layer.height;
      layerContext.putImageData(new ImageData(layer.rgba, layer.width, layer.height), 0, 0);
      context.drawImage(layerCanvas, layer.x, layer.y);
    }
    status.textContent = !page.page_loaded() ? 'The plug-in is not loaded: plugin /l tickrail.dll loads it.'
      : page.page_list_running() ? 'LIST runs: press Esc in the console, or type at the prompt, to end it.' : '';
  }

  function requestFrame() {
    if (framePending) return;
    framePending = true;
    requestAnimationFrame(draw);
  }

  function needPage() {
    if (!page) throw new Error('tickrail: the plug-in is not loaded yet; wait for tickrail.ready');
  }

  function run(line) {
    needPage();
    const printed = answer(page.page_run(put(line)));
    requestFrame();
    return printed;
  }

  function key(name) {
    needPage();
    const printed = answer(page.page_key(put(name)));
    requestFrame();
    return printed;
  }

  function resize(columns, rows) {
    needPage();
    page.page_resize(Number(columns) | 0, Number(rows) | 0);
    controls.columns.value = page.page_columns();
    controls.rows.value = page.page_rows();
    requestFrame();
  }

  function background(index) {
    needPage();
    page.page_background(Number(index) & 15);
    controls.background.value = String(Number(index) & 15);
    requestFrame();
  }

  function version(text) {
    needPage();
    const printed = answer(page.page_version(put(text)));
    requestFrame();
    return printed;
  }

  // A key as TICKRAIL /L names it: the modifiers, then the key.
  const KEY_NAMES = {
    ArrowUp: 'Up', ArrowDown: 'Down', ArrowLeft: 'Left', ArrowRight: 'Right', PageUp: 'PgUp', PageDown: 'PgDn',
    Insert: 'Ins', Delete: 'Del', Backspace: 'Backspace', Enter: 'Enter', Escape: 'Esc', Tab: 'Tab',
    Home: 'Home', End: 'End', Minus: 'Minus', Equal: 'Equals', BracketLeft: '[', BracketRight: ']',
    Backslash: '\\', Semicolon: ';', Quote: "'", Comma: ',', Period: '.', Slash: '/', Backquote: 'Grave',
    NumpadDivide: 'Divide', NumpadMultiply: '*', NumpadSubtract: 'Num-', NumpadAdd: 'Plus', NumpadDecimal: 'Decimal',
  };
  // Before version 24 the shell names the keypad's signs as keys of their own.
  const KEYPAD_NAMES_BEFORE_24 = { NumpadDivide: 'Num/', NumpadMultiply: 'Num*', NumpadAdd: 'Num+' };
  function keyName(event) {
    const code = event.code || '';
    let name = /^F([1-9]|1[0-2])$/.test(event.key) ? event.key
      : /^Key[A-Z]$/.test(code) ? code.slice(3) : /^Digit[0-9]$/.test(code) ? code.slice(5)
        : (page.page_older_key_names() && KEYPAD_NAMES_BEFORE_24[code]) || KEY_NAMES[code] || KEY_NAMES[event.key];
    if (!name) return null;
    if (event.shiftKey) name = `Shift-${name}`;
    if (event.altKey) name = `Alt-${name}`;
    if (event.ctrlKey) name = `Ctrl-${name}`;
    return name;
  }

  function runFromAddress() {
    const lines = new URLSearchParams(location.hash.slice(1)).getAll('run');
    for (const line of lines) run(line);
  }

  function wireControls() {
    for (let index = 0; index < 16; index++) controls.background.add(new Option(String(index), String(index)));
    controls.columns.addEventListener('change', () => resize(controls.columns.value, controls.rows.value));
    controls.rows.addEventListener('change', () => resize(controls.columns.value, controls.rows.value));
    controls.background.addEventListener('change', () => background(controls.background.value));
    controls.version.addEventListener('change', () => version(controls.version.value));
    document.getElementById('controls').addEventListener('submit', (event) => event.preventDefault());
    document.getElementById('prompt-form').addEventListener('submit', (event) => {
      event.preventDefault();
      const line = prompt.value;
      if (line && history[history.length - 1] !== line) history.push(line);
      if (history.length > HISTORY_LIMIT) history.shift();
      historyAt = history.length;
      prompt.value = '';
      run(line);
    });
    prompt.addEventListener('keydown', (event) => {
      if (event.key !== 'ArrowUp' && event.key !== 'ArrowDown') return;
      event.preventDefault();
      historyAt = Math.max(0, Math.min(history.length, historyAt + (event.key === 'ArrowUp' ? -1 : 1)));
      prompt.value = history[historyAt] || '';
    });
    canvas.addEventListener('keydown', (event) => {
      const name = keyName(event);
      if (!name || !page) return;
      event.preventDefault();
      key(name);
    });
    canvas.addEventListener('mousedown', () => canvas.focus());
    window.addEventListener('hashchange', runFromAddress);
  }

  const ready = startModule().then((exports) => {
    page = exports;
    answer(page.page_start(START.columns, START.rows, START.background, put(START.version)));
    controls.version.value = START.version;
    performance.mark('tickrail-ready');
    runFromAddress();
    draw();
  });
  ready.catch((error) => { status.textContent = `The plug-in did not start: ${error.message}`; });

  window.tickrail = {
    ready,
    run,
    key,
    resize,
    background,
    version,
    text: () => { needPage(); return rows(); },
    strip: () => { needPage(); return strip(); },
    canvas,
    get memory() { return page ? page.memory : null; },
  };
  wireControls();
})();
