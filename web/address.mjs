// The address of an answer: #COMMAND/A/B/C, each box's text percent-encoded as
// encodeURIComponent writes it and the empty boxes at the end left out. So #factors/360 is
// A = 360 and PRIME FACTORS OF A, and an empty box before one with text is an empty part:
// #linear-congruence/3//7. Any range but the window's own goes first, by its word:
// #full/factors/600851475143 is the same answer in the full range, and #full the full range with
// no answer. Setting it replaces the current entry of the history and adds none.

export class Address {
  // `commands` are those whose answer has an address; a box holds `boxes` texts at most
  // `longest` characters long; `ranges` are the words of the ranges, the window's own first.
  constructor({ commands, boxes, longest, ranges }) {
    this.commands = new Set(commands);
    this.boxes = boxes;
    this.longest = longest;
    [this.ownRange, ...this.otherRanges] = ranges;
  }

  remember(range, command, texts) {
    const parts = [...this.prefix(range), command, ...texts];
    while (parts.at(-1) === '') {
      parts.pop();
    }
    setHash(`#${parts.map(encodeURIComponent).join('/')}`);
  }

  // The plain window in `range`.
  forget(range) {
    const prefix = this.prefix(range);
    setHash(prefix.length > 0 ? `#${prefix[0]}` : '');
  }

  // The range that the address names (the window's own unless it starts with the word of
  // another), and the answer that it asks for, as { command, texts }: null for an address that
  // names none, or that holds text no box would take (a line break, more than a box holds, a
  // broken percent-encoding). The texts only ever become the boxes' values.
  read() {
    const parts = window.location.hash.replace(/^#/, '').split('/');
    const range = this.otherRanges.includes(parts[0]) ? parts.shift() : this.ownRange;
    return { range, answer: this.answerOf(parts) };
  }

  answerOf([command, ...parts]) {
    if (!this.commands.has(command) || parts.length > this.boxes) {
      return null;
    }
    let texts;
    try {
      texts = parts.map(decodeURIComponent);
    } catch {
      return null;
    }
    if (texts.some((text) => text.length > this.longest || /[\r\n]/.test(text))) {
      return null;
    }
    return { command, texts: Array.from({ length: this.boxes }, (_, index) => texts[index] ?? '') };
  }

  prefix(range) {
    return range === this.ownRange ? [] : [range];
  }
}

function setHash(hash) {
  const url = new URL(window.location.href);
  url.hash = hash;
  if (url.href !== window.location.href) {
    history.replaceState(history.state, '', url);
  }
}
