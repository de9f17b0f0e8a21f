// How long an operand is, beside the end of its box, where the box shows only part of it: in the
// full range an operand can have 10000 digits, and a box of a few centimetres shows some twenty.
// The box itself keeps the whole text (scrolled through with the keyboard, pasted and copied as
// it is); the count says how much there is, to the eye and, as the box's description, to a
// screen reader.

const lengthOf = (text) =>
  /^[0-9]+$/.test(text) ? `${text.length} digits` : `${text.length} characters`;

export class OperandLength {
  constructor(box) {
    this.box = box;
    this.element = document.createElement('span');
    this.element.className = 'length';
    this.element.id = `${box.id}-length`;
    this.element.hidden = true;
    box.addEventListener('input', () => this.update());
    box.addEventListener('focus', () => this.update());
    box.addEventListener('blur', () => this.update());
    new ResizeObserver(() => this.update()).observe(box);
  }

  // Shown while the text is wider than the box and the box is not being typed in.
  update() {
    const { box } = this;
    const cut = box.value !== '' && box.scrollWidth > box.clientWidth;
    const shown = cut && document.activeElement !== box;
    this.element.textContent = cut ? lengthOf(box.value) : '';
    this.element.hidden = !shown;
    if (cut) {
      box.setAttribute('aria-describedby', this.element.id);
    } else {
      box.removeAttribute('aria-describedby');
    }
  }
}
