// The result list: lines that can be selected with click, Shift-click, Ctrl-click and a drag
// across them, and from the keyboard; on a touch screen with a tap, where a long press selects a
// line and asks for the menu. It says when its lines are to be copied (Ctrl+C) and when the menu
// is asked for by a long press; copying itself, and the menu, are the page's.

// The list draws only the lines in sight, and some above and below them, however many it holds:
// each line stands at its own height, in a box as tall as all of them and as wide as the widest,
// so that the list scrolls as if every line were there, and a selection spans the whole width.
// The line under the keyboard is always drawn, for a screen reader, and each line says where it
// stands among all of them.
//
// Where long lines wrap (the full range), a line longer than `wrapAbove` characters takes as many
// rows as its characters need at the list's width, each continuation indented; the list breaks it
// itself, from the width of each character in the list's font, so that it knows every line's
// height without drawing it. Copying still gives the whole line.

// How long a finger rests on a line, and how far it may wander, for a long press.
const kLongPressMs = 500;
const kLongPressSlack = 10;
// How many lines are drawn beyond those in sight, above and below.
const kLinesBeyond = 40;
// How many of the longest lines are measured for the width of the widest.
const kLinesMeasured = 32;
// How far Left and Right scroll sideways, in pixels.
const kSidewaysStep = 40;
// Room kept at the end of each row of a wrapped line, in pixels, for the rounding of the widths
// of its characters.
const kRowSlack = 2;
// How far a wrapped line's continuation rows stand in, in widths of a digit (style.css).
const kContinuationDigits = 4;

export class ResultList {
  constructor(control, { onCopy = () => {}, onLongPress = () => {} } = {}) {
    this.element = document.createElement('div');
    this.element.className = 'list';
    this.element.setAttribute('role', 'listbox');
    this.element.setAttribute('aria-label', control.text);
    this.element.setAttribute('aria-multiselectable', 'true');
    this.element.tabIndex = 0;
    // What gives the list its height and width: all lines, as tall and as wide as they are.
    this.extent = document.createElement('div');
    this.extent.className = 'extent';
    this.extent.setAttribute('aria-hidden', 'true');
    this.element.append(this.extent);
    this.onCopy = onCopy;
    this.onLongPress = onLongPress;
    this.lines = [];
    this.wrapAbove = Infinity; // the longest line that keeps to one row
    // The first row of each line and, last, the number of rows, when a line wraps; else null,
    // and each line is one row.
    this.starts = null;
    // The widths of the characters in the list's font, as they are met: the first 128 in an
    // array (0 where not yet measured), the others in a map. A line of 10000 digits is read
    // character by character.
    this.asciiWidths = new Float64Array(128);
    this.widths = new Map();
    this.longest = 0; // the length of the longest line that keeps to one row
    this.drawn = new Map(); // the element of each line drawn, by row
    this.lineHeight = 1;
    this.inset = 0; // the list's padding above its first line
    this.widest = 0;
    this.selected = new Set();
    this.kept = new Set(); // what stays selected while Shift-click moves the range's end
    this.anchor = 0;
    this.current = -1;
    this.element.addEventListener('mousedown', (event) => this.onMouseDown(event));
    this.element.addEventListener('keydown', (event) => this.onKeyDown(event));
    this.element.addEventListener('pointerdown', (event) => this.onPointerDown(event));
    this.element.addEventListener('scroll', () => this.draw(), { passive: true });
    new ResizeObserver(() => this.refresh()).observe(this.element);
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

  // Whether a line may be wider than the list, which then scrolls sideways.
  set sideways(on) {
    this.element.toggleAttribute('data-sideways', on);
  }

  // Whether lines longer than `length` characters wrap (a number), or no line does (Infinity).
  set wrapping(length) {
    if (length !== this.wrapAbove) {
      this.wrapAbove = length;
      this.refresh();
    }
  }

  // Holds `lines` in place of the lines it had, none of them selected, scrolled to the start.
  fill(lines) {
    this.lines = [...lines];
    this.element.removeAttribute('aria-activedescendant');
    this.selected.clear();
    this.kept.clear();
    this.anchor = 0;
    this.current = -1;
    this.element.scrollTop = 0;
    this.element.scrollLeft = 0;
    this.refresh();
  }

  // Adds `more` lines after those it holds, keeping the selection and the place scrolled to, as
  // the lines of a long calculation come.
  append(more) {
    if (more.length === 0) {
      return;
    }
    const first = this.lines.length;
    for (const line of more) {
      this.lines.push(line);
    }
    let longest = this.longest;
    for (const line of more) {
      if (line.length > longest && line.length <= this.wrapAbove) {
        longest = line.length;
      }
    }
    if (longest > this.longest) {
      this.measure();
    } else {
      this.place(first);
      this.fit();
    }
    for (const option of this.drawn.values()) {
      option.setAttribute('aria-setsize', String(this.lines.length));
    }
    this.draw();
  }

  // Measures the lines again (their font may have changed with the arrangement) and draws them.
  refresh() {
    this.measure();
    this.undraw();
    this.draw();
  }

  // The height of a line and the width of the widest, from the longest lines drawn out of sight.
  // Lines that only differ in their digits are as wide as their number of characters makes them.
  measure() {
    let longest = 0;
    for (const line of this.lines) {
      if (line.length <= this.wrapAbove) {
        longest = Math.max(longest, line.length);
      }
    }
    this.longest = longest;
    const measured = [];
    for (const length of [longest, longest - 1]) {
      for (let row = 0; row < this.lines.length && measured.length < kLinesMeasured; ++row) {
        if (this.lines[row].length === length) {
          measured.push(this.lines[row]);
        }
      }
    }
    const probe = document.createElement('div');
    probe.className = 'probe';
    probe.setAttribute('aria-hidden', 'true');
    for (const text of ['0', ...measured]) {
      const line = document.createElement('div');
      line.className = 'line';
      line.textContent = text;
      probe.append(line);
    }
    this.element.append(probe);
    this.inset = parseFloat(getComputedStyle(this.element).paddingTop) || 0;
    this.lineHeight = probe.firstChild.getBoundingClientRect().height || 1;
    this.widest = measured.length > 0 ? Math.ceil(probe.getBoundingClientRect().width) : 0;
    probe.remove();
    const style = getComputedStyle(this.element);
    this.font = `${style.fontStyle} ${style.fontWeight} ${style.fontSize} ${style.fontFamily}`;
    this.asciiWidths.fill(0);
    this.widths.clear();
    this.padding = 2 * 3; // a line's own padding, left and right (style.css)
    // The room of a row, whether the list's scroll bar is there or not: the rows of a long line
    // must not change with the lines after it.
    const gutter = document.createElement('div');
    gutter.style.cssText = 'position: absolute; width: 100px; height: 1px; overflow-y: scroll';
    this.element.append(gutter);
    const scrollBar = 100 - gutter.clientWidth;
    gutter.remove();
    const borders = parseFloat(style.borderLeftWidth) + parseFloat(style.borderRightWidth);
    this.room = this.element.offsetWidth - borders - scrollBar - this.padding - kRowSlack;
    this.starts = null;
    this.place(0);
    this.fit();
  }

  // The first row of each line from `first` on, once a line wraps.
  place(first) {
    if (this.starts === null) {
      const wraps = this.lines.findIndex(
        (line, index) => index >= first && line.length > this.wrapAbove,
      );
      if (wraps < 0) {
        return;
      }
      this.starts = Array.from({ length: wraps + 1 }, (_, index) => index);
      first = wraps;
    }
    this.starts.length = first + 1;
    let row = this.starts[first];
    for (let index = first; index < this.lines.length; ++index) {
      const line = this.lines[index];
      row += line.length > this.wrapAbove ? this.breaksOf(line).length + 1 : 1;
      this.starts.push(row);
    }
  }

  // The width of a character in the list's font.
  widthOf(code) {
    if (code < 128 && this.asciiWidths[code] > 0) {
      return this.asciiWidths[code];
    }
    let width = this.widths.get(code);
    if (width === undefined) {
      this.context ??= document.createElement('canvas').getContext('2d');
      this.context.font = this.font;
      width = this.context.measureText(String.fromCharCode(code)).width;
      if (code < 128) {
        this.asciiWidths[code] = width;
      }
      this.widths.set(code, width);
    }
    return width;
  }

  // Where a long line breaks into the rows that the list's width holds, the first at the left,
  // the others after the indent: the index of the first character of each row but the first.
  breaksOf(line) {
    const indent = kContinuationDigits * this.widthOf(48);
    const room = Math.max(this.room, 8 * indent);
    const ascii = this.asciiWidths;
    const breaks = [];
    let limit = room;
    let used = 0;
    for (let at = 0; at < line.length; ++at) {
      const code = line.charCodeAt(at);
      const width = code < 128 && ascii[code] > 0 ? ascii[code] : this.widthOf(code);
      if (used + width > limit && used > 0) {
        breaks.push(at);
        limit = room - indent;
        used = 0;
      }
      used += width;
    }
    return breaks;
  }

  // A long line's rows.
  rowsOf(line) {
    const starts = [0, ...this.breaksOf(line)];
    return starts.map((start, index) => line.slice(start, starts[index + 1]));
  }

  fit() {
    this.extent.style.height = `${this.top(this.lines.length) + this.top(0)}px`;
    this.element.style.setProperty('--widest', `${this.widest}px`);
  }

  // Where a line starts, below the list's padding.
  top(line) {
    return this.inset + (this.starts === null ? line : this.starts[line]) * this.lineHeight;
  }

  // The line at a row (the line of which it is a part).
  lineAt(row) {
    if (this.starts === null) {
      return row;
    }
    let low = 0;
    let high = this.lines.length - 1;
    while (low < high) {
      const middle = (low + high + 1) >> 1;
      if (this.starts[middle] <= row) {
        low = middle;
      } else {
        high = middle - 1;
      }
    }
    return low;
  }

  undraw() {
    for (const option of this.drawn.values()) {
      option.remove();
    }
    this.drawn.clear();
  }

  // Draws the lines in sight and those beyond them, and the line under the keyboard; takes away
  // the others.
  draw() {
    const { scrollTop, clientHeight } = this.element;
    const last = this.lines.length;
    const height = this.lineHeight;
    const from = Math.max(0, this.lineAt(Math.floor(scrollTop / height)) - kLinesBeyond);
    const to = Math.min(
      last,
      this.lineAt(Math.ceil((scrollTop + clientHeight) / height)) + 1 + kLinesBeyond,
    );
    const wanted = (row) => (row >= from && row < to) || row === this.current;
    for (const [row, option] of this.drawn) {
      if (!wanted(row)) {
        option.remove();
        this.drawn.delete(row);
      }
    }
    const fresh = [];
    const fragment = document.createDocumentFragment();
    for (const row of [this.current, ...Array.from({ length: to - from }, (_, i) => from + i)]) {
      if (row >= 0 && row < last && !this.drawn.has(row)) {
        const option = this.option(row);
        this.drawn.set(row, option);
        fresh.push(option);
        fragment.append(option);
      }
    }
    this.element.append(fragment);
    // A line wider than the widest measured widens them all.
    const widest = fresh.reduce((most, option) => Math.max(most, option.scrollWidth), 0);
    if (widest > Math.max(this.widest, this.element.clientWidth) + 1) {
      this.widest = widest;
      this.fit();
    }
  }

  option(row) {
    const option = document.createElement('div');
    option.className = 'line';
    option.setAttribute('role', 'option');
    option.setAttribute('aria-selected', this.selected.has(row) ? 'true' : 'false');
    option.setAttribute('aria-setsize', String(this.lines.length));
    option.setAttribute('aria-posinset', String(row + 1));
    option.id = `${this.element.id}-${row}`;
    option.dataset.row = String(row);
    option.style.top = `${this.top(row)}px`;
    option.style.height = `${this.top(row + 1) - this.top(row)}px`;
    const line = this.lines[row];
    if (line.length > this.wrapAbove) {
      option.classList.add('wrapped');
      for (const [index, text] of this.rowsOf(line).entries()) {
        const part = document.createElement('span');
        part.className = index === 0 ? 'piece' : 'piece continued';
        part.textContent = text;
        option.append(part);
      }
    } else {
      option.textContent = line;
    }
    return option;
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

  // Draws the selection, and brings the line under the keyboard into sight.
  show() {
    for (const [row, option] of this.drawn) {
      option.setAttribute('aria-selected', this.selected.has(row) ? 'true' : 'false');
    }
    if (this.current >= 0) {
      this.bringIntoSight(this.current);
      this.draw();
      this.element.setAttribute('aria-activedescendant', this.drawn.get(this.current).id);
    }
  }

  bringIntoSight(row) {
    const { scrollTop, clientHeight } = this.element;
    const top = this.top(row) - this.inset;
    const bottom = this.top(row + 1) + this.inset;
    if (top < scrollTop) {
      this.element.scrollTop = top;
    } else if (bottom > scrollTop + clientHeight) {
      this.element.scrollTop = bottom - clientHeight;
    }
  }

  onMouseDown(event) {
    const row = this.rowAt(event.target);
    if (row < 0 || (event.button !== 0 && event.button !== 2)) {
      return;
    }
    // A right click on a line that is not selected selects it, so that the menu is about it.
    if (event.button === 2 && this.selected.has(row)) {
      return;
    }
    this.select(row, {
      shift: event.button === 0 && event.shiftKey,
      control: event.button === 0 && (event.ctrlKey || event.metaKey),
    });
    if (event.button === 0) {
      this.drag();
    }
  }

  // While the left button stays down, the selection runs from the line first pressed to the one
  // under the pointer, as a Shift-click there would make it; above or below the list, to the
  // first or last line in sight.
  drag() {
    const move = (event) => {
      if ((event.buttons & 1) === 0) {
        stop();
        return;
      }
      const row = this.rowAtPoint(event.clientX, event.clientY);
      if (row >= 0 && row !== this.current) {
        this.select(row, { shift: true });
      }
    };
    const stop = () => {
      document.removeEventListener('mousemove', move);
      document.removeEventListener('mouseup', stop);
    };
    document.addEventListener('mousemove', move);
    document.addEventListener('mouseup', stop);
  }

  rowAt(target) {
    const option = target instanceof Element ? target.closest('[role="option"]') : null;
    return option === null || option.parentElement !== this.element
      ? -1
      : Number(option.dataset.row);
  }

  // The line at a point, taken into the list's box; the last line below the last one.
  rowAtPoint(x, y) {
    if (this.lines.length === 0) {
      return -1;
    }
    const box = this.element.getBoundingClientRect();
    const inside = Math.min(Math.max(y, box.top + 2), box.top + this.element.clientHeight - 2);
    const offset = inside - box.top - this.element.clientTop + this.element.scrollTop;
    const row = Math.floor((offset - this.inset) / this.lineHeight);
    return row < 0 ? -1 : Math.min(this.lineAt(row), this.lines.length - 1);
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
      const distance = Math.hypot(move.clientX - x, move.clientY - y);
      if (move.pointerId === pointerId && distance > kLongPressSlack) {
        stop();
      }
    };
    const timer = setTimeout(() => {
      stop();
      this.heldLong = true;
      this.onLongPress(row, x, y);
    }, kLongPressMs);
    this.element.addEventListener('pointermove', moved);
    this.element.addEventListener('pointerup', stop);
    this.element.addEventListener('pointercancel', stop);
  }

  onKeyDown(event) {
    const control = event.ctrlKey || event.metaKey;
    if (control && !event.altKey && event.key.toLowerCase() === 'c') {
      event.preventDefault();
      this.onCopy(this.selectedLines());
      return;
    }
    if (control && !event.altKey && event.key.toLowerCase() === 'a') {
      event.preventDefault();
      this.selectAll();
      return;
    }
    if ((event.key === 'ArrowLeft' || event.key === 'ArrowRight') && !control && !event.altKey) {
      event.preventDefault();
      this.element.scrollLeft += event.key === 'ArrowLeft' ? -kSidewaysStep : kSidewaysStep;
      return;
    }
    const last = this.lines.length - 1;
    const page = Math.max(1, Math.floor(this.element.clientHeight / this.lineHeight) - 1);
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
}
