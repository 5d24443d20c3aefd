// The page around the emulated handheld. Its thread only draws the screen at
// each animation frame and hands input to the device; the program and the
// host run on workers. The address's query string is plasma-demo's command
// line: ?name=value is --name=value, and ?name alone is --name.
'use strict';

const page = {
  canvas: document.getElementById('screen'),
  status: document.getElementById('status'),
  message: document.getElementById('message'),
  dialog: document.getElementById('messagebox'),
  scale: 0,
  ended: false,
  drawn: 0,
};

function commandLine(search) {
  const args = [];
  for (const [name, value] of new URLSearchParams(search)) {
    args.push(value === '' ? `--${name}` : `--${name}=${value}`);
  }
  return args;
}

function setStatus(state, text, status) {
  page.status.dataset.state = state;
  if (status !== undefined) page.status.dataset.status = String(status);
  page.status.textContent = text;
}

// The controls show the settings the address gives, and give the address
// the settings they show.
function showSettings(search) {
  const form = document.getElementById('settings');
  const params = new URLSearchParams(search);
  if (params.has('device')) form.device.value = params.get('device');
  form.dram.checked = params.has('dram');
  if (params.has('speed')) form.speed.value = params.get('speed');
  form.addEventListener('submit', (event) => {
    event.preventDefault();
    const next = new URLSearchParams(location.search);
    next.set('device', form.device.value);
    if (form.dram.checked) next.set('dram', ''); else next.delete('dram');
    if (form.speed.value) next.set('speed', form.speed.value); else next.delete('speed');
    location.search = next.toString().replace(/=(&|$)/g, '$1');
  });
}

// The largest whole-number scale that fits the window, from 1 to 3, unless
// the command line chose one.
function chooseScale(width, height) {
  if (page.scale > 0) return page.scale;
  const room = Math.min((innerWidth - 32) / width, (innerHeight - 160) / height);
  return Math.max(1, Math.min(3, Math.floor(room)));
}

let image = null;
function draw() {
  const pointer = Module._plasma_scan_out();
  if (pointer === 0) return;
  const width = Module._plasma_screen_width(), height = Module._plasma_screen_height();
  if (image === null || image.width !== width || image.height !== height) {
    page.canvas.width = width;
    page.canvas.height = height;
    const scale = chooseScale(width, height);
    page.canvas.style.width = `${width * scale}px`;
    page.canvas.style.height = `${height * scale}px`;
    page.canvas.dataset.scale = String(scale);
    image = new ImageData(width, height);
  }
  // Shared memory cannot back an ImageData: the pixels are copied out.
  image.data.set(HEAPU8.subarray(pointer, pointer + width * height * 4));
  page.canvas.getContext('2d').putImageData(image, 0, 0);
  page.canvas.dataset.published = String(Module._plasma_scanned_published());
  if (page.drawn++ === 0) page.canvas.dataset.firstFrameMs = performance.now().toFixed(1);
  page.canvas.dataset.drawn = String(page.drawn);
  const overrun = UTF8ToString(Module._plasma_check_margins());
  if (overrun) page.end(1, `plasma-demo: ${overrun}`);
}

function animate() {
  if (page.ended) return;
  draw();
  requestAnimationFrame(animate);
}

// The platform's virtual-key codes are what the browser's keyCode gives for
// letters, digits, the arrows and the like.
function hookInput() {
  const canvas = page.canvas;
  const at = (event) => {
    const box = canvas.getBoundingClientRect();
    return [Math.floor((event.clientX - box.left) * canvas.width / box.width),
            Math.floor((event.clientY - box.top) * canvas.height / box.height)];
  };
  canvas.addEventListener('pointerdown', (event) => {
    canvas.focus();
    canvas.setPointerCapture(event.pointerId);
    Module._plasma_stylus(0, ...at(event));
  });
  canvas.addEventListener('pointermove', (event) => {
    if (event.buttons !== 0) Module._plasma_stylus(1, ...at(event));
  });
  canvas.addEventListener('pointerup', (event) => Module._plasma_stylus(2, ...at(event)));
  canvas.addEventListener('pointercancel', () => Module._plasma_release_all());
  const key = (down) => (event) => {
    if (event.ctrlKey || event.altKey || event.metaKey || event.keyCode === 0) return;
    event.preventDefault();
    Module._plasma_key(event.keyCode, down ? 1 : 0);
  };
  document.addEventListener('keydown', (event) => {
    if (!page.dialog.open && document.activeElement?.form === undefined) key(true)(event);
  });
  document.addEventListener('keyup', (event) => {
    if (!page.dialog.open && document.activeElement?.form === undefined) key(false)(event);
  });
  window.addEventListener('blur', () => Module._plasma_release_all());
  document.getElementById('close').addEventListener('click', () => Module._plasma_close());
}

// MessageBoxW's buttons (the low four bits of its type) and what each returns.
const kButtons = {
  0: [['OK', 1]],
  1: [['OK', 1], ['Cancel', 2]],
  3: [['Yes', 6], ['No', 7], ['Cancel', 2]],
  4: [['Yes', 6], ['No', 7]],
  5: [['Retry', 4], ['Cancel', 2]],
};

page.showMessageBox = (caption, text, type) => {
  Module._plasma_release_all();
  document.getElementById('messagebox-caption').textContent = caption;
  document.getElementById('messagebox-text').textContent = text;
  const buttons = document.getElementById('messagebox-buttons');
  buttons.replaceChildren();
  const choices = kButtons[type & 0xF] || kButtons[0];
  for (const [label, value] of choices) {
    const button = document.createElement('button');
    button.textContent = label;
    button.value = String(value);
    buttons.append(button);
  }
  // Escape closes the dialog with no button: the platform's answer is Cancel
  // where there is one, else the only button.
  const onEscape = choices.find(([, value]) => value === 2)?.[1] ?? choices[0][1];
  page.dialog.onclose = () => {
    Module._plasma_answer_message_box(Number(page.dialog.returnValue) || onEscape);
    page.dialog.returnValue = '';
  };
  page.dialog.showModal();
};

page.setScale = (scale) => { page.scale = scale; };

page.end = (status, message) => {
  if (page.ended) return;
  page.ended = true;
  draw();
  if (message) page.message.textContent = message;
  setStatus('ended', `ended with exit status ${status}`, status);
};

page.begin = () => {
  setStatus('running', 'running');
  hookInput();
  requestAnimationFrame(animate);
};

showSettings(location.search);

var Module = {
  arguments: commandLine(location.search),
  print: (text) => console.log(text),
  printErr: (text) => {
    console.warn(text);
    page.message.textContent += `${text}\n`;
  },
  plasmaPage: {
    showMessageBox: page.showMessageBox,
    setScale: page.setScale,
    ended: (status, message) => page.end(status, message),
  },
  onRuntimeInitialized: page.begin,
};

// Threads need shared memory, which only a cross-origin isolated page has.
if (self.crossOriginIsolated) {
  const script = document.createElement('script');
  script.src = 'plasma.js';
  document.body.append(script);
} else {
  page.ended = true;
  setStatus('ended', 'cannot run: the page needs shared memory, which the server must allow with ' +
            'Cross-Origin-Opener-Policy: same-origin and Cross-Origin-Embedder-Policy: require-corp', 1);
}
