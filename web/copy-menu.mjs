// Copying lines, and the list's context menu that offers it: "Copy" the selected lines, "Copy
// All" of them.

const linesCopied = (count) => `${count} ${count === 1 ? 'line' : 'lines'} copied`;
// How long the word that lines were copied stays in sight.
const kCopiedMs = 2000;

// Puts lines on the clipboard as the core gives them (each without its leading blanks, joined with
// "\n"), then says so: in a word beside the list for the eye, and through `say` to a screen
// reader.
export class Copier {
  constructor(brindaq, list, say) {
    this.brindaq = brindaq;
    this.list = list;
    this.say = say;
    this.word = document.createElement('div');
    this.word.className = 'copied';
    this.word.setAttribute('aria-hidden', 'true');
    this.word.hidden = true;
    this.timer = 0;
    window.addEventListener('scroll', () => this.hide(), { passive: true });
  }

  async copy(lines) {
    if (!this.brindaq.canCopy(lines.length)) {
      return; // nothing to copy: the clipboard keeps what it had
    }
    const text = this.brindaq.copiedText(lines);
    let copied = true;
    try {
      await navigator.clipboard.writeText(text);
    } catch {
      // A browser that refuses the asynchronous clipboard still copies inside a user's action.
      const onCopy = (event) => {
        event.clipboardData.setData('text/plain', text);
        event.preventDefault();
      };
      document.addEventListener('copy', onCopy);
      copied = document.execCommand('copy');
      document.removeEventListener('copy', onCopy);
    }
    if (copied) {
      this.tell(linesCopied(lines.length));
    }
  }

  // The word stands in the list's lower right corner until it goes, or the list changes.
  tell(text) {
    this.say(text);
    this.word.textContent = text;
    this.word.hidden = false;
    const list = this.list.element.getBoundingClientRect();
    this.word.style.right = `${document.documentElement.clientWidth - list.right + 6}px`;
    this.word.style.top = `${list.bottom - this.word.offsetHeight - 6}px`;
    clearTimeout(this.timer);
    this.timer = setTimeout(() => this.hide(), kCopiedMs);
  }

  hide() {
    clearTimeout(this.timer);
    this.word.hidden = true;
  }
}

export class CopyMenu {
  constructor(list, { copyAction, copyAllAction }, brindaq, copier) {
    this.list = list;
    this.brindaq = brindaq;
    this.element = document.createElement('div');
    this.element.className = 'menu';
    this.element.setAttribute('role', 'menu');
    this.element.hidden = true;
    const copy = (lines) => copier.copy(lines);
    this.copy = this.item(copyAction, () => copy(list.selectedLines()));
    this.copyAll = this.item(copyAllAction, () => copy(list.lines));
    this.element.addEventListener('keydown', (event) => this.onKeyDown(event));
    this.element.addEventListener('focusout', (event) => {
      if (!this.element.contains(event.relatedTarget)) {
        this.close(false);
      }
    });
    list.element.addEventListener('contextmenu', (event) => this.open(event));
    list.onLongPress = (row, x, y) => this.openAt(x, y, row);
    document.addEventListener('mousedown', (event) => {
      if (!this.element.hidden && !this.element.contains(event.target)) {
        this.close(false);
      }
    });
  }

  item(text, action) {
    const button = document.createElement('button');
    button.type = 'button';
    button.setAttribute('role', 'menuitem');
    button.textContent = text;
    button.addEventListener('click', () => {
      this.close(true);
      action();
    });
    this.element.append(button);
    return button;
  }

  // Where the pointer is, or at the list's corner from the keyboard.
  open(event) {
    event.preventDefault();
    const row = this.list.rowAt(event.target);
    const pointed = event.button === 2 || ['touch', 'pen'].includes(event.pointerType);
    if (pointed && (event.clientX !== 0 || event.clientY !== 0)) {
      this.openAt(event.clientX, event.clientY, row);
    } else {
      const listBox = this.list.element.getBoundingClientRect();
      this.openAt(listBox.left + 4, listBox.top + 4, row);
    }
  }

  // A menu asked for on a line (`row`, -1 for none) that is not selected, as a touch screen's
  // long press asks for it, is about that line alone.
  openAt(x, y, row) {
    if (row >= 0 && !this.list.selected.has(row)) {
      this.list.select(row);
    }
    this.copy.disabled = !this.brindaq.canCopy(this.list.selected.size);
    this.copyAll.disabled = !this.brindaq.canCopy(this.list.lines.length);
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
