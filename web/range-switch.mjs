// The range control: one radio button for each range, each with its label from the description,
// below the window and outside its frame, so that the window itself stays as it is. Where the
// controls flow it comes after the buttons, at the bottom of the page.

export class RangeSwitch {
  // `ranges` as the description gives them; `onChoose(range)` hears of each range chosen.
  constructor(ranges, onChoose) {
    this.element = document.createElement('footer');
    this.element.className = 'range';
    this.inputs = new Map();
    for (const range of ranges) {
      const label = document.createElement('label');
      const input = document.createElement('input');
      input.type = 'radio';
      input.name = 'range';
      input.value = range.word;
      input.addEventListener('change', () => {
        if (input.checked) {
          onChoose(range);
        }
      });
      const text = document.createElement('span');
      text.textContent = range.label;
      label.append(input, text);
      this.element.append(label);
      this.inputs.set(range.word, input);
    }
  }

  show(range) {
    this.inputs.get(range.word).checked = true;
  }
}
