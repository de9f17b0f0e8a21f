// Part of the module (linked with --post-js): the functions that scripts call.
//
//   run(command, a, b, c, options)  { lines, notice, operand }: notice null when there is none,
//                                   operand the letter of the box it is about ('A', 'B', 'C') or
//                                   null; options.range 'window' (the default) or 'full'
//   copiedText(lines)               the lines as Copy gives them, joined with "\n"
//   canCopy(count)                  whether Copy (of count selected lines) or Copy All (of count
//                                   lines) is offered
//   description()                   the window, from the core's one description of it, and each
//                                   operation's limits in both ranges
//
// An operand null or undefined is an empty box; otherwise each argument must be a string, the
// lines an array of strings, and the options an object (or null or undefined): a TypeError names
// the one that is not. An unknown command, an unknown option or range is a RangeError. Every
// check is made here, and every error thrown from here, before the WebAssembly code is called:
// an exception thrown through it would leave its stack and the strings already passed to it
// behind, and after some thousands of them the module would break.
{
  // Begins the answer of runText when the command is unknown; the message follows it.
  const unknownCommand = String.fromCharCode(1);
  // Begins the answer of runText when the notice is about no operand, or there is none.
  const noOperand = '-';
  const ranges = ['window', 'full'];

  // A wrong argument, for the message: "a number", "an array", "null".
  const kind = (value) =>
    value === null || value === undefined
      ? String(value)
      : Array.isArray(value)
        ? 'an array'
        : typeof value === 'object'
          ? 'an object'
          : `a ${typeof value}`;
  const wrong = (name, expected, value) =>
    new TypeError(`${name} must be ${expected}, not ${kind(value)}`);

  // `text` with each lone surrogate replaced by U+FFFD, as String.prototype.toWellFormed does
  // (Node 18 and 20 lack it), so that C++ receives well-formed UTF-8 and the character after a
  // lone surrogate is not lost on the way.
  const loneSurrogate = /[\uD800-\uDBFF](?![\uDC00-\uDFFF])|(?<![\uD800-\uDBFF])[\uDC00-\uDFFF]/g;
  const wellFormed = (text) => text.replace(loneSurrogate, '\uFFFD');

  const string = (value, name) => {
    if (typeof value !== 'string') {
      throw wrong(name, 'a string', value);
    }
    return wellFormed(value);
  };
  const box = (value, name) => {
    if (value === undefined || value === null) {
      return '';
    }
    if (typeof value !== 'string') {
      throw wrong(name, 'a string, null or undefined', value);
    }
    return wellFormed(value);
  };
  const known = (answer) => {
    if (answer[0] === unknownCommand) {
      throw new RangeError(answer.slice(1));
    }
    return answer;
  };

  // Whether the options ask for the full range.
  const fullRange = (options) => {
    if (options === undefined || options === null) {
      return false;
    }
    if (typeof options !== 'object' || Array.isArray(options)) {
      throw wrong('run(): the options', 'an object, null or undefined', options);
    }
    for (const name of Object.keys(options)) {
      if (name !== 'range') {
        throw new RangeError(`run(): unknown option ${JSON.stringify(name)}; the option is range`);
      }
    }
    const { range = 'window' } = options;
    if (typeof range !== 'string') {
      throw wrong('run(): options.range', "'window' or 'full'", range);
    }
    if (!ranges.includes(range)) {
      throw new RangeError(
        `run(): unknown range ${JSON.stringify(range)}; the ranges are 'window' and 'full'`,
      );
    }
    return range === 'full';
  };

  Module['run'] = (command, a, b, c, options) => {
    const text = known(
      Module['runText'](
        string(command, 'run(): the command'),
        box(a, 'run(): operand a'),
        box(b, 'run(): operand b'),
        box(c, 'run(): operand c'),
        fullRange(options),
      ),
    );
    const [head, ...lines] = text.split('\n');
    const notice = head.slice(1);
    return {
      lines,
      notice: notice === '' ? null : notice,
      operand: head[0] === noOperand ? null : head[0],
    };
  };

  Module['copiedText'] = (lines) => {
    if (!Array.isArray(lines)) {
      throw wrong('copiedText(): the lines', 'an array of strings', lines);
    }
    const checked = lines.map((line, i) => string(line, `copiedText(): lines[${i}]`));
    return Module['copiedTextOf'](checked);
  };

  Module['canCopy'] = (count) => {
    if (!Number.isSafeInteger(count) || count < 0) {
      throw wrong('canCopy(): the count', 'a whole number, 0 or more', count);
    }
    return Module['canCopyCount'](count);
  };

  Module['description'] = () => Module['descriptionOf']();
}
