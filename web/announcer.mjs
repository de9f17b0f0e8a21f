// What a screen reader says: a polite live region with nothing on screen. A new paragraph each
// time, so that the same words twice are said twice.

const kNoLines = 'no result lines';
const linesSaid = (count) => `${count} result ${count === 1 ? 'line' : 'lines'}`;
const kLinesRead = 3; // how many lines an announcement reads out

export class Announcer {
  constructor() {
    this.element = document.createElement('div');
    this.element.className = 'announcement';
    this.element.setAttribute('role', 'status');
  }

  say(text) {
    const paragraph = document.createElement('p');
    paragraph.textContent = text;
    this.element.replaceChildren(paragraph);
  }

  // The outcome of a click: the number of lines and the first of them, or that there are none,
  // and the notice.
  outcome(lines, notice) {
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
    this.say(said.join('. '));
  }
}
