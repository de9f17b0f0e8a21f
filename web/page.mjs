// QUARVEL in the browser. The page draws the window from the calculator's own description of it
// (places, sizes, fonts, colours, texts, tab order) and runs every click through the same core
// as the desktop program, so that both give the same answers, byte for byte.

import createBrindaq from './brindaq.mjs';

const brindaq = await createBrindaq();
const description = brindaq.description();

// The few texts that only the page has.
const kOkButton = 'OK';
const kEndedLine = `${description.programName} has ended.`;
const kStartAgainButton = 'Start again';

const frame = document.getElementById('window');
const elements = new Map(); // control name -> element

// The design's colours and fonts, for the style sheet to use.
function applyDesign() {
  const root = document.documentElement.style;
  const { colours } = description;
  for (const [part, pair] of Object.entries(colours)) {
    root.setProperty(`--${part}-background`, pair.background);
    root.setProperty(`--${part}-text`, pair.text);
  }
  const families = description.fontFamilies.map((family) => `"${family}"`);
  root.setProperty('--font-family', [...families, 'sans-serif'].join(', '));
  document.title = description.caption;
  frame.style.width = `${description.width}px`;
  frame.style.height = `${description.height}px`;
}

function place(element, control) {
  element.style.left = `${control.left}px`;
  element.style.top = `${control.top}px`;
  element.style.width = `${control.width}px`;
  element.style.height = `${control.height}px`;
  element.style.fontSize = `${control.fontPixels}px`;
  element.style.fontWeight = control.bold ? 'bold' : 'normal';
}

// The result list: lines that can be selected with click, Shift-click and Ctrl-click, and
// copied with Ctrl+C or the context menu.
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

  open(event) {
    event.preventDefault();
    this.copy.disabled = !brindaq.canCopy(this.list.selected.size);
    this.copyAll.disabled = !brindaq.canCopy(this.list.lines.length);
    // Where the pointer is (or at the list's corner from the keyboard), in the window's own
    // pixels, whatever the window's scale on screen.
    const frameBox = frame.getBoundingClientRect();
    const listBox = this.list.element.getBoundingClientRect();
    const fromKeyboard = event.button !== 2 || (event.clientX === 0 && event.clientY === 0);
    const x = fromKeyboard ? listBox.left + 4 : event.clientX;
    const y = fromKeyboard ? listBox.top + 4 : event.clientY;
    this.element.hidden = false;
    const { offsetWidth, offsetHeight } = this.element;
    const left = Math.min((x - frameBox.left) / scale, description.width - offsetWidth);
    const top = Math.min((y - frameBox.top) / scale, description.height - offsetHeight);
    this.element.style.left = `${Math.max(0, left)}px`;
    this.element.style.top = `${Math.max(0, top)}px`;
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
    const title = document.createElement('h1');
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

function createControl(control, labelFor) {
  switch (control.kind) {
    case 'label': {
      const box = labelFor.get(control.name);
      const element = document.createElement(box === undefined ? 'div' : 'label');
      if (box !== undefined) {
        element.htmlFor = box;
      }
      element.className = 'label';
      element.textContent = control.text;
      return element;
    }
    case 'list':
      results = new ResultList(control);
      return results.element;
    case 'textbox': {
      const element = document.createElement('input');
      element.type = 'text';
      element.autocomplete = 'off';
      element.spellcheck = false;
      return element;
    }
    default: {
      const element = document.createElement('button');
      element.type = 'button';
      element.textContent = control.text;
      element.addEventListener('click', () => act(control.command));
      return element;
    }
  }
}

let results = null;
let boxes = [];
let notices = null;
let scale = 1;

function act(command) {
  if (command === 'exit') {
    exitProgram();
  } else if (command === 'clear') {
    results.clear();
    for (const box of boxes) {
      box.value = '';
    }
  } else if (command === 'info') {
    results.clear();
    results.append(description.infoLines);
  } else {
    runOperation(command);
  }
}

// One click: the list is emptied, the operation runs on the three boxes' texts, its lines are
// appended, and a notice is shown last.
function runOperation(command) {
  results.clear();
  const [a, b, c] = boxes.map((box) => box.value);
  const outcome = brindaq.run(command, a, b, c);
  results.append(outcome.lines);
  if (outcome.notice !== null) {
    const box = brindaq.noticeOperand(command, a, b, c, outcome.notice);
    notices.show(outcome.notice, box === null ? null : elements.get(box));
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
  const ended = document.createElement('div');
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

// A viewport smaller than the window (a phone) shows all of it, scaled down, in proportion.
function fitToViewport() {
  scale = Math.min(
    1,
    window.innerWidth / description.width,
    window.innerHeight / description.height,
  );
  frame.style.transform = scale < 1 ? `scale(${scale})` : '';
}

function build() {
  applyDesign();
  const labelFor = new Map(description.labels.map(({ label, box }) => [label, box]));
  // In tab order: the order of the page is the order of the description.
  for (const control of description.controls) {
    const element = createControl(control, labelFor);
    element.id = control.name;
    place(element, control);
    frame.append(element);
    elements.set(control.name, element);
  }
  boxes = description.operandBoxes.map((name) => elements.get(name));
  frame.append(new CopyMenu(results).element);
  notices = new NoticeBox();
  fitToViewport();
  window.addEventListener('resize', fitToViewport);
  results.element.focus();
}

build();

// After the first visit the page opens and calculates with no network at all.
if ('serviceWorker' in navigator) {
  navigator.serviceWorker.register('sw.js');
}
