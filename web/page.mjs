// QUARVEL in the browser. The page draws the window from the calculator's own description of it
// (places, sizes, fonts, colours, texts, tab order, what each button does) and runs every click
// through the same core as the desktop program, so that both give the same answers, byte for
// byte. This module wires the parts together: the layout, the result list, copying and its menu,
// the notice, the range, the address of an answer and what a screen reader hears.

import { Address } from './address.mjs';
import { Announcer } from './announcer.mjs';
import { Calculation } from './calculation.mjs';
import { Copier, CopyMenu } from './copy-menu.mjs';
import { Layout } from './layout.mjs';
import { NoticeBox } from './notice-box.mjs';
import { OperandLength } from './operand-length.mjs';
import { RangeSwitch } from './range-switch.mjs';
import { ResultList } from './result-list.mjs';

// The few texts that only the page has.
const kOkButton = 'OK';
const endedLine = (name) => `${name} has ended.`;
const kStartAgainButton = 'Start again';
const notStartedLine = (name) =>
  `${name} could not start: its calculator did not load. ` +
  'Check the connection, then reload the page.';
const kReloadButton = 'Reload';
// As much text as a desktop text box holds.
const kLongestBoxText = 32767;

const frame = document.getElementById('window');

// A line in place of the window, with one button, and the keyboard on it.
function replaceWindow(text, buttonText, onClick, { alert = false } = {}) {
  const message = document.createElement('main');
  message.className = 'ended';
  const line = document.createElement('p');
  line.textContent = text;
  if (alert) {
    line.setAttribute('role', 'alert');
  }
  const button = document.createElement('button');
  button.type = 'button';
  button.textContent = buttonText;
  button.addEventListener('click', onClick);
  message.append(line, button);
  document.querySelector('main').replaceWith(message);
  document.querySelector('footer.range')?.remove();
  button.focus();
}

function startWindow(brindaq) {
  const description = brindaq.description();
  const layout = new Layout(description);
  layout.applyDesign();
  const announcer = new Announcer();

  let list = null;
  const create = (control, { heading, box }) => {
    switch (control.kind) {
      case 'label': {
        const element = document.createElement(heading ? 'h1' : box === undefined ? 'p' : 'label');
        if (box !== undefined) {
          element.htmlFor = box;
        }
        element.className = 'label';
        return layout.withCaption(element, control.text);
      }
      case 'list':
        list = new ResultList(control);
        return list.element;
      case 'textbox': {
        const element = document.createElement('input');
        element.type = 'text';
        element.inputMode = 'numeric';
        element.maxLength = kLongestBoxText;
        element.autocomplete = 'off';
        element.spellcheck = false;
        return element;
      }
      default: {
        const element = document.createElement('button');
        element.type = 'button';
        element.addEventListener('click', () => act(control));
        return layout.withCaption(element, control.text);
      }
    }
  };
  const { parts, elements } = layout.build(create);
  // The boxes of the operands A, B and C.
  const boxes = description.operandBoxes.map((name) => elements.get(name));
  const boxOf = (letter) => boxes['ABC'.indexOf(letter)] ?? null;
  // Beside each box, its text's length when the box shows only part of it; told again whenever
  // the page itself sets the boxes.
  const lengths = boxes.map((box) => {
    const length = new OperandLength(box);
    for (const key of ['left', 'top', 'width', 'height']) {
      length.element.style.setProperty(`--${key}`, box.style.getPropertyValue(`--${key}`));
    }
    box.after(length.element);
    return length;
  });
  const boxesSet = () => lengths.forEach((length) => length.update());

  const copier = new Copier(brindaq, list, (text) => announcer.say(text));
  list.onCopy = (lines) => copier.copy(lines);
  const menu = new CopyMenu(list, description, brindaq, copier);
  const notices = new NoticeBox(description.noticeCaption, kOkButton);
  // Questions of the full range run in a worker, the window's own range at once, as ever.
  const hint = elements.get(description.hintLabel).querySelector('.caption');
  const calculation = new Calculation(brindaq, { list, hint, announcer });

  // The range that the window runs on: its title bar, and whether the list scrolls sideways.
  const { ranges } = description;
  let range = ranges[0];
  const switcher = new RangeSwitch(ranges, (chosen) => choose(chosen));
  const useRange = (chosen) => {
    range = chosen;
    document.title = range.caption;
    list.sideways = range.scrollsSideways;
    list.wrapping = range.scrollsSideways ? description.wrapAbove : Infinity;
    if (range !== ranges[0]) {
      calculation.prepare();
    }
    switcher.show(range);
  };

  const show = (lines) => {
    calculation.stop({ makeWay: true });
    copier.hide();
    list.fill(lines);
  };
  // The answer of an operation: its lines, what a screen reader hears of them, and its notice.
  const answer = (outcome) => {
    announcer.outcome(outcome.lines, outcome.notice);
    if (outcome.notice !== null) {
      notices.show(outcome.notice, boxOf(outcome.operand));
    }
  };
  // What each kind of button does, as the description names it, and whether its answer has an
  // address. An operation empties the list, runs on the three boxes' texts, appends its lines
  // and shows its notice last.
  const actions = {
    operation: {
      answers: true,
      run({ command }, texts) {
        // The window's own range answers at once, as the window does; the full range in a
        // worker.
        if (range !== ranges[0]) {
          copier.hide();
          address.remember(range.word, command, texts);
          calculation.run(command, texts, range.word).then(
            (outcome) => {
              if (outcome !== null) {
                answer(outcome);
              }
            },
            // A browser that cannot start the worker gets its answer here, as the window does.
            () => {
              const outcome = brindaq.run(command, ...texts, { range: range.word });
              show(outcome.lines);
              answer(outcome);
            },
          );
          return;
        }
        const outcome = brindaq.run(command, ...texts, { range: range.word });
        show(outcome.lines);
        address.remember(range.word, command, texts);
        answer(outcome);
      },
    },
    info: {
      answers: true,
      run({ command }, texts) {
        show(description.infoLines);
        announcer.outcome(description.infoLines, null);
        address.remember(range.word, command, texts);
      },
    },
    clear: {
      answers: false,
      run() {
        show([]);
        for (const box of boxes) {
          box.value = '';
        }
        boxesSet();
        announcer.outcome([], null);
        address.forget(range.word);
      },
    },
    exit: {
      answers: false,
      run: () => {
        calculation.stop({ makeWay: true });
        exitProgram(description.programName);
      },
    },
  };
  const buttons = description.controls.filter((control) => control.action in actions);
  const address = new Address({
    commands: buttons.filter((button) => actions[button.action].answers).map((b) => b.command),
    boxes: boxes.length,
    longest: kLongestBoxText,
    ranges: ranges.map((choice) => choice.word),
  });
  const act = (control) => actions[control.action].run(control, boxes.map((box) => box.value));

  const buttonOf = (command) => buttons.find((button) => button.command === command);

  // Opening an address takes its range; an answer's address fills the boxes and clicks its
  // button, any other opens the plain window.
  const openAddress = ({ atStart }) => {
    const { range: word, answer } = address.read();
    useRange(ranges.find((choice) => choice.word === word));
    if (answer !== null) {
      boxes.forEach((box, index) => {
        box.value = answer.texts[index];
      });
      boxesSet();
      act(buttonOf(answer.command));
    } else if (atStart) {
      address.forget(range.word);
    } else {
      actions.clear.run();
    }
  };
  // Another range answers the question in the list again, with the boxes as they are.
  const choose = (chosen) => {
    const { answer } = address.read();
    useRange(chosen);
    if (answer !== null) {
      act(buttonOf(answer.command));
    } else {
      address.forget(range.word);
    }
  };

  frame.replaceChildren(...parts, menu.element, copier.word, announcer.element);
  frame.after(switcher.element);
  layout.start(() => {
    menu.close(false);
    list.refresh();
  });
  list.element.focus();
  openAddress({ atStart: true });
  window.addEventListener('hashchange', () => openAddress({ atStart: false }));
}

// A page may close only a window that a script opened or one with no history of its own (an
// installed app's window, a tab opened straight at the page); anywhere else the browser refuses
// with a warning. There the program ends as far as a page can: the window gives way to a line
// that says so and a button that starts it again.
function exitProgram(programName) {
  if (window.opener !== null || history.length === 1) {
    window.close();
    if (window.closed) {
      return;
    }
  }
  replaceWindow(endedLine(programName), kStartAgainButton, () => window.location.reload());
}

// The module's code, fetched and compiled once, here: for the page, and for each worker that
// calculates the full range's questions, which is handed it rather than compiling it again.
async function compileModule() {
  const response = await fetch(new URL('./brindaq.wasm', import.meta.url));
  if (!response.ok) {
    throw new Error(`brindaq.wasm: ${response.status}`);
  }
  // Served as another type than application/wasm, it is compiled from its bytes.
  const bytes = response.clone();
  return WebAssembly.compileStreaming(response).catch(async () =>
    WebAssembly.compile(await bytes.arrayBuffer()),
  );
}

// Until the module has loaded, the page shows the window's colours and a line that says so (see
// index.html); a module that cannot be loaded or compiled leaves a line that says that.
async function start() {
  let brindaq;
  try {
    const { default: createBrindaq } = await import('./brindaq.mjs');
    const wasmModule = compileModule();
    let failed;
    const failure = new Promise((resolve, reject) => {
      failed = reject;
    });
    brindaq = await Promise.race([
      createBrindaq({
        wasmModule,
        instantiateWasm: (imports, done) => {
          wasmModule
            .then((module) =>
              WebAssembly.instantiate(module, imports).then((instance) => done(instance, module)),
            )
            .catch(failed);
          return {};
        },
      }),
      failure,
    ]);
  } catch {
    replaceWindow(notStartedLine(document.title), kReloadButton, () => window.location.reload(), {
      alert: true,
    });
    return;
  }
  startWindow(brindaq);
}

await start();

// After the first visit the page opens and calculates with no network at all.
if ('serviceWorker' in navigator) {
  navigator.serviceWorker.register('sw.js');
}
