// The terminal page: a handheld radio terminal in the browser.  It speaks
// the gateway's terminal protocol as JSON over a WebSocket
// (docs/web-terminal.md), runs the screen programs the gateway sends as a
// handheld does (docs/radio-protocol.md, section 6) and answers them.
// Plain JavaScript, no libraries: the gateway serves this file as it is.
'use strict';

(() => {
  const $ = (id) => document.getElementById(id);

  // --- what the device remembers ------------------------------------------

  const ID_KEY = 'tervo.terminalId';
  const SECRET_KEY = 'tervo.accessKey';
  const remember = {
    get(key) {
      try { return window.localStorage.getItem(key); } catch (e) { return null; }
    },
    set(key, value) {
      try { window.localStorage.setItem(key, value); } catch (e) { /* private mode */ }
    },
    forget(key) {
      try { window.localStorage.removeItem(key); } catch (e) { /* private mode */ }
    },
  };
  // A tab that was already switched on (a reload, a reconnection) resumes
  // the terminal's session; a new tab starts it, as switching a gun on does.
  const session = {
    started(id) {
      try { return window.sessionStorage.getItem('tervo.started.' + id) === '1'; } catch (e) { return false; }
    },
    markStarted(id) {
      try { window.sessionStorage.setItem('tervo.started.' + id, '1'); } catch (e) { /* ignore */ }
    },
  };

  // --- the screen program ---------------------------------------------------

  const FLAG_PROTECTED = 1;
  const FLAG_AUTO_EXIT = 2;
  const FLAG_HIDDEN = 4;
  const FLAG_ENTER_SENDS = 16;
  const CHOSEN_ESCAPE = -27;

  function printable(text) {
    return String(text).replace(/[\u0000-\u001f\u007f]/g, '^');
  }

  // What a handheld does with a screen program: the items it makes, the
  // values typed into them, the cursor, and the answer.
  class Display {
    constructor() {
      this.caps = false;  // CapsLock holds across screens
      this.clear();
    }

    clear() {
      this.program = null;
      this.pc = 0;
      this.elements = [];
      this.items = [];
      this.values = [];
      this.itemCount = 0;
      this.openSay = -1;
      this.cursorItemNumber = 0;
      this.cursor = -1;
      this.waiting = false;
      this.reads = false;
      this.answered = false;
      this.legend = [];
    }

    load(program) {
      const caps = this.caps;
      this.clear();
      this.caps = caps;
      this.program = program;
      this.reads = program.answerCode !== 0;
      return this.run();
    }

    static focusable(item) {
      return item.kind === 'prompt' || (item.kind === 'input' && !(item.flags & FLAG_PROTECTED));
    }

    // Runs the program up to its end or to a wait for a key.  Returns
    // 'wait', 'reset' or 'done'.
    run() {
      this.waiting = false;
      const ops = this.program ? this.program.ops : [];
      while (this.pc < ops.length) {
        const op = ops[this.pc++];
        if (op.op === 'say' || op.op === 'getCheckEnter' || op.op === 'getText') this.itemCount++;
        switch (op.op) {
          case 'cls':
            this.elements = [];
            this.items = [];
            this.openSay = -1;
            this.cursor = -1;
            break;
          case 'newLine':
            this.openSay = -1;
            this.elements.push({ kind: 'newLine' });
            break;
          case 'printString':
            this.elements.push({ kind: 'text', text: op.text, style: '' });
            break;
          case 'printInverse':
            this.elements.push({ kind: 'text', text: op.text, style: 'inverse' });
            break;
          case 'printLarge':
            this.elements.push({ kind: 'text', text: op.text, style: 'large' });
            break;
          case 'say':
          case 'scroll':
            this.items.push({ kind: 'label', number: 0, text: op.text, scroll: op.text2 || '' });
            this.openSay = this.items.length - 1;
            this.elements.push({ kind: 'item', item: this.openSay });
            break;
          case 'noSay':
            this.openSay = -1;
            break;
          case 'getCheckEnter':
            if (this.openSay < 0) {
              this.items.push({ kind: 'label', number: 0, text: '', scroll: '' });
              this.openSay = this.items.length - 1;
              this.elements.push({ kind: 'item', item: this.openSay });
            }
            this.items[this.openSay].kind = 'prompt';
            this.items[this.openSay].number = this.itemCount;
            this.openSay = -1;
            break;
          case 'getText': {
            const size = Math.max(0, op.size | 0);
            const item = {
              kind: 'input',
              number: this.itemCount,
              size,
              flags: Math.abs(op.attributes | 0) & 0xffff,
              label: this.openSay >= 0 ? this.items[this.openSay].text : '',
              input: this.values.length,
            };
            this.values.push(String(op.text || '').slice(0, size).replace(/ +$/, ''));
            this.items.push(item);
            this.elements.push({ kind: 'item', item: this.items.length - 1 });
            this.openSay = -1;
            break;
          }
          case 'read':
            this.reads = true;
            break;
          case 'beep':
            beep(op.frequency, op.duration);
            break;
          case 'capsLock':
            this.caps = op.on !== 0;
            break;
          case 'setLargeFunctionKeys':
            this.legend = legendEntries(op.legend || '', op.width | 0);
            break;
          case 'changeScreenAttributes':
            this.cursorItemNumber = op.item >= 0 ? op.item + 1 : 0;
            break;
          case 'waitChar':
            this.waiting = true;
            return 'wait';
          case 'hardReset':
            return 'reset';
          default:
            break;  // delay: not needed in a browser
        }
      }
      // The cursor starts where the program asked, else on the first input
      // that takes text, else on the first prompt.
      this.cursor = -1;
      if (this.cursorItemNumber > 0) {
        this.cursor = this.items.findIndex(
          (it) => it.number === this.cursorItemNumber && Display.focusable(it));
      }
      if (this.cursor < 0) {
        this.cursor = this.items.findIndex((it) => it.kind === 'input' && Display.focusable(it));
      }
      if (this.cursor < 0) this.cursor = this.items.findIndex((it) => Display.focusable(it));
      return 'done';
    }

    // The next focusable item from the cursor, step +1 or -1, wrapping round.
    next(step) {
      const n = this.items.length;
      for (let k = 1; k <= n; k++) {
        const i = (((this.cursor + step * k) % n) + n) % n;
        if (Display.focusable(this.items[i])) return i;
      }
      return this.cursor;
    }

    answer(chosen, sendKey) {
      if (!this.program || !this.reads || this.answered) return null;
      this.answered = true;
      return {
        type: 'answer',
        sequence: this.program.sequence,
        name: this.program.name,
        chosen,
        sendKey,
        battery: battery.millivolts,
        values: this.values.slice(),
      };
    }

    // The display laid out in lines of segments; an input is one segment.
    layout(width, scrollOffset) {
      const lines = [[]];
      let col = 0;
      const newLine = () => { lines.push([]); col = 0; };
      const put = (text, style, item) => {
        let pos = 0;
        do {
          if (col >= width) newLine();
          const n = Math.min(text.length - pos, width - col);
          lines[lines.length - 1].push({ text: text.substr(pos, n), style, item });
          col += n;
          pos += n;
        } while (pos < text.length);
      };
      for (const e of this.elements) {
        if (e.kind === 'newLine') {
          newLine();
        } else if (e.kind === 'text') {
          put(printable(e.text), e.style, -1);
        } else {
          const it = this.items[e.item];
          if (it.kind === 'input') {
            // An input that does not fit on the rest of the line starts on
            // the next one.
            const shown = Math.min(it.size, width);
            if (col > 0 && col + shown > width) newLine();
            if (col >= width) newLine();
            lines[lines.length - 1].push({ input: true, item: e.item, width: shown });
            col += shown;
          } else {
            put(printable(this.itemText(it, width, scrollOffset)), '', e.item);
          }
        }
      }
      while (lines.length > 1 && lines[lines.length - 1].length === 0) lines.pop();
      return lines;
    }

    itemText(item, width, offset) {
      if (!item.scroll || !offset) return item.text + item.scroll;
      const loop = item.scroll + '   ';
      const k = offset % loop.length;
      const rotated = loop.slice(k) + loop.slice(0, k);
      const room = item.text.length < width ? width - item.text.length : 1;
      return item.text + rotated.slice(0, Math.min(room, item.scroll.length));
    }
  }

  // SetLargeFunctionKeys: entries of `width` characters, right-aligned,
  // each ending in its key character; all blanks: no label.
  function legendEntries(text, width) {
    const out = [];
    if (width < 1) return out;
    for (let k = 0; k * width < text.length && k < 8; k++) {
      const entry = text.substr(k * width, width);
      out.push(entry.slice(0, -1).trim());
    }
    return out;
  }

  let audio = null;
  function beep(frequency, duration) {
    try {
      audio = audio || new (window.AudioContext || window.webkitAudioContext)();
      const osc = audio.createOscillator();
      const gain = audio.createGain();
      osc.frequency.value = Math.min(Math.max(frequency | 0, 100), 4000);
      gain.gain.value = 0.08;
      osc.connect(gain).connect(audio.destination);
      osc.start();
      osc.stop(audio.currentTime + Math.min(Math.max(duration | 0, 20), 1000) / 1000);
    } catch (e) { /* no sound on this device */ }
  }

  // --- battery --------------------------------------------------------------

  // The Battery Status API gives a level, not volts: it is reported as the
  // nominal voltage of a lithium cell at that level (3.4 V empty, 4.2 V
  // full), so that the gateway's battery report reads it like a gun's.
  const battery = { millivolts: -1 };
  function showBattery(b) {
    const text = b ? 'Battery ' + Math.round(b.level * 100) + '%' + (b.charging ? ' (charging)' : '')
      : 'Battery unknown';
    $('battery').textContent = text;
    battery.millivolts = b ? 3400 + Math.round(b.level * 800) : -1;
  }
  if (navigator.getBattery) {
    navigator.getBattery().then((b) => {
      showBattery(b);
      b.addEventListener('levelchange', () => showBattery(b));
      b.addEventListener('chargingchange', () => showBattery(b));
    }, () => showBattery(null));
  } else {
    showBattery(null);
  }

  // --- drawing --------------------------------------------------------------

  const display = new Display();
  let width = 20;
  let scrollOffset = 0;
  let itemNodes = [];  // per item: its elements on the screen

  function render() {
    const screen = $('screen');
    screen.style.setProperty('--cols', String(width));
    document.documentElement.style.setProperty('--cols', String(width));
    screen.textContent = '';
    itemNodes = display.items.map(() => []);
    const lines = display.layout(width, scrollOffset);
    for (const line of lines) {
      const row = document.createElement('div');
      row.className = 'line';
      for (const seg of line) {
        if (seg.input) {
          row.appendChild(inputNode(seg.item, seg.width));
          continue;
        }
        if (seg.style === 'large') row.classList.add('tall');
        let node;
        const item = seg.item >= 0 ? display.items[seg.item] : null;
        if (item && item.kind === 'prompt') {
          node = document.createElement('button');
          node.type = 'button';
          node.className = 'prompt';
          node.dataset.item = String(seg.item);
          node.dataset.number = String(item.number);
          node.tabIndex = -1;
          node.addEventListener('mousedown', (ev) => ev.preventDefault());
          node.addEventListener('click', () => choose(seg.item));
        } else {
          node = document.createElement('span');
          if (seg.style) node.className = seg.style;
        }
        node.textContent = seg.text;
        if (item && item.scroll) node.dataset.scroll = String(seg.item);
        if (seg.item >= 0) itemNodes[seg.item].push(node);
        row.appendChild(node);
      }
      screen.appendChild(row);
    }
    screen.dataset.sequence = display.program ? String(display.program.sequence) : '';
    screen.dataset.name = display.program ? display.program.name : '';
    $('wait').hidden = !display.waiting;
    renderLegend();
    showCursor();
  }

  function inputNode(index, shown) {
    const item = display.items[index];
    const node = document.createElement('input');
    node.className = 'field';
    node.dataset.item = String(index);
    node.dataset.number = String(item.number);
    if (item.label) node.setAttribute('aria-label', item.label.trim());
    // Hidden inputs are drawn as dots but are no password fields: the
    // browser must not offer to keep what is typed into a host's screens.
    node.type = 'text';
    if (item.flags & FLAG_HIDDEN) node.classList.add('hidden-text');
    node.maxLength = item.size;
    node.size = Math.max(1, shown);
    node.style.width = shown + 'ch';
    node.autocomplete = 'off';
    node.spellcheck = false;
    node.setAttribute('autocorrect', 'off');
    node.setAttribute('autocapitalize', display.caps ? 'characters' : 'off');
    node.value = display.values[item.input];
    if (item.flags & FLAG_PROTECTED) {
      node.readOnly = true;
      node.tabIndex = -1;
    }
    node.addEventListener('focus', () => {
      if (Display.focusable(item)) display.cursor = index;
    });
    node.addEventListener('input', (ev) => onInput(node, item, ev));
    itemNodes[index].push(node);
    return node;
  }

  function renderLegend() {
    const labels = display.legend;
    const shown = [];
    document.querySelectorAll('#keys .fkey').forEach((button, k) => {
      const label = labels[k] || '';
      button.textContent = 'F' + (k + 1);
      button.classList.toggle('labelled', label !== '');
      if (label) {
        const small = document.createElement('small');
        small.textContent = label;
        button.appendChild(small);
        shown.push('F' + (k + 1) + ' ' + label);
      }
    });
    $('legend').textContent = shown.join('  ');
  }

  // The cursor: DOM focus on its input or prompt, so that a scanner's
  // keystrokes land in the input the screen is waiting for.
  function showCursor() {
    document.querySelectorAll('.prompt.cursor').forEach((n) => n.classList.remove('cursor'));
    if (!$('setup').hidden || !$('refusal').hidden) return;
    const nodes = display.cursor >= 0 ? itemNodes[display.cursor] : null;
    if (!nodes || nodes.length === 0) {
      if (document.activeElement && document.activeElement !== document.body) document.activeElement.blur();
      return;
    }
    const item = display.items[display.cursor];
    if (item.kind === 'prompt') nodes.forEach((n) => n.classList.add('cursor'));
    if (document.activeElement !== nodes[0]) nodes[0].focus({ preventScroll: false });
    if (item.kind === 'input') {
      const end = nodes[0].value.length;
      try { nodes[0].setSelectionRange(end, end); } catch (e) { /* password fields */ }
    }
  }

  function moveCursor(step) {
    if (display.items.length === 0) return;
    display.cursor = display.next(step);
    showCursor();
  }

  // Scrolling texts turn a character at a time.
  setInterval(() => {
    if (!display.items.some((it) => it.scroll)) return;
    scrollOffset++;
    document.querySelectorAll('[data-scroll]').forEach((node) => {
      const item = display.items[Number(node.dataset.scroll)];
      node.textContent = printable(display.itemText(item, width, scrollOffset));
    });
  }, 400);

  // --- typing, scanning and keys -------------------------------------------

  // A scanner that types into the focused input (keyboard wedge) types
  // much faster than a person, and ends with Enter: that Enter sends the
  // screen as the Send key does.
  const SCAN_GAP_MS = 45;
  const SCAN_MIN_CHARS = 4;
  let typed = [];  // times of the characters typed lately

  function noteTyped(count) {
    const now = performance.now();
    for (let i = 0; i < count; i++) typed.push(now);
    if (typed.length > 64) typed = typed.slice(-64);
  }

  function isScan() {
    const now = performance.now();
    if (typed.length === 0 || now - typed[typed.length - 1] > 2 * SCAN_GAP_MS) return false;
    let run = 1;
    for (let i = typed.length - 1; i > 0 && typed[i] - typed[i - 1] <= SCAN_GAP_MS; i--) run++;
    return run >= SCAN_MIN_CHARS;
  }

  function onInput(node, item, ev) {
    if (item.flags & FLAG_PROTECTED) return;
    let value = node.value;
    if (display.caps) value = value.toUpperCase();
    if (value.length > item.size) value = value.slice(0, item.size);
    if (value !== node.value) node.value = value;
    display.values[item.input] = value;
    // An input method may hand over a whole scan at once.
    if (ev && ev.inputType === 'insertText' && ev.data && ev.data.length > 1) noteTyped(ev.data.length);
    if (ev && ev.inputType === 'insertFromPaste') typed = [];
    if ((item.flags & FLAG_AUTO_EXIT) && value.length >= item.size && item.size > 0) moveCursor(1);
  }

  function choose(index) {
    if (display.waiting) {
      continueProgram();
      return;
    }
    display.cursor = index;
    showCursor();
    sendAnswer(display.items[index].number, false);
  }

  function press(key, scan) {
    if (!$('setup').hidden || !$('refusal').hidden) return;
    if (display.waiting) {
      continueProgram();
      return;
    }
    const cur = display.cursor >= 0 ? display.items[display.cursor] : null;
    switch (key) {
      case 'Escape':
        sendAnswer(CHOSEN_ESCAPE, false);
        return;
      case 'Send':
        sendAnswer(cur ? cur.number : 0, cur !== null);
        return;
      case 'Up':
        moveCursor(-1);
        return;
      case 'Down':
        moveCursor(1);
        return;
      case 'Enter':
        if (!cur) {
          sendAnswer(0, false);
        } else if (scan) {
          sendAnswer(cur.number, true);
        } else if (cur.kind === 'prompt' || (cur.flags & FLAG_ENTER_SENDS)) {
          sendAnswer(cur.number, false);
        } else {
          moveCursor(1);
        }
        return;
      default:
        if (/^F[1-8]$/.test(key)) sendAnswer(-Number(key.slice(1)), false);
    }
  }

  function continueProgram() {
    if (display.run() === 'reset') {
      hardReset();
      return;
    }
    render();
  }

  document.addEventListener('keydown', (ev) => {
    if (!$('setup').hidden || !$('refusal').hidden) return;
    if (ev.ctrlKey || ev.altKey || ev.metaKey) return;
    if (display.waiting) {
      if (['Shift', 'Control', 'Alt', 'Meta', 'CapsLock'].includes(ev.key)) return;
      ev.preventDefault();
      continueProgram();
      return;
    }
    const key = ev.key;
    if (key === 'Enter') {
      ev.preventDefault();
      const scan = isScan();
      typed = [];
      press('Enter', scan);
    } else if (key === 'Escape') {
      ev.preventDefault();
      press('Escape');
    } else if (/^F[1-8]$/.test(key)) {
      ev.preventDefault();
      press(key);
    } else if (key === 'F10') {
      ev.preventDefault();
      press('Send');
    } else if (key === 'ArrowUp' || (key === 'Tab' && ev.shiftKey)) {
      ev.preventDefault();
      press('Up');
    } else if (key === 'ArrowDown' || key === 'Tab') {
      ev.preventDefault();
      press('Down');
    } else if (key.length === 1) {
      noteTyped(1);
      // A key typed while the focus is elsewhere goes to the cursor's input.
      const nodes = display.cursor >= 0 ? itemNodes[display.cursor] : null;
      if (nodes && nodes.length && document.activeElement !== nodes[0]) showCursor();
    }
  }, true);

  // Tapping anywhere but an item keeps the cursor where it was.
  document.addEventListener('focusout', () => {
    setTimeout(() => {
      const a = document.activeElement;
      if (!a || a === document.body || a.closest('#keys')) showCursor();
    }, 0);
  });
  $('screen').addEventListener('click', (ev) => {
    if (display.waiting) continueProgram();
    else if (ev.target === $('screen') || ev.target.classList.contains('line')) showCursor();
  });
  $('wait').addEventListener('click', () => { if (display.waiting) continueProgram(); });

  document.querySelectorAll('#keys .key').forEach((button) => {
    // The key buttons never take the focus from the input.
    button.addEventListener('mousedown', (ev) => ev.preventDefault());
    button.addEventListener('click', () => press(button.dataset.key, false));
  });

  // --- the connection -------------------------------------------------------

  let ws = null;
  let terminalId = remember.get(ID_KEY) || '';
  let state = '';
  let retryTimer = null;
  let retryDelay = 1000;
  let retryAt = 0;
  let lastHeard = 0;
  let keepAliveMs = 30000;
  let answerMs = 15000;
  let hello = null;          // what this connection said: {nonce}
  let challenged = false;    // the gateway asked for the access key
  let proofSent = null;      // the secret the AUTH proved, to check the WELCOME
  let heldAnswer = null;     // an answer sent when the connection went: {sequence, name, values}

  function setState(name, text) {
    state = name;
    const node = $('state');
    node.className = 'state ' + name;
    node.textContent = text;
    document.body.dataset.state = name;
    $('screen').classList.toggle('offline', name !== 'connected');
  }

  function send(message) {
    if (!ws || ws.readyState !== WebSocket.OPEN) return false;
    ws.send(JSON.stringify(message));
    return true;
  }

  function sendAnswer(chosen, sendKey) {
    if (state !== 'connected') return;  // typed values stay; the screen comes back
    const a = display.answer(chosen, sendKey);
    if (!a) return;
    if (send(a)) {
      heldAnswer = { sequence: a.sequence, name: a.name, values: a.values, cursor: display.cursor };
      document.body.dataset.answered = String(a.sequence);
    } else {
      display.answered = false;
    }
  }

  function hardReset() {
    display.clear();
    render();
    send({ type: 'start' });
  }

  function randomHex(bytes) {
    const b = new Uint8Array(bytes);
    crypto.getRandomValues(b);
    return Array.from(b, (x) => x.toString(16).padStart(2, '0')).join('');
  }

  function hexBytes(hex) {
    const out = new Uint8Array(hex.length / 2);
    for (let i = 0; i < out.length; i++) out[i] = parseInt(hex.substr(i * 2, 2), 16);
    return out;
  }

  // HMAC-SHA256(secret, label + id padded to 8 + client nonce + gateway
  // nonce), as docs/radio-protocol.md (4.3, 4.4) defines the proofs.
  async function proof(label, secret, id, clientNonce, gatewayNonce) {
    const enc = new TextEncoder();
    const id8 = new Uint8Array(8).fill(0x20);
    for (let i = 0; i < Math.min(id.length, 8); i++) id8[i] = id.charCodeAt(i) & 0xff;
    const parts = [enc.encode(label), id8, hexBytes(clientNonce), hexBytes(gatewayNonce)];
    const message = new Uint8Array(parts.reduce((n, p) => n + p.length, 0));
    let at = 0;
    for (const p of parts) { message.set(p, at); at += p.length; }
    const key = await crypto.subtle.importKey('raw', enc.encode(secret),
      { name: 'HMAC', hash: 'SHA-256' }, false, ['sign']);
    const mac = new Uint8Array(await crypto.subtle.sign('HMAC', key, message));
    return Array.from(mac, (x) => x.toString(16).padStart(2, '0')).join('');
  }

  function socketUrl() {
    return (location.protocol === 'https:' ? 'wss://' : 'ws://') + location.host + '/terminal';
  }

  function connect() {
    clearTimeout(retryTimer);
    retryTimer = null;
    if (!terminalId) {
      showSetup('');
      return;
    }
    if (ws) {
      const old = ws;
      ws = null;
      old.onclose = null;
      old.close();
    }
    $('terminal-id').textContent = terminalId;
    setState('connecting', 'Connecting');
    challenged = false;
    proofSent = null;
    const socket = new WebSocket(socketUrl());
    ws = socket;
    socket.onopen = () => {
      hello = { nonce: randomHex(16) };
      lastHeard = Date.now();
      send({
        type: 'hello', id: terminalId, width, lines: 8, battery: battery.millivolts,
        client: 'browser ' + navigator.userAgent.replace(/^Mozilla\/5\.0 /, '').slice(0, 50),
        features: 1 | 2 | 4 | 8, nonce: hello.nonce,
      });
    };
    socket.onmessage = (ev) => {
      if (ws !== socket) return;
      lastHeard = Date.now();
      let m;
      try { m = JSON.parse(ev.data); } catch (e) { return; }
      onMessage(m).catch(() => {});
    };
    socket.onclose = () => {
      if (ws !== socket) return;
      ws = null;
      if (state === 'refused' || state === 'setup') return;
      scheduleRetry();
    };
  }

  function scheduleRetry(delayMs) {
    clearTimeout(retryTimer);
    const delay = delayMs || retryDelay;
    retryDelay = Math.min(retryDelay * 2, 10000);
    retryAt = Date.now() + delay;
    const tick = () => {
      const left = Math.max(0, Math.ceil((retryAt - Date.now()) / 1000));
      if (left <= 0) {
        connect();
        return;
      }
      setState('reconnecting', 'Connection lost; again in ' + left + ' s');
      retryTimer = setTimeout(tick, 250);
    };
    tick();
  }

  async function onMessage(m) {
    switch (m.type) {
      case 'challenge':
        challenged = true;
        await answerChallenge(m);
        return;
      case 'welcome':
        await welcomed(m);
        return;
      case 'refused':
        refused(m.code, m.reason || '');
        return;
      case 'screen':
        showScreen(m);
        return;
      case 'reset':
        hardReset();
        return;
      case 'ping':
        send({ type: 'pong' });
        return;
      default:
        return;
    }
  }

  async function answerChallenge(m) {
    const secret = remember.get(SECRET_KEY);
    if (!window.crypto || !crypto.subtle) {
      // No keyed hash outside a secure page: the key could not be proved,
      // and a page that came over the network in clear could be a copy
      // that collects it.
      showRefusal('ACCESS KEY', 'This gateway asks for an access key, and a browser proves one only on '
        + 'a secure page. Open the gateway\'s https:// address (or this page on the gateway\'s own '
        + 'machine).', false);
      return;
    }
    if (!secret) {
      stopSocket();
      showSetup('This gateway asks for an access key. It is kept on this device.', true);
      return;
    }
    const p = await proof('TVAUTH-T', secret, terminalId, hello.nonce, m.nonce);
    proofSent = { secret, gatewayNonce: m.nonce };
    send({ type: 'auth', proof: p });
  }

  async function welcomed(m) {
    if (proofSent) {
      const want = await proof('TVAUTH-G', proofSent.secret, terminalId, hello.nonce, proofSent.gatewayNonce);
      if (!(m.flags & 1) || m.proof !== want) {
        stopSocket();
        showRefusal('NOT THE GATEWAY', 'The gateway did not prove the access key: it may be another '
          + 'machine. Nothing was sent.', false);
        return;
      }
    }
    keepAliveMs = (m.keepAlive || 30) * 1000;
    answerMs = (m.answerTime || 15) * 1000;
    retryDelay = 1000;
    setState('connected', 'Connected');
    if (!session.started(terminalId)) {
      session.markStarted(terminalId);
      send({ type: 'start' });
    }
    showCursor();
  }

  function showScreen(m) {
    // The same screen again after a drop-out: the gateway did not get its
    // answer, so what was typed is put back and may be sent (once) again.
    const again = display.program && display.program.sequence === m.sequence
      && display.program.name === m.name;
    let keep = null;
    if (again && !display.answered) keep = { values: display.values.slice(), cursor: display.cursor };
    else if (heldAnswer && heldAnswer.sequence === m.sequence && heldAnswer.name === m.name) keep = heldAnswer;
    heldAnswer = null;
    const outcome = display.load(m);
    if (keep && !display.waiting) {
      keep.values.forEach((v, i) => { if (i < display.values.length) display.values[i] = v; });
      if (keep.cursor >= 0 && keep.cursor < display.items.length) display.cursor = keep.cursor;
    }
    delete document.body.dataset.answered;
    if (outcome === 'reset') {
      hardReset();
      return;
    }
    render();
  }

  function refused(code, reason) {
    stopSocket();
    if (code === 1 && (!challenged || /is not served/.test(reason))) {
      // Only ids the gateway serves get in; a gun behind a radio base is
      // shown these words for an id no session uses.
      showRefusal('TERM ID NOT DEFINED', 'Terminal ' + terminalId + ' is not served by this gateway ('
        + reason + '). Check the id; the page tries again in 30 s.', true);
      scheduleHiddenRetry(30000);
    } else if (code === 1) {
      remember.forget(SECRET_KEY);
      showSetup('The terminal id or the access key was not accepted (' + reason + ').', true);
    } else if (code === 2) {
      showRefusal('TAKEN OVER', 'Another device signed in as terminal ' + terminalId
        + '. This page does not connect again by itself.', false);
    } else if (code === 4) {
      scheduleRetry();
    } else {
      showRefusal('REFUSED', reason || 'The gateway refused the connection.', false);
    }
  }

  function scheduleHiddenRetry(ms) {
    clearTimeout(retryTimer);
    retryTimer = setTimeout(() => {
      if (!$('refusal').hidden) {
        $('refusal').hidden = true;
        connect();
      }
    }, ms);
  }

  function stopSocket() {
    if (!ws) return;
    const old = ws;
    ws = null;
    old.onclose = null;
    try { old.close(); } catch (e) { /* already closed */ }
  }

  function showRefusal(title, text, canChange) {
    clearTimeout(retryTimer);
    setState('refused', title === 'TERM ID NOT DEFINED' ? 'Not served' : 'Refused');
    $('refusal-title').textContent = title;
    $('refusal-text').textContent = text;
    $('refusal-change').hidden = false;
    $('refusal-retry').textContent = canChange ? 'Try again' : 'Connect again';
    $('refusal').hidden = false;
    $('refusal-retry').focus();
  }

  function showSetup(message, askKey) {
    clearTimeout(retryTimer);
    if (state !== 'refused') setState('setup', 'Not connected');
    $('refusal').hidden = true;
    $('setup-message').textContent = message || '';
    $('setup-id').value = terminalId;
    $('setup-key').value = '';
    $('setup-key-row').hidden = !askKey;
    $('setup-cancel').hidden = !terminalId;
    $('setup-restart').hidden = !terminalId;
    $('setup').hidden = false;
    (askKey && terminalId ? $('setup-key') : $('setup-id')).focus();
  }

  $('setup-form').addEventListener('submit', (ev) => {
    ev.preventDefault();
    const id = $('setup-id').value.replace(/\s+$/, '');
    if (!id || id.length > 8 || /[\u0000-\u001f\u007f]/.test(id)) {
      $('setup-message').textContent = 'A terminal id has 1 to 8 characters.';
      return;
    }
    const key = $('setup-key').value;
    if (!$('setup-key-row').hidden) {
      if (!key) {
        $('setup-message').textContent = 'Enter the access key.';
        return;
      }
      remember.set(SECRET_KEY, key);
    }
    if (id !== terminalId) {
      display.clear();
      render();
    }
    terminalId = id;
    remember.set(ID_KEY, id);
    $('setup').hidden = true;
    retryDelay = 1000;
    connect();
  });
  $('setup-cancel').addEventListener('click', () => {
    $('setup').hidden = true;
    if (!ws) connect();
    else showCursor();
  });
  $('setup-restart').addEventListener('click', () => {
    $('setup').hidden = true;
    display.clear();
    render();
    if (state === 'connected') send({ type: 'start' });
    else connect();
  });
  $('terminal-id').addEventListener('click', () => showSetup('', false));
  $('refusal-retry').addEventListener('click', () => {
    $('refusal').hidden = true;
    retryDelay = 1000;
    connect();
  });
  $('refusal-change').addEventListener('click', () => showSetup('', false));

  // A connection that hears nothing, not even the gateway's PING, is gone
  // even when the browser has not noticed.
  setInterval(() => {
    if (state === 'connected' && ws && Date.now() - lastHeard > keepAliveMs + answerMs + 10000) {
      stopSocket();
      scheduleRetry();
    }
  }, 5000);
  // Back from the background, or the network back: connect now.
  const soon = () => {
    if (state === 'reconnecting') connect();
  };
  document.addEventListener('visibilitychange', () => { if (!document.hidden) soon(); });
  window.addEventListener('online', soon);

  render();
  connect();
})();
