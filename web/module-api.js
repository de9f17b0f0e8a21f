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
//   runAsync(command, a, b, c, options)
//                                   a promise of run()'s answer, calculated in a worker (a
//                                   browser's Worker, node's worker_threads), with options.signal
//                                   an AbortSignal that stops it, options.onProgress and
//                                   options.onLines told as it goes
//   prepareAsync()                  starts the worker of the next runAsync() ahead of it
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

  // A question in a worker. (Written without ?. and ??, which the build's minifier does not read.) The core there has no threads, so no message reaches it while it
  // calculates: where memory can be shared (node; a page that is cross-origin isolated) a flag
  // that the worker reads at every report stops it, and the core ends its answer as it ends every
  // stopped answer (with each part of a factorisation not yet split, then "CALCULATION STOPPED
  // !"); if the worker has not answered kStopGraceMs after the flag was raised, or where no
  // memory can be shared, the worker is ended, and the answer is the lines that it had handed on,
  // each of them established, then the core's stopped line and nothing more. A fresh worker is
  // then started at once, so that the next question does not wait for one.
  const kStopGraceMs = 100;
  const shared = typeof SharedArrayBuffer === 'function' && globalThis.crossOriginIsolated !== false;
  const asyncOptionNames = ['range', 'signal', 'onProgress', 'onLines'];

  // The compiled module, handed to every worker as its first message, so that none fetches and
  // compiles it again and a worker started after a stop answers as soon as the first did: the
  // page gives it (Module.wasmModule, a WebAssembly.Module or a promise of one, compiled once
  // for the page and its workers); else it is compiled here once from the module's bytes where
  // they were given (node); else every worker makes its own.
  let compiled = null;
  const compiledModule = () => {
    if (compiled === null) {
      const given = Module['wasmModule'];
      const bytes = Module['wasmBinary'];
      compiled = (
        given !== undefined
          ? Promise.resolve(given)
          : bytes !== undefined
            ? WebAssembly.compile(bytes)
            : Promise.resolve(null)
      ).catch(() => null);
    }
    return compiled;
  };

  // A worker as the questions drive it. Under node, node.mjs gives startWorker.
  const startWorker = () => {
    const start =
      Module['startWorker'] ||
      (() => {
        const worker = new Worker(locateFile('brindaq-worker.mjs'), { type: 'module' });
        return {
          post: (message) => worker.postMessage(message),
          listen: (onMessage, onError) => {
            worker.onmessage = ({ data }) => onMessage(data);
            worker.onerror = (event) => {
              event.preventDefault();
              onError(new Error(`the calculator's worker failed: ${event.message}`));
            };
          },
          end: () => worker.terminate(),
          hold: () => {},
        };
      });
    const worker = start();
    // The compiled module first; the questions after it.
    const handedOn = compiledModule().then((wasmModule) => {
      if (wasmModule !== null) {
        worker.post({ wasmModule });
      }
    });
    const entry = {
      worker,
      post: (message) => handedOn.then(() => worker.post(message)),
      onMessage: () => {},
      onError: () => {},
    };
    worker.listen(
      (message) => entry.onMessage(message),
      (error) => entry.onError(error),
    );
    return entry;
  };
  let idle = null; // the worker of the next question, started and waiting
  const takeWorker = () => {
    const entry = idle !== null ? idle : startWorker();
    idle = null;
    entry.worker.hold(true);
    return entry;
  };
  const giveBack = (entry) => {
    entry.onMessage = () => {};
    entry.onError = () => {};
    if (idle === null) {
      entry.worker.hold(false);
      idle = entry;
    } else {
      entry.worker.end();
    }
  };
  const prepare = () => {
    if (idle === null) {
      idle = startWorker();
      idle.worker.hold(false);
    }
  };

  const asyncOptions = (options) => {
    if (options === undefined || options === null) {
      return {};
    }
    if (typeof options !== 'object' || Array.isArray(options)) {
      throw wrong('runAsync(): the options', 'an object, null or undefined', options);
    }
    for (const name of Object.keys(options)) {
      if (!asyncOptionNames.includes(name)) {
        throw new RangeError(
          `runAsync(): unknown option ${JSON.stringify(name)}; the options are ` +
            asyncOptionNames.join(', '),
        );
      }
    }
    const { signal, onProgress, onLines } = options;
    if (signal !== undefined && (typeof signal !== 'object' || signal === null || !('aborted' in signal))) {
      throw wrong('runAsync(): options.signal', 'an AbortSignal', signal);
    }
    for (const [name, value] of [['onProgress', onProgress], ['onLines', onLines]]) {
      if (value !== undefined && typeof value !== 'function') {
        throw wrong(`runAsync(): options.${name}`, 'a function', value);
      }
    }
    return { signal, onProgress, onLines };
  };

  const abortError = (lines) => {
    const error = new DOMException('The calculation was stopped', 'AbortError');
    error.lines = lines;
    return error;
  };

  Module['runAsync'] = (command, a, b, c, options) =>
    new Promise((resolve, reject) => {
      const { range } = options || {};
      const question = {
        command: string(command, 'runAsync(): the command'),
        a: box(a, 'runAsync(): operand a'),
        b: box(b, 'runAsync(): operand b'),
        c: box(c, 'runAsync(): operand c'),
        full: fullRange(range === undefined ? null : { range }),
      };
      const { signal, onProgress, onLines } = asyncOptions(options);
      if (signal !== undefined && signal.aborted) {
        reject(abortError([]));
        return;
      }
      const entry = takeWorker();
      const flag = shared ? new Int32Array(new SharedArrayBuffer(4)) : undefined;
      const lines = [];
      let grace = 0;
      const settle = () => {
        clearTimeout(grace);
        if (signal !== undefined) {
          signal.removeEventListener('abort', onAbort);
        }
      };
      const endWorker = () => {
        settle();
        entry.onMessage = () => {};
        entry.onError = () => {};
        entry.worker.end();
        prepare();
      };
      const stopNow = () => {
        endWorker();
        lines.push(Module['stoppedLineText']());
        reject(abortError(lines));
      };
      const onAbort = () => {
        if (flag === undefined) {
          stopNow();
        } else {
          Atomics.store(flag, 0, 1);
          grace = setTimeout(stopNow, kStopGraceMs);
        }
      };
      entry.onMessage = (message) => {
        if ('lines' in message) {
          const batch = message.lines.split('\n');
          for (const line of batch) {
            lines.push(line);
          }
          if (onLines !== undefined) {
            onLines(batch);
          }
        } else if ('progress' in message) {
          if (onProgress !== undefined) {
            onProgress({ text: message.progress, seconds: message.seconds });
          }
        } else if ('end' in message) {
          settle();
          giveBack(entry);
          const head = message.end;
          if (head[0] === unknownCommand) {
            reject(new RangeError(head.slice(1)));
          } else if (signal !== undefined && signal.aborted) {
            reject(abortError(lines));
          } else {
            const notice = head.slice(2);
            resolve({
              lines,
              notice: notice === '' ? null : notice,
              operand: head[0] === noOperand ? null : head[0],
            });
          }
        }
      };
      entry.onError = (error) => {
        endWorker();
        reject(error);
      };
      if (signal !== undefined) {
        signal.addEventListener('abort', onAbort);
      }
      entry.post(Object.assign(question, { flag }));
    });

  Module['prepareAsync'] = () => prepare();
}
