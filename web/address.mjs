// The address of an answer: #COMMAND/A/B/C, each box's text percent-encoded as
// encodeURIComponent writes it and the empty boxes at the end left out. So #factors/360 is
// A = 360 and PRIME FACTORS OF A, and an empty box before one with text is an empty part:
// #linear-congruence/3//7. Setting it replaces the current entry of the history and adds none.

export class Address {
  // `commands` are those whose answer has an address; a box holds `boxes` texts at most
  // `longest` characters long.
  constructor({ commands, boxes, longest }) {
    this.commands = new Set(commands);
    this.boxes = boxes;
    this.longest = longest;
  }

  remember(command, texts) {
    const parts = [command, ...texts];
    while (parts.at(-1) === '') {
      parts.pop();
    }
    setHash(`#${parts.map(encodeURIComponent).join('/')}`);
  }

  forget() {
    setHash('');
  }

  // The answer that the address asks for, as { command, texts }; null for an address that names
  // none, or that holds text no box would take (a line break, more than a box holds, a broken
  // percent-encoding). The texts only ever become the boxes' values.
  answer() {
    const [command, ...parts] = window.location.hash.replace(/^#/, '').split('/');
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
}

function setHash(hash) {
  const url = new URL(window.location.href);
  url.hash = hash;
  if (url.href !== window.location.href) {
    history.replaceState(history.state, '', url);
  }
}
