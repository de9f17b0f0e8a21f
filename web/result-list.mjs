// The result list: lines that can be selected with click, Shift-click, Ctrl-click and a drag
// across them, and from the keyboard; on a touch screen with a tap, where a long press selects a
// line and asks for the menu. It says when its lines are to be copied (Ctrl+C) and when the menu
// is asked for by a long press; copying itself, and the menu, are the page's.

// How long a finger rests on a line, and how far it may wander, for a long press.
const kLongPressMs = 500;
const kLongPressSlack = 10;

export class ResultList {
  constructor(control, { onCopy = () => {}, onLongPress = () => {} } = {}) {
    this.element = document.createElement('div');
    this.element.className = 'list';
    this.element.setAttribute('role', 'listbox');
    this.element.setAttribute('aria-label', control.text);
    this.element.setAttribute('aria-multiselectable', 'true');
    this.element.tabIndex = 0;
    this.onCopy = onCopy;
    this.onLongPress = onLongPress;
    this.lines = [];
    this.options = [];
    this.selected = new Set();
    this.kept = new Set(); // what stays selected while Shift-click moves the range's end
    this.anchor = 0;
    this.current = -1;
    this.element.addEventListener('mousedown', (event) => this.onMouseDown(event));
    this.element.addEventListener('keydown', (event) => this.onKeyDown(event));
    this.element.addEventListener('pointerdown', (event) => this.onPointerDown(event));
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
    if (this.options.length === 0) {
      return -1;
    }
    const box = this.element.getBoundingClientRect();
    const within = (value, low, high) => Math.min(Math.max(value, low), high);
    const inside = document.elementFromPoint(
      within(x, box.left + 2, box.left + this.element.clientWidth - 2),
      within(y, box.top + 2, box.top + this.element.clientHeight - 2),
    );
    const row = this.rowAt(inside);
    if (row >= 0 || inside !== this.element) {
      return row;
    }
    const last = this.options.length - 1;
    return y >= this.options[last].getBoundingClientRect().bottom ? last : -1;
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
