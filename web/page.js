'use strict';
// Quorrel in the browser. The game runs compiled to WebAssembly (quorrel.js, quorrel.wasm);
// this script builds the window from the game's own tables, draws what the game draws on the
// board's canvas and hands the game every event. Every caption, message and spoken word
// comes from the game.

const $ = (id) => document.getElementById(id);
const el = (tag, props, ...children) => {
  const node = Object.assign(document.createElement(tag), props);
  node.append(...children);
  return node;
};
const boardEl = $('board');
const canvas = boardEl.querySelector('canvas');
const ctx = canvas.getContext('2d');
const core = { board: {}, page: {} };
let T;           // the game's tables
let page;        // the game's handle for this page
let busy = true;  // the game is loading, or a command runs or waits for a message box
let dialogKey = null;  // the open message box's key handler

// An ampersand marks the access key: the caption as nodes with that letter underlined.
function captionNodes(caption) {
  const at = caption.indexOf('&');
  if (at < 0) return [caption];
  return [caption.slice(0, at), el('u', {}, caption[at + 1]), caption.slice(at + 2)];
}
const accessKey = (caption) => {
  const at = caption.indexOf('&');
  return at < 0 ? '' : caption[at + 1].toLowerCase();
};
// The letter a key press gives an access key: the letter it types or, where it types another
// character (Option+F gives "ƒ" on a Mac), the letter of its place on the keyboard.
const letterOf = (e) => (/^[a-z]$/i.test(e.key) ? e.key.toLowerCase()
  : /^Key[A-Z]$/.test(e.code) ? e.code[3].toLowerCase() : '');

// ---- The board: a canvas kept at the screen's density that only ever grows, so that the
// picture survives resizing, as on the desktop.
const covered = { w: 0, h: 0, ratio: 0 };
let points = 8.5;
const twips = () => T.twipsPerPixel;
const cssColour = (c) => `rgb(${c & 255},${(c >> 8) & 255},${(c >> 16) & 255})`;
// The canvas's colour and font as last set, which a new size of the canvas resets.
const pen = { colour: -1, font: '' };
let backdrop;  // the page's background colour, as the game counts colours

function cover() {
  const ratio = window.devicePixelRatio || 1;
  const w = Math.max(covered.w, boardEl.clientWidth);
  const h = Math.max(covered.h, boardEl.clientHeight);
  if (w === covered.w && h === covered.h && ratio === covered.ratio) return;
  const old = covered.w ? el('canvas', { width: canvas.width, height: canvas.height }) : null;
  if (old) old.getContext('2d').drawImage(canvas, 0, 0);
  canvas.width = Math.ceil(w * ratio);
  canvas.height = Math.ceil(h * ratio);
  canvas.style.width = `${canvas.width / ratio}px`;
  canvas.style.height = `${canvas.height / ratio}px`;
  Object.assign(pen, { colour: -1, font: '' });
  paint(core.board.background());
  ctx.fillRect(0, 0, canvas.width, canvas.height);
  if (old) ctx.drawImage(old, 0, 0, covered.w * ratio, covered.h * ratio);
  Object.assign(covered, { w, h, ratio });
}

// A move to a screen of another density at the same size tells of itself only to a query of
// the density it leaves.
function watchDensity() {
  const density = matchMedia(`(resolution: ${window.devicePixelRatio || 1}dppx)`);
  density.addEventListener('change', () => { cover(); watchDensity(); }, { once: true });
}

function paint(colour) {
  if (colour !== pen.colour) ctx.fillStyle = ctx.strokeStyle = cssColour(pen.colour = colour);
}

// A rectangle between two corners in twips, grown by the pen's half width of one pixel,
// filled on whole device pixels so that walls stay sharp.
function fill(x1, y1, x2, y2, colour) {
  const r = covered.ratio, k = twips();
  const left = Math.round((Math.min(x1, x2) / k - 1) * r);
  const top = Math.round((Math.min(y1, y2) / k - 1) * r);
  const right = Math.round((Math.max(x1, x2) / k + 1) * r);
  const bottom = Math.round((Math.max(y1, y2) / k + 1) * r);
  paint(colour);
  ctx.fillRect(left, top, right - left, bottom - top);
}

// The board's font, the page's own at the game's size, and its ascent and height in pixels,
// measured once a size.
let family;
const sizes = {};
function useFont() {
  const font = `${points}pt ${family}`;
  if (font !== pen.font) ctx.font = pen.font = font;
  if (!sizes[points]) {
    // Without the font's box in the text's measures (Firefox before 116), the ink of a text
    // of the tallest and deepest letters.
    const box = ctx.measureText('0');
    const ink = box.fontBoundingBoxAscent === undefined && ctx.measureText('\u00c9Qgjpy|');
    const [ascent, descent] = ink ? [ink.actualBoundingBoxAscent, ink.actualBoundingBoxDescent]
      : [box.fontBoundingBoxAscent, box.fontBoundingBoxDescent];
    sizes[points] = [ascent, ascent + descent];
  }
  return sizes[points];
}

Object.assign(core.board, {
  clear() {
    cover();
    paint(core.board.background());
    ctx.fillRect(0, 0, canvas.width, canvas.height);
  },
  line(x1, y1, x2, y2, colour) {
    if (x1 === x2 || y1 === y2) return fill(x1, y1, x2, y2, colour);
    const k = twips();
    ctx.setTransform(covered.ratio, 0, 0, covered.ratio, 0, 0);
    Object.assign(ctx, { lineWidth: 2, lineCap: 'square' });
    paint(colour);
    ctx.beginPath();
    ctx.moveTo(x1 / k, y1 / k);
    ctx.lineTo(x2 / k, y2 / k);
    ctx.stroke();
    ctx.resetTransform();
  },
  box: fill,
  font(size) { points = size; },
  textWidth(text) { useFont(); return ctx.measureText(text).width * twips(); },
  textHeight: () => useFont()[1] * twips(),
  text(x, y, text) {
    const [ascent] = useFont();
    ctx.setTransform(covered.ratio, 0, 0, covered.ratio, 0, 0);
    paint(0);
    ctx.fillText(text, x / twips(), y / twips() + ascent);
    ctx.resetTransform();
  },
  clientWidth: () => boardEl.clientWidth * twips(),
  clientHeight: () => boardEl.clientHeight * twips(),
  background() {
    if (backdrop === undefined) {
      const [r, g, b] = getComputedStyle(document.body).backgroundColor.match(/\d+/g).map(Number);
      backdrop = b * 65536 + g * 256 + r;
    }
    return backdrop;
  },
});

// ---- Speech: the board's words for a screen reader. The live region's text changes with
// every utterance, even the same words twice, by the blank it ends in.
const spoken = document.createTextNode('');
$('words').append(spoken);
let blank = '\u00a0';
function say(words) {
  blank = blank === '\u00a0' ? '\u2002' : '\u00a0';
  spoken.data = words + blank;
}
// The board's description, brought up to date once a frame: screen readers learn of the
// page's changes with its next frame, so keys or movements faster than frames need the last.
const description = document.createTextNode('');
$('board-words').append(description);
let describing = 0;
function describeBoard() {
  describing = describing || requestAnimationFrame(() => {
    describing = 0;
    description.data = core.UTF8ToString(core._quorrel_board_words(page));
  });
}

// ---- Commands. The game may wait inside a command for the answer to a message box: the
// call then gives a promise. Until it is done every other event is dropped, as a modal box on
// the desktop would.
function run(name, args) {
  if (busy) return '';
  busy = true;
  const done = () => {
    busy = false;
    describeBoard();
  };
  let result;
  try {
    result = core.ccall(name, 'string', args.map(() => 'number'), args);
  } finally {
    if (!(result instanceof Promise)) done();
  }
  return result instanceof Promise ? result.finally(done) : result;
}
// Says what a call of the game gave to say, once the call is done.
function sayWords(words) {
  if (words instanceof Promise) return words.then(sayWords);
  if (words) say(words);
  return undefined;
}
// A key held down, auto-repeating, keeps its words for its release.
function perform(id, repeated = false) {
  closeMenus();
  return sayWords(run('quorrel_perform', [page, id, repeated ? 1 : 0]));
}

// ---- Message boxes: modal dialogs titled with the application's title.
Object.assign(core.page, {
  message(text, question) {
    return new Promise((resolve) => {
      const back = document.activeElement;
      const answers = question ? [[T.buttons.yes, true], [T.buttons.no, false]]
        : [[T.buttons.ok, true]];
      const close = (answer) => {
        $('layer').hidden = true;
        $('layer').replaceChildren();
        dialogKey = null;
        if (back) back.focus();
        resolve(answer);
      };
      const buttons = answers.map(([caption, answer]) =>
        el('button', { onclick: () => close(answer) }, ...captionNodes(caption)));
      const box = el('div', { role: 'alertdialog' },
        el('div', { className: 'title', id: 'box-title' }, T.appTitle),
        el('div', { className: 'text', id: 'box-text' }, text.replace(/\r\n/g, '\n')),
        el('div', { className: 'buttons' }, ...buttons));
      box.setAttribute('aria-modal', 'true');
      box.setAttribute('aria-labelledby', 'box-title');
      box.setAttribute('aria-describedby', 'box-text');
      dialogKey = (e) => {
        const at = buttons.indexOf(document.activeElement);
        const keyed = answers.findIndex(([caption]) => accessKey(caption) === e.key.toLowerCase());
        if (e.key === 'Escape') close(answers[answers.length - 1][1]);
        else if (e.key === 'Tab') buttons[(at + (e.shiftKey ? -1 : 1) + buttons.length) % buttons.length].focus();
        else if (keyed >= 0 && !e.ctrlKey) close(answers[keyed][1]);
        else if (e.key === 'Enter' || e.key === ' ') return;
        e.preventDefault();
      };
      $('layer').replaceChildren(box);
      $('layer').hidden = false;
      buttons[0].focus();
    });
  },
  sizeText: (which) => $(which ? 'Combo2' : 'Combo1').value,
  setBox(name, text) { $(name).value = text; },
  setChecked(name, on) { $(name).setAttribute('aria-checked', String(on)); },
  download(name, bytes) {
    const url = URL.createObjectURL(new Blob([bytes], { type: 'text/plain' }));
    el('a', { href: url, download: name }).click();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  },
});

// ---- The menu bar: the commands in the table's order, lists for the items of a menu. The bar
// is one Tab stop, before the strip of controls: the bar item last in use takes the Tab.
let focusBefore = null;  // the last focus outside the menus, where it goes back to
let tops = [];  // the menu bar's items
const listOf = (item) => item.nextElementSibling;
const itemsOf = (list) => [...list.children];

let menuOpen = false;
function closeMenus() {
  if (!menuOpen) return;
  menuOpen = false;
  for (const item of tops) {
    if (listOf(item) && !listOf(item).hidden) {
      listOf(item).hidden = true;
      item.setAttribute('aria-expanded', 'false');
    }
  }
}
function leaveMenus() {
  const inside = $('menubar').contains(document.activeElement);
  closeMenus();
  if (inside) (focusBefore?.isConnected ? focusBefore : $(T.focusOrder[0])).focus();
}
function rove(item) {
  for (const top of tops) top.tabIndex = top === item ? 0 : -1;
}
// Opens the item's list with the focus on its first item, or its last; a bar item without a
// list takes the focus itself.
function enterMenus(item, last = false) {
  closeMenus();
  rove(item);
  const list = listOf(item);
  if (list) {
    list.hidden = false;
    menuOpen = true;
    item.setAttribute('aria-expanded', 'true');
    const items = itemsOf(list);
    items[last ? items.length - 1 : 0].focus();
  } else {
    item.focus();
  }
}
function choose(item) {
  leaveMenus();
  if (item.dataset.command) perform(Number(item.dataset.command));
}

function buildMenus() {
  const lists = {};
  for (const row of T.commands) {
    if (row.place !== 'MenuBar' && row.place !== 'InMenu') continue;
    const role = !row.checkable ? 'menuitem' : row.radius >= 0 ? 'menuitemradio' : 'menuitemcheckbox';
    const item = el('div', { id: row.name, className: 'item', tabIndex: -1 },
      ...captionNodes(row.caption));
    item.setAttribute('role', role);
    if (row.checkable) item.setAttribute('aria-checked', 'false');
    if (!row.caption) item.setAttribute('aria-label', T.blankItemName);
    item.dataset.command = row.id;
    item.addEventListener('click', () => choose(item));
    if (row.place === 'InMenu') {
      if (!lists[row.menu]) {
        const menu = T.menus.find((m) => m.name === row.menu);
        const top = el('div', { id: menu.name, className: 'item', tabIndex: -1 },
          ...captionNodes(menu.caption));
        top.setAttribute('role', 'menuitem');
        top.setAttribute('aria-haspopup', 'menu');
        lists[row.menu] = el('div', { hidden: true });
        lists[row.menu].setAttribute('role', 'menu');
        lists[row.menu].setAttribute('aria-label', menu.caption.replace('&', ''));
        top.addEventListener('click', () => (listOf(top).hidden ? enterMenus(top) : leaveMenus()));
        $('menubar').append(el('div', { className: 'slot' }, top, lists[row.menu]));
      }
      lists[row.menu].append(item);
    } else {
      $('menubar').append(el('div', { className: 'slot' }, item));
    }
  }
  tops = [...$('menubar').querySelectorAll(':scope > .slot > .item')];
  rove(tops[0]);
  for (const item of tops) {
    if (listOf(item)) item.setAttribute('aria-expanded', 'false');
    const key = accessKey(captionOf(item));
    if (key) item.setAttribute('aria-keyshortcuts', `Alt+${key.toUpperCase()}`);
  }
  // However the menus close, the focus goes back where it was before they were entered: a
  // press in the bar leaves the focus where it is, and a press outside leaves the menus.
  $('menubar').addEventListener('mousedown', (e) => e.preventDefault());
  document.addEventListener('focusin', (e) => {
    if (!$('menubar').contains(e.target)) focusBefore = e.target;
  });
  document.addEventListener('pointerdown', (e) => {
    if (!$('menubar').contains(e.target)) leaveMenus();
  });
}
const captionOf = (item) => (T.commands.find((r) => r.name === item.id)
  || T.menus.find((m) => m.name === item.id)).caption;

// Keys while the focus is in the menus: Left and Right go along the bar, Up and Down along a
// list, Home and End to either end; Down, Enter and Space open a list on its first item, Up
// on its last; Enter and Space choose; Escape, and Tab from an open list, leave the menus.
function menuKey(e) {
  const here = document.activeElement;
  const top = tops.includes(here) ? here : here.parentElement.previousElementSibling;
  const list = listOf(top);
  const inList = list && list.contains(here);
  const items = inList ? itemsOf(list) : tops;
  const at = (i) => items[(i + items.length) % items.length];
  const toBar = (to) => {
    closeMenus();
    rove(to);
    to.focus();
  };
  switch (e.key) {
    case 'ArrowRight': case 'ArrowLeft': {
      const to = tops[(tops.indexOf(top) + (e.key === 'ArrowRight' ? 1 : -1) + tops.length)
        % tops.length];
      if (inList && listOf(to)) enterMenus(to); else toBar(to);
      break;
    }
    case 'ArrowDown': case 'ArrowUp':
      if (inList) at(items.indexOf(here) + (e.key === 'ArrowDown' ? 1 : -1)).focus();
      else if (list) enterMenus(top, e.key === 'ArrowUp');
      break;
    case 'Home': case 'End': {
      const end = at(e.key === 'Home' ? 0 : -1);
      if (inList) end.focus(); else toBar(end);
      break;
    }
    case 'Enter': case ' ':
      if (list && !inList) enterMenus(top); else choose(here);
      break;
    case 'Escape':
      leaveMenus();
      break;
    case 'Tab':
      if (!inList) return;
      leaveMenus();
      break;
    default:
      return;
  }
  e.preventDefault();
}

// ---- The controls, at their places in twips, in the order the focus goes round in.
function buildControls() {
  const client = $('client');
  client.style.minWidth = `${T.clientWidth / twips()}px`;
  client.style.minHeight = `${T.clientHeight / twips()}px`;
  const families = T.boldFamilies.map((f) => JSON.stringify(f)).join(', ');
  const boldFont = `bold ${T.boldPoints}pt ${families}, sans-serif`;
  const made = {};
  for (const row of T.controls) {
    let control;
    if (row.kind === 'Label') {
      control = el('label', { htmlFor: row.buddy }, row.caption);
    } else if (row.kind === 'Button') {
      control = el('button', { onclick: () => perform(newMazeId()) }, row.caption);
    } else {
      control = el('input', { type: 'text', readOnly: row.kind === 'Box', title: row.tip });
    }
    if (row.kind === 'Selector') control.value = T.sizeEntries[T.initialSizeEntry];
    Object.assign(control, { id: row.name, className: 'control' });
    if (row.bold) control.style.font = boldFont;
    Object.assign(control.style, {
      left: `${row.left / twips()}px`, top: `${T.controlTop / twips()}px`,
      width: `${row.width / twips()}px`, height: `${row.height / twips()}px`,
    });
    if (row.accessibleName) control.setAttribute('aria-label', row.accessibleName);
    if (row.description) control.setAttribute('aria-description', row.description);
    made[row.name] = control;
  }
  for (const name of T.focusOrder) if (made[name]) client.insertBefore(made[name], boardEl);
  for (const row of T.controls) if (!made[row.name].parentNode) client.insertBefore(made[row.name], boardEl);
  for (const row of T.controls) if (row.kind === 'Selector') sizeSelector(made[row.name], row);
}

// ---- A size selector: an editable combo box. Typing always edits the text, which the game
// reads as it stands; the list, opened by its button or Alt+Down, offers every size of the
// game's table whatever the box holds. The button takes no Tab stop: the box's keys open it.
const attrs = (node, map) => {
  for (const [name, value] of Object.entries(map)) node.setAttribute(name, value);
  return node;
};
function sizeSelector(box, row) {
  const options = T.sizeEntries.map((size, i) => attrs(el('div', { id: `${row.name}-${i}` }, size),
    { role: 'option', 'aria-selected': 'false' }));
  const list = attrs(el('div', { id: `${row.name}-sizes`, className: 'sizes', hidden: true },
    ...options), { role: 'listbox', 'aria-label': row.accessibleName });
  const button = attrs(el('button', { type: 'button', tabIndex: -1, className: 'opener' }),
    { 'aria-label': row.accessibleName, 'aria-controls': list.id, 'aria-expanded': 'false' });
  attrs(box, { role: 'combobox', 'aria-autocomplete': 'none', 'aria-controls': list.id,
    'aria-expanded': 'false' });
  const px = (length) => length / twips();
  const wide = 14;  // the button's width, in pixels
  Object.assign(button.style, { left: `${px(row.left + row.width) - wide}px`,
    top: `${px(T.controlTop)}px`, width: `${wide}px`, height: `${px(row.height)}px` });
  Object.assign(list.style, { left: `${px(row.left)}px`, top: `${px(T.controlTop + row.height)}px`,
    minWidth: `${px(row.width)}px` });
  box.style.paddingRight = `${wide}px`;
  box.after(button, list);

  let active = -1;  // the option with the visual focus, -1 for none
  const show = (at) => {
    active = at;
    options.forEach((option, i) => option.setAttribute('aria-selected', String(i === at)));
    if (at < 0) box.removeAttribute('aria-activedescendant');
    else box.setAttribute('aria-activedescendant', options[at].id);
  };
  const expand = (open, at = -1) => {
    list.hidden = !open;
    for (const node of [box, button]) node.setAttribute('aria-expanded', String(open));
    show(open ? at : -1);
  };
  const take = (at) => {
    box.value = T.sizeEntries[at];
    expand(false);
  };
  box.addEventListener('keydown', (e) => {
    const down = e.key === 'ArrowDown';
    const last = options.length - 1;
    if ((down || e.key === 'ArrowUp') && !e.ctrlKey && !e.metaKey) {
      const here = T.sizeEntries.indexOf(box.value.trim());
      if (e.altKey) {
        if (down) expand(true, active);
        else if (active >= 0) take(active);
        else expand(false);
      } else if (list.hidden || active < 0) {
        expand(true, here >= 0 ? here : down ? 0 : last);
      } else {
        show(down ? (active < last ? active + 1 : 0) : (active > 0 ? active - 1 : last));
      }
    } else if (e.key === 'Enter' && !list.hidden) {
      if (active >= 0) take(active); else expand(false);
    } else if (e.key === 'Escape' && !list.hidden) {
      expand(false);
    } else {
      return;
    }
    e.preventDefault();
  });
  box.addEventListener('input', () => show(-1));
  box.addEventListener('blur', () => expand(false));
  // A press on the button or the list leaves the focus in the box.
  for (const node of [button, list]) node.addEventListener('mousedown', (e) => e.preventDefault());
  button.addEventListener('click', () => {
    box.focus();
    expand(list.hidden, T.sizeEntries.indexOf(box.value.trim()));
  });
  options.forEach((option, i) => option.addEventListener('click', () => take(i)));
  document.addEventListener('pointerdown', (e) => {
    if (!list.hidden && ![box, button, list].some((node) => node.contains(e.target))) expand(false);
  });
}
const newMazeId = () => T.commands.find((r) => r.place === 'Button').id;

// ---- Keys: a command's shortcut in the portable form "Ctrl+N", "F1", "Left", "Space".
const keyNames = { Left: 'ArrowLeft', Right: 'ArrowRight', Up: 'ArrowUp', Down: 'ArrowDown', Space: ' ' };
function matches(shortcut, e) {
  const parts = shortcut.split('+');
  const key = parts.pop();
  return (keyNames[key] || key).toLowerCase() === e.key.toLowerCase()
    && parts.includes('Ctrl') === e.ctrlKey && parts.includes('Alt') === e.altKey
    && parts.includes('Shift') === e.shiftKey && !e.metaKey;
}

function onKey(e) {
  if (dialogKey) return dialogKey(e);
  // The browser keeps some keys for itself (Ctrl+N opens a window): only keys that work
  // on the board or anywhere in the window are the page's.
  const row = T.commands.find((r) => (r.scope === 'Window'
    || (r.scope === 'Board' && document.activeElement === boardEl)) && matches(r.shortcut, e));
  // While the game loads (or does not), only its own keys wait for it: Tab, reload, find and
  // zoom are the browser's.
  if (busy) return row && e.preventDefault();
  if (row) {
    e.preventDefault();
    const repeated = e.repeat && row.scope === 'Board';
    heldKey = repeated ? { key: e.key, id: row.id } : null;
    perform(row.id, repeated);
    return;
  }
  if (e.altKey && !e.ctrlKey && !e.metaKey && letterOf(e)) {
    const item = tops.find((i) => accessKey(captionOf(i)) === letterOf(e));
    if (item) {
      e.preventDefault();
      if (listOf(item)) enterMenus(item); else choose(item);
      return;
    }
  }
  if ($('menubar').contains(document.activeElement)) menuKey(e);
}

// The release of the held arrow on the board says where its run stopped.
let heldKey = null;  // the key held down on the board, and its command
function onKeyUp(e) {
  if (e.key !== heldKey?.key || busy || dialogKey) return;
  const { id } = heldKey;
  heldKey = null;
  if (document.activeElement === boardEl) sayWords(run('quorrel_key_released', [page, id]));
}

// ---- The mouse, pen or finger over the board: press, movement and release in twips.
function pointer(event, e, button) {
  e.preventDefault();
  const at = boardEl.getBoundingClientRect();
  const shift = (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0);
  sayWords(run('quorrel_mouse', [page, event, button, shift,
    (e.clientX - at.left) * twips(), (e.clientY - at.top) * twips()]));
}
// Every button pressed or let go reaches the game as its own press or release, also those of
// a second button during a drag, which come as a movement. The buttons by the bits of
// e.buttons (left, right, middle, back, forward), as the game counts them (no code for the
// last two).
const buttonBits = [[1, 1], [2, 2], [4, 4], [8, 0], [16, 0]];
let held = 0;  // the buttons the game last heard of
function buttons(e) {
  for (const [bit, code] of buttonBits) {
    if ((held ^ e.buttons) & bit) pointer(e.buttons & bit ? 0 : 2, e, code);
  }
  held = e.buttons & 31;
}
function listenToPointer() {
  const primary = (handle) => (e) => e.isPrimary && handle(e);
  boardEl.addEventListener('pointerdown', primary((e) => {
    if (!busy) boardEl.setPointerCapture(e.pointerId);
    buttons(e);
  }));
  boardEl.addEventListener('pointermove', primary((e) => {
    buttons(e);
    if (e.button < 0) pointer(1, e, e.buttons & 7);
  }));
  boardEl.addEventListener('pointerup', primary(buttons));
  // A touch the system takes back (an edge swipe, a palm) ends as a release does.
  boardEl.addEventListener('pointercancel', primary(buttons));
  boardEl.addEventListener('contextmenu', (e) => e.preventDefault());
}

// The window is built from the game's tables, which the site carries in the page, while the
// document is still being read and the game loads.
async function start() {
  T = JSON.parse($('tables').textContent);
  family = getComputedStyle(boardEl).fontFamily;
  boardEl.setAttribute('aria-label', T.boardName);
  boardEl.setAttribute('aria-describedby', 'board-words');
  buildMenus();
  buildControls();
  cover();
  listenToPointer();
  document.addEventListener('keydown', onKey);
  document.addEventListener('keyup', onKeyUp);
  // A new zoom changes the window's size in CSS pixels, but not the board's where the board is
  // held at its least size: the window tells of it.
  new ResizeObserver(cover).observe(boardEl);
  addEventListener('resize', cover);
  watchDensity();
  $(T.focusOrder[0]).focus();
  // The game's script runs once the document is read.
  await new Promise((read) => document.addEventListener('DOMContentLoaded', read));
  try {
    await createQuorrel(core);
  } catch (failure) {
    // quorrel.js or quorrel.wasm did not come: the page says so, and stays a page.
    $('notice').textContent = T.pageWords.notLoaded;
    $('notice').hidden = false;
    return;
  }
  page = core._quorrel_open();
  describeBoard();
  boardEl.addEventListener('focus', () => say(core.UTF8ToString(core._quorrel_focus_words(page))));
  boardEl.addEventListener('blur', () => { heldKey = null; });
  busy = false;
  document.body.dataset.ready = 'true';
  // Kept by the service worker, the site plays on with no network.
  navigator.serviceWorker?.register('sw.js').catch(() => {});
}
// A browser too old for the page has been told so by the check in the page instead.
if (document.documentElement.className !== 'old') start();
