// Where the controls stand. The window keeps its own layout, at its own size, where the viewport
// holds it and every caption fits its control (a reader's own text spacing or least font size
// can make one outgrow it). Elsewhere the same controls flow: in one column where the viewport is
// narrower than the window, else in two parts side by side. The style sheet draws each
// arrangement; this module puts the controls in reading order and picks the arrangement.

const root = document.documentElement;

export class Layout {
  constructor(description) {
    this.description = description;
    // Labels and buttons hold their text in a box of its own, whose size tells whether the text
    // still fits its control.
    this.captions = [];
    this.onChange = () => {};
  }

  // The design's colours and fonts, and the window's size, for the style sheet to use. (The
  // title is the range's.)
  applyDesign() {
    const { colours, fontFamilies, width, height } = this.description;
    for (const [part, pair] of Object.entries(colours)) {
      root.style.setProperty(`--${part}-background`, pair.background);
      root.style.setProperty(`--${part}-text`, pair.text);
    }
    const families = fontFamilies.map((family) => `"${family}"`);
    root.style.setProperty('--font-family', [...families, 'sans-serif'].join(', '));
    root.style.setProperty('--window-width', `${width}px`);
    root.style.setProperty('--window-height', `${height}px`);
  }

  withCaption(element, text) {
    const caption = document.createElement('span');
    caption.className = 'caption';
    caption.textContent = text;
    element.append(caption);
    this.captions.push(caption);
    return element;
  }

  // The page reads in the window's tab order, with three rules for what the tab order leaves out
  // or splits up: a label that names a box is read just before its box, and the two form a row;
  // any other label is read before the first control below it that takes the keyboard (the
  // title and the hint before the list), or last; neighbouring rows, and neighbouring buttons,
  // form a group. The list closes the first of two parts. Where the window keeps its own layout,
  // the groups and parts draw nothing and every control stands at its own place.
  //
  // `create(control, { heading, box })` makes a control's element: `heading` for the first label
  // of the window, `box` the name of the box that a label names. Returns the two parts and the
  // elements by control name.
  build(create) {
    const { controls } = this.description;
    const boxOf = new Map(this.description.labels.map(({ label, box }) => [label, box]));
    const labelOf = new Map(this.description.labels.map(({ label, box }) => [box, label]));
    const heading = controls.find((control) => control.kind === 'label');
    const takesKeys = controls.filter((control) => control.kind !== 'label');
    const readBefore = new Map(takesKeys.map((control) => [control.name, []]));
    const readLast = [];
    for (const label of controls.filter((control) => control.kind === 'label')) {
      if (!boxOf.has(label.name)) {
        const next = takesKeys.find((control) => control.top >= label.top + label.height);
        (next === undefined ? readLast : readBefore.get(next.name)).push(label);
      }
    }

    const elements = new Map();
    const make = (control) => {
      const element = create(control, {
        heading: control === heading,
        box: boxOf.get(control.name),
      });
      element.id = control.name;
      place(element, control);
      elements.set(control.name, element);
      return element;
    };
    const group = (kind) => {
      const element = document.createElement('div');
      element.className = kind;
      return element;
    };
    const parts = [group('part'), group('part')];
    let part = parts[0];
    let last = null; // the group that the previous control went into
    const into = (kind) => {
      if (last === null || last.className !== kind) {
        last = group(kind);
        part.append(last);
      }
      return last;
    };
    for (const control of takesKeys) {
      for (const label of readBefore.get(control.name)) {
        part.append(make(label));
        last = null;
      }
      if (control.kind === 'button') {
        into('buttons').append(make(control));
      } else if (control.kind === 'textbox') {
        const row = group('row');
        if (labelOf.has(control.name)) {
          row.append(make(controls.find((label) => label.name === labelOf.get(control.name))));
        }
        row.append(make(control));
        into('rows').append(row);
      } else {
        part.append(make(control));
        last = null;
        if (control.kind === 'list') {
          part = parts[1];
        }
      }
    }
    for (const label of readLast) {
      part.append(make(label));
    }
    return { parts, elements };
  }

  // Arranges the controls now, and again whenever the viewport or a caption changes size.
  // `onChange` hears of each new arrangement.
  start(onChange) {
    this.onChange = onChange;
    this.arrange();
    window.addEventListener('resize', () => this.arrange());
    let pending = false;
    const observer = new ResizeObserver(() => {
      if (!pending) {
        pending = true;
        requestAnimationFrame(() => {
          pending = false;
          this.arrange();
        });
      }
    });
    for (const caption of this.captions) {
      observer.observe(caption);
    }
  }

  arrange() {
    const { width, height } = this.description;
    const before = root.dataset.layout;
    let layout = window.innerWidth < width ? 'column' : 'parts';
    if (window.innerWidth >= width && window.innerHeight >= height) {
      root.dataset.layout = 'window';
      if (this.captions.every(fitsItsControl)) {
        layout = 'window';
      }
    }
    root.dataset.layout = layout;
    if (layout !== before) {
      this.onChange(layout);
    }
  }
}

// A control's place, size and font in the window, for the style sheet to use where the window
// keeps its own layout; elsewhere the font's size is only the least one.
function place(element, control) {
  element.classList.add('control');
  for (const key of ['left', 'top', 'width', 'height']) {
    element.style.setProperty(`--${key}`, `${control[key]}px`);
  }
  element.style.setProperty('--font-size', `${control.fontPixels}px`);
  element.style.fontWeight = control.bold ? 'bold' : 'normal';
}

function fitsItsControl(caption) {
  const inner = caption.getBoundingClientRect();
  const outer = caption.parentElement.getBoundingClientRect();
  return (
    inner.left >= outer.left - 1 &&
    inner.right <= outer.right + 1 &&
    inner.top >= outer.top - 1 &&
    inner.bottom <= outer.bottom + 1
  );
}
