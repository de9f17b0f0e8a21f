// QUARVEL in the browser. The page draws the window from the calculator's own description of it
// (places, sizes, fonts, colours, texts, tab order) and runs every click through the same core
// as the desktop program, so that both give the same answers, byte for byte. Where the window
// does not fit at its own size, the same controls flow into an arrangement of the screen's size.

import createBrindaq from './brindaq.mjs';

const brindaq = await createBrindaq();
const description = brindaq.description();

// The few texts that only the page has.
const kOkButton = 'OK';
const kEndedLine = `${description.programName} has ended.`;
const kStartAgainButton = 'Start again';
const kNoLines = 'no result lines';
const linesSaid = (count) => `${count} result ${count === 1 ? 'line' : 'lines'}`;
const kLinesRead = 3; // how many lines an announcement reads out
// As much text as a desktop text box holds.
const kLongestBoxText = 32767;

const root = document.documentElement;
const frame = document.getElementById('window');
const elements = new Map(); // control name -> element

// The design's colours and fonts, and the window's size, for the style sheet to use.
function applyDesign() {
  const { colours } = description;
  for (const [part, pair] of Object.entries(colours)) {
    root.style.setProperty(`--${part}-background`, pair.background);
    root.style.setProperty(`--${part}-text`, pair.text);
  }
  const families = description.fontFamilies.map((family) => `"${family}"`);
  root.style.setProperty('--font-family', [...families, 'sans-serif'].join(', '));
  root.style.setProperty('--window-width', `${description.width}px`);
  root.style.setProperty('--window-height', `${description.height}px`);
  document.title = description.caption;
}

// A control's place, size and font in the window, for the style sheet to use where the window
// keeps its own layout; elsewhere the font's size is only the least one.
function place(element, control) {
  element.classList.add('control');
  for (const key of ['left', 'top', 'width', 'height']) {
    element.style.setProperty(`--${key}`, `${control[key]}px`);
  }
  element.style.setProperty('--font-size', `${control.fontPixels}px`);
  element.style.fontWeight = control.bold ? 'bold' : 'normal';
}

// The result list: lines that can be selected with click, Shift-click and Ctrl-click (on a touch
// screen with a tap; a long press selects a line and opens the menu), and copied with Ctrl+C or
// the context menu.
class ResultList {
  constructor(control) {
    this.element = document.createElement('div');
    this.element.className = 'list';
    this.element.setAttribute('role', 'listbox');
    this.element.setAttribute('aria-label', control.text);
    this.element.setAttribute('aria-multiselectable', 'true');
    this.element.tabIndex = 0;
    this.lines = [];
    this.options = [];
    this.selected = new Set();
    this.kept = new Set(); // what stays selected while Shift-click moves the range's end
    this.anchor = 0;
    this.current = -1;
    this.element.addEventListener('mousedown', (event) => this.onMouseDown(event));
    this.element.addEventListener('keydown', (event) => this.onKeyDown(event));
    this.element.addEventListener('pointerdown', (event) => this.onPointerDown(event));
    this.onLongPress = () => {};
    // The finger that opened the menu lifts without a tap: no click, no mouse events.
    this.heldLong = false;
    this.element.addEventListener(
      'touchend',
      (event) => {
        if (this.heldLong) {
          event.preventDefault();
        }
      },
      { passive: false },
    );
  }

  clear() {
    this.lines = [];
    this.options = [];
    this.element.replaceChildren();
    this.element.removeAttribute('aria-activedescendant');
    this.selected.clear();
    this.kept.clear();
    this.anchor = 0;
    this.current = -1;
  }

  append(lines) {
    const fragment = document.createDocumentFragment();
    for (const line of lines) {
      const option = document.createElement('div');
      option.setAttribute('role', 'option');
      option.setAttribute('aria-selected', 'false');
      option.id = `${this.element.id}-${this.options.length}`;
      option.dataset.row = String(this.options.length);
      option.textContent = line;
      this.lines.push(line);
      this.options.push(option);
      fragment.append(option);
    }
    this.element.append(fragment);
  }

  selectedLines() {
    return [...this.selected].sort((x, y) => x - y).map((row) => this.lines[row]);
  }

  // A click selects one line; Ctrl adds or removes one; Shift selects from the last line
  // clicked without Shift to this one, keeping what Ctrl-clicks had selected before.
  select(row, { shift = false, control = false } = {}) {
    if (shift) {
      const [from, to] = this.anchor <= row ? [this.anchor, row] : [row, this.anchor];
      this.selected = new Set(this.kept);
      for (let line = from; line <= to; ++line) {
        this.selected.add(line);
      }
    } else if (control) {
      this.kept = new Set(this.selected);
      this.kept.delete(row);
      if (this.selected.has(row)) {
        this.selected.delete(row);
      } else {
        this.selected.add(row);
      }
      this.anchor = row;
    } else {
      this.kept.clear();
      this.selected = new Set([row]);
      this.anchor = row;
    }
    this.current = row;
    this.show();
  }

  selectAll() {
    this.kept.clear();
    this.selected = new Set(this.lines.keys());
    this.show();
  }

  show() {
    this.options.forEach((option, row) => {
      option.setAttribute('aria-selected', this.selected.has(row) ? 'true' : 'false');
    });
    if (this.current >= 0) {
      const option = this.options[this.current];
      this.element.setAttribute('aria-activedescendant', option.id);
      option.scrollIntoView({ block: 'nearest' });
    }
  }

  onMouseDown(event) {
    const option = event.target.closest('[role="option"]');
    if (option === null || (event.button !== 0 && event.button !== 2)) {
      return;
    }
    const row = Number(option.dataset.row);
    // A right click on a line that is not selected selects it, so that the menu is about it.
    if (event.button === 2 && this.selected.has(row)) {
      return;
    }
    this.select(row, {
      shift: event.button === 0 && event.shiftKey,
      control: event.button === 0 && (event.ctrlKey || event.metaKey),
    });
  }

  rowAt(target) {
    const option = target instanceof Element ? target.closest('[role="option"]') : null;
    return option === null ? -1 : Number(option.dataset.row);
  }

  // A finger or pen held still on a line for half a second. (Browsers that send a context menu
  // event for a long press get there too, through the menu; this serves those that do not.)
  onPointerDown(event) {
    const row = this.rowAt(event.target);
    this.heldLong = false;
    if (event.pointerType === 'mouse' || row < 0) {
      return;
    }
    const { pointerId, clientX: x, clientY: y } = event;
    const stop = () => {
      clearTimeout(timer);
      this.element.removeEventListener('pointermove', moved);
      this.element.removeEventListener('pointerup', stop);
      this.element.removeEventListener('pointercancel', stop);
    };
    const moved = (move) => {
      if (move.pointerId === pointerId && Math.hypot(move.clientX - x, move.clientY - y) > 10) {
        stop();
      }
    };
    const timer = setTimeout(() => {
      stop();
      this.heldLong = true;
      this.onLongPress(row, x, y);
    }, 500);
    this.element.addEventListener('pointermove', moved);
    this.element.addEventListener('pointerup', stop);
    this.element.addEventListener('pointercancel', stop);
  }

  onKeyDown(event) {
    const control = event.ctrlKey || event.metaKey;
    if (control && !event.altKey && event.key.toLowerCase() === 'c') {
      event.preventDefault();
      copyLines(this.selectedLines());
      return;
    }
    if (control && !event.altKey && event.key.toLowerCase() === 'a') {
      event.preventDefault();
      this.selectAll();
      return;
    }
    const last = this.lines.length - 1;
    const page = Math.max(1, Math.floor(this.element.clientHeight / this.rowHeight()) - 1);
    const moves = {
      ArrowUp: this.current - 1,
      ArrowDown: this.current + 1,
      Home: 0,
      End: last,
      PageUp: this.current - page,
      PageDown: this.current + page,
    };
    if (!(event.key in moves) || last < 0) {
      return;
    }
    event.preventDefault();
    const row = Math.min(last, Math.max(0, moves[event.key]));
    this.select(row, { shift: event.shiftKey });
  }

  rowHeight() {
    return this.options.length > 0 ? this.options[0].offsetHeight || 1 : 1;
  }
}

// Copying: each line without its leading blanks, joined with "\n", as the core gives it.
async function copyLines(lines) {
  if (!brindaq.canCopy(lines.length)) {
    return; // nothing to copy: the clipboard keeps what it had
  }
  const text = brindaq.copiedText(lines);
  try {
    await navigator.clipboard.writeText(text);
  } catch {
    // A browser that refuses the asynchronous clipboard still copies inside a user's action.
    const onCopy = (event) => {
      event.clipboardData.setData('text/plain', text);
      event.preventDefault();
    };
    document.addEventListener('copy', onCopy);
    document.execCommand('copy');
    document.removeEventListener('copy', onCopy);
  }
}

// The list's context menu: "Copy" the selected lines, "Copy All" of them.
class CopyMenu {
  constructor(list) {
    this.list = list;
    this.element = document.createElement('div');
    this.element.className = 'menu';
    this.element.setAttribute('role', 'menu');
    this.element.hidden = true;
    this.copy = this.item(description.copyAction, () => list.selectedLines());
    this.copyAll = this.item(description.copyAllAction, () => list.lines);
    this.element.addEventListener('keydown', (event) => this.onKeyDown(event));
    this.element.addEventListener('focusout', (event) => {
      if (!this.element.contains(event.relatedTarget)) {
        this.close(false);
      }
    });
    list.element.addEventListener('contextmenu', (event) => this.open(event));
    list.onLongPress = (row, x, y) => {
      if (!list.selected.has(row)) {
        list.select(row);
      }
      this.openAt(x, y);
    };
    document.addEventListener('mousedown', (event) => {
      if (!this.element.hidden && !this.element.contains(event.target)) {
        this.close(false);
      }
    });
  }

  item(text, lines) {
    const button = document.createElement('button');
    button.type = 'button';
    button.setAttribute('role', 'menuitem');
    button.textContent = text;
    button.addEventListener('click', () => {
      this.close(true);
      copyLines(lines());
    });
    this.element.append(button);
    return button;
  }

  // Where the pointer is, or at the list's corner from the keyboard. A menu asked for on a line
  // that is not selected (a touch screen's long press) is about that line alone.
  open(event) {
    event.preventDefault();
    const row = this.list.rowAt(event.target);
    if (row >= 0 && !this.list.selected.has(row)) {
      this.list.select(row);
    }
    const pointed = event.button === 2 || ['touch', 'pen'].includes(event.pointerType);
    if (pointed && (event.clientX !== 0 || event.clientY !== 0)) {
      this.openAt(event.clientX, event.clientY);
    } else {
      const listBox = this.list.element.getBoundingClientRect();
      this.openAt(listBox.left + 4, listBox.top + 4);
    }
  }

  openAt(x, y) {
    this.copy.disabled = !brindaq.canCopy(this.list.selected.size);
    this.copyAll.disabled = !brindaq.canCopy(this.list.lines.length);
    this.element.hidden = false;
    const { offsetWidth, offsetHeight } = this.element;
    const { clientWidth, clientHeight } = document.documentElement;
    this.element.style.left = `${Math.max(0, Math.min(x, clientWidth - offsetWidth))}px`;
    this.element.style.top = `${Math.max(0, Math.min(y, clientHeight - offsetHeight))}px`;
    const first = [this.copy, this.copyAll].find((button) => !button.disabled);
    (first ?? this.element).focus();
    if (first === undefined) {
      this.element.tabIndex = -1;
      this.element.focus();
    }
  }

  close(backToList) {
    if (this.element.hidden) {
      return;
    }
    this.element.hidden = true;
    if (backToList) {
      this.list.element.focus();
    }
  }

  onKeyDown(event) {
    const items = [this.copy, this.copyAll].filter((button) => !button.disabled);
    const at = items.indexOf(document.activeElement);
    if (event.key === 'Escape' || event.key === 'Tab') {
      event.preventDefault();
      this.close(true);
    } else if (event.key === 'ArrowDown' || event.key === 'ArrowUp') {
      event.preventDefault();
      const step = event.key === 'ArrowDown' ? 1 : items.length - 1;
      items[(at + step) % items.length]?.focus();
    }
  }
}

// The notice: a modal box titled with the program's name, the notice and one OK button. OK,
// Enter and Escape close it; the keyboard then goes back to the box the notice is about.
class NoticeBox {
  constructor() {
    this.element = document.createElement('dialog');
    this.element.setAttribute('aria-labelledby', 'notice-title');
    this.element.setAttribute('aria-describedby', 'notice-text');
    const title = document.createElement('h2');
    title.className = 'title';
    title.id = 'notice-title';
    title.textContent = description.noticeCaption;
    this.text = document.createElement('p');
    this.text.id = 'notice-text';
    const form = document.createElement('form');
    form.method = 'dialog';
    this.ok = document.createElement('button');
    this.ok.type = 'submit';
    this.ok.textContent = kOkButton;
    form.append(this.ok);
    this.element.append(title, this.text, form);
    document.body.append(this.element);
    this.returnTo = null;
    this.element.addEventListener('close', () => {
      const box = this.returnTo;
      this.returnTo = null;
      if (box !== null) {
        box.focus();
        box.select();
      }
    });
  }

  show(notice, box) {
    this.text.textContent = notice;
    this.returnTo = box;
    this.element.showModal();
    this.ok.focus();
  }
}

// Labels and buttons hold their text in a box of its own, whose size tells whether the text
// still fits its control.
const captions = [];

function withCaption(element, text) {
  const caption = document.createElement('span');
  caption.className = 'caption';
  caption.textContent = text;
  element.append(caption);
  captions.push(caption);
  return element;
}

// The first label of the window is its heading; a label that names a box is that box's label;
// any other label is a paragraph.
function createControl(control, { heading, box }) {
  switch (control.kind) {
    case 'label': {
      const element = document.createElement(heading ? 'h1' : box === undefined ? 'p' : 'label');
      if (box !== undefined) {
        element.htmlFor = box;
      }
      element.className = 'label';
      return withCaption(element, control.text);
    }
    case 'list':
      results = new ResultList(control);
      return results.element;
    case 'textbox': {
      const element = document.createElement('input');
      element.type = 'text';
      element.inputMode = 'numeric';
      element.maxLength = kLongestBoxText;
      element.autocomplete = 'off';
      element.spellcheck = false;
      return element;
    }
    default: {
      const element = document.createElement('button');
      element.type = 'button';
      element.addEventListener('click', () => act(control.command));
      return withCaption(element, control.text);
    }
  }
}

let results = null;
let boxes = [];
let notices = null;
let menu = null;
let announcement = null;

// The commands whose outcome has an address: every operation, and INFO.
const answers = new Set(
  description.controls
    .map((control) => control.command)
    .filter((command) => command !== undefined && command !== 'exit' && command !== 'clear'),
);

function act(command) {
  const texts = boxes.map((box) => box.value);
  if (command === 'exit') {
    exitProgram();
  } else if (command === 'clear') {
    results.clear();
    for (const box of boxes) {
      box.value = '';
    }
    announce([], null);
    setAddress('');
  } else if (command === 'info') {
    results.clear();
    results.append(description.infoLines);
    announce(description.infoLines, null);
    remember(command, texts);
  } else {
    runOperation(command, texts);
  }
}

// One click: the list is emptied, the operation runs on the three boxes' texts, its lines are
// appended, and a notice is shown last.
function runOperation(command, [a, b, c]) {
  results.clear();
  const outcome = brindaq.run(command, a, b, c);
  results.append(outcome.lines);
  announce(outcome.lines, outcome.notice);
  remember(command, [a, b, c]);
  if (outcome.notice !== null) {
    const box = outcome.operand === null ? undefined : boxes['ABC'.indexOf(outcome.operand)];
    notices.show(outcome.notice, box ?? null);
  }
}

// What a screen reader says after a click: the number of lines and the first of them, or that
// there are none, and the notice. A new paragraph each time, so that the same outcome twice is
// said twice.
function announce(lines, notice) {
  const said = [];
  if (lines.length > 0) {
    const first = lines.slice(0, kLinesRead).map((line) => line.trim());
    said.push(`${linesSaid(lines.length)}: ${first.join(', ')}`);
  } else if (notice === null) {
    said.push(kNoLines);
  }
  if (notice !== null) {
    said.push(notice);
  }
  const paragraph = document.createElement('p');
  paragraph.textContent = said.join('. ');
  announcement.replaceChildren(paragraph);
}

// The address of an answer: #COMMAND/A/B/C, each box's text percent-encoded as
// encodeURIComponent writes it and the empty boxes at the end left out. So #factors/360 is
// A = 360 and PRIME FACTORS OF A, and an empty box before one with text is an empty part:
// #linear-congruence/3//7. It replaces the current entry of the history and adds none.
function remember(command, texts) {
  const parts = [command, ...texts];
  while (parts.at(-1) === '') {
    parts.pop();
  }
  setAddress(`#${parts.map(encodeURIComponent).join('/')}`);
}

function setAddress(hash) {
  const url = new URL(window.location.href);
  url.hash = hash;
  if (url.href !== window.location.href) {
    history.replaceState(history.state, '', url);
  }
}

// The answer that an address asks for, as { command, texts }; null for an address that names
// none, or that holds text no box would take (a line break, more than a box holds, a broken
// percent-encoding). The texts only ever become the boxes' values.
function answerAt(hash) {
  const [command, ...parts] = hash.replace(/^#/, '').split('/');
  if (!answers.has(command) || parts.length > boxes.length) {
    return null;
  }
  let texts;
  try {
    texts = parts.map(decodeURIComponent);
  } catch {
    return null;
  }
  if (texts.some((text) => text.length > kLongestBoxText || /[\r\n]/.test(text))) {
    return null;
  }
  return { command, texts: boxes.map((_, index) => texts[index] ?? '') };
}

// Opening an answer's address fills the boxes and clicks its button; any other address opens
// the plain window.
function openAddress({ atStart }) {
  const answer = answerAt(window.location.hash);
  if (answer !== null) {
    boxes.forEach((box, index) => {
      box.value = answer.texts[index];
    });
    act(answer.command);
  } else if (atStart) {
    setAddress('');
  } else {
    act('clear');
  }
}

// A page may close only a window that a script opened or one with no history of its own (an
// installed app's window, a tab opened straight at the page); anywhere else the browser refuses
// with a warning. There the program ends as far as a page can: the window gives way to a line
// that says so and a button that starts it again.
function exitProgram() {
  if (window.opener !== null || history.length === 1) {
    window.close();
    if (window.closed) {
      return;
    }
  }
  const ended = document.createElement('main');
  ended.className = 'ended';
  const line = document.createElement('p');
  line.textContent = kEndedLine;
  const again = document.createElement('button');
  again.type = 'button';
  again.textContent = kStartAgainButton;
  again.addEventListener('click', () => window.location.reload());
  ended.append(line, again);
  frame.replaceWith(ended);
  again.focus();
}

// The window keeps its own layout, at its own size, where the viewport holds it and every
// caption fits its control (a reader's own text spacing or least font size can make one
// outgrow it). Elsewhere the same controls flow: in one column where the viewport is narrower
// than the window, else in two parts side by side.
function arrange() {
  const before = root.dataset.layout;
  let layout = window.innerWidth < description.width ? 'column' : 'parts';
  if (window.innerWidth >= description.width && window.innerHeight >= description.height) {
    root.dataset.layout = 'window';
    if (captions.every(fitsItsControl)) {
      layout = 'window';
    }
  }
  root.dataset.layout = layout;
  if (layout !== before) {
    menu.close(false);
  }
}

function fitsItsControl(caption) {
  const inner = caption.getBoundingClientRect();
  const outer = caption.parentElement.getBoundingClientRect();
  return (
    inner.left >= outer.left - 1 &&
    inner.right <= outer.right + 1 &&
    inner.top >= outer.top - 1 &&
    inner.bottom <= outer.bottom + 1
  );
}

// The page reads in the window's tab order, with three rules for what the tab order leaves out
// or splits up: a label that names a box is read just before its box, and the two form a row;
// any other label is read before the first control below it that takes the keyboard (the title
// and the hint before the list), or last; neighbouring rows, and neighbouring buttons, form a
// group. The list closes the first of two parts. Where the window keeps its own layout, the
// groups and parts draw nothing and every control stands at its own place.
function build() {
  applyDesign();
  const { controls } = description;
  const boxOf = new Map(description.labels.map(({ label, box }) => [label, box]));
  const labelOf = new Map(description.labels.map(({ label, box }) => [box, label]));
  const heading = controls.find((control) => control.kind === 'label');
  const takesKeys = controls.filter((control) => control.kind !== 'label');
  const readBefore = new Map(takesKeys.map((control) => [control.name, []]));
  const readLast = [];
  for (const label of controls.filter((control) => control.kind === 'label')) {
    if (!boxOf.has(label.name)) {
      const next = takesKeys.find((control) => control.top >= label.top + label.height);
      (next === undefined ? readLast : readBefore.get(next.name)).push(label);
    }
  }

  const make = (control) => {
    const element = createControl(control, {
      heading: control === heading,
      box: boxOf.get(control.name),
    });
    element.id = control.name;
    place(element, control);
    elements.set(control.name, element);
    return element;
  };
  const group = (kind) => {
    const element = document.createElement('div');
    element.className = kind;
    return element;
  };
  const parts = [group('part'), group('part')];
  let part = parts[0];
  let last = null; // the group that the previous control went into
  const into = (kind) => {
    if (last === null || last.className !== kind) {
      last = group(kind);
      part.append(last);
    }
    return last;
  };
  for (const control of takesKeys) {
    for (const label of readBefore.get(control.name)) {
      part.append(make(label));
      last = null;
    }
    if (control.kind === 'button') {
      into('buttons').append(make(control));
    } else if (control.kind === 'textbox') {
      const row = group('row');
      if (labelOf.has(control.name)) {
        row.append(make(controls.find((label) => label.name === labelOf.get(control.name))));
      }
      row.append(make(control));
      into('rows').append(row);
    } else {
      part.append(make(control));
      last = null;
      if (control.kind === 'list') {
        part = parts[1];
      }
    }
  }
  for (const label of readLast) {
    part.append(make(label));
  }
  boxes = description.operandBoxes.map((name) => elements.get(name));

  menu = new CopyMenu(results);
  announcement = document.createElement('div');
  announcement.className = 'announcement';
  announcement.setAttribute('role', 'status');
  frame.append(...parts, menu.element, announcement);
  notices = new NoticeBox();

  arrange();
  window.addEventListener('resize', arrange);
  let pending = false;
  const observer = new ResizeObserver(() => {
    if (!pending) {
      pending = true;
      requestAnimationFrame(() => {
        pending = false;
        arrange();
      });
    }
  });
  for (const caption of captions) {
    observer.observe(caption);
  }
  results.element.focus();
  openAddress({ atStart: true });
  window.addEventListener('hashchange', () => openAddress({ atStart: false }));
}

build();

// After the first visit the page opens and calculates with no network at all.
if ('serviceWorker' in navigator) {
  navigator.serviceWorker.register('sw.js');
}
