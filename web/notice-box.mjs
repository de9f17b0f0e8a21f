// The notice: a modal box titled with the program's name, the notice and one OK button. OK,
// Enter and Escape close it, and the keyboard goes back to the box the notice is about at once,
// before the next key. While it is open the keyboard stays on OK: Tab does not leave it, and a
// click beside OK does not take the keyboard from it.

export class NoticeBox {
  constructor(caption, okText) {
    this.element = document.createElement('dialog');
    this.element.setAttribute('aria-labelledby', 'notice-title');
    this.element.setAttribute('aria-describedby', 'notice-text');
    const title = document.createElement('h2');
    title.className = 'title';
    title.id = 'notice-title';
    title.textContent = caption;
    this.text = document.createElement('p');
    this.text.id = 'notice-text';
    const form = document.createElement('form');
    form.method = 'dialog';
    this.ok = document.createElement('button');
    this.ok.type = 'submit';
    this.ok.textContent = okText;
    form.append(this.ok);
    this.element.append(title, this.text, form);
    document.body.append(this.element);
    this.returnTo = null;
    form.addEventListener('submit', (event) => {
      event.preventDefault();
      this.close();
    });
    this.element.addEventListener('cancel', (event) => {
      event.preventDefault();
      this.close();
    });
    this.element.addEventListener('mousedown', (event) => {
      if (event.target !== this.ok) {
        event.preventDefault();
      }
    });
    // On the document, so that the keys reach the notice wherever the keyboard has gone.
    document.addEventListener('keydown', (event) => this.onKeyDown(event), { capture: true });
    // However else it may close, the keyboard goes back all the same.
    this.element.addEventListener('close', () => this.giveBack());
  }

  get open() {
    return this.element.open;
  }

  show(notice, box) {
    this.text.textContent = notice;
    this.returnTo = box;
    this.element.showModal();
    this.ok.focus();
  }

  close() {
    if (this.open) {
      this.element.close();
    }
    this.giveBack();
  }

  giveBack() {
    const box = this.returnTo;
    this.returnTo = null;
    if (box !== null) {
      box.focus();
      box.select();
    }
  }

  onKeyDown(event) {
    if (!this.open) {
      return;
    }
    if (event.key === 'Tab') {
      event.preventDefault();
      this.ok.focus();
    } else if (event.key === 'Enter' && document.activeElement !== this.ok) {
      event.preventDefault();
      this.close();
    }
  }
}
