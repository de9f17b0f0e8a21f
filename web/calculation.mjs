// A question of the full range, calculated in a worker (the module's runAsync) while the page
// stays free: a factorisation there can take minutes. Its lines go into the list as they come,
// gathered once a frame; the hint shows where the work stands, in the core's words ("ECM, curve
// 37 of 430, 12 s"), a few times a second, and comes back at the end; a screen reader hears the
// same every few seconds, then the answer. Esc stops it; CLEAR, another button, another range or
// address stop it to make way for what they do. A stopped answer holds the lines established so
// far and the core's stopped line, and nothing more (module-api.js says how it is stopped).

export class Calculation {
  constructor(brindaq, { list, hint, announcer }) {
    this.brindaq = brindaq;
    this.list = list;
    this.hint = hint;
    this.hintText = hint.textContent;
    this.announcer = announcer;
    // How often the hint shows the progress, and a screen reader hears it: as in every edition.
    const { progressMs, spokenProgressMs } = brindaq.description();
    this.shownEveryMs = progressMs;
    this.saidEveryMs = spokenProgressMs;
    this.current = null;
    document.addEventListener('keydown', (event) => {
      if (event.key === 'Escape' && !event.defaultPrevented && this.current !== null) {
        event.preventDefault();
        this.stop();
      }
    });
  }

  // Starts the worker of the first question, once the page is on the full range: the window's
  // own range never needs it, and its start should not share the processor with one.
  prepare() {
    this.brindaq.prepareAsync();
  }

  get running() {
    return this.current !== null;
  }

  // Stops the question that runs: its answer, stopped, takes the list, unless `makeWay`, where
  // what comes next takes it.
  stop({ makeWay = false } = {}) {
    const { current } = this;
    if (current !== null) {
      this.current = null;
      current.madeWay = makeWay;
      current.controller.abort();
      if (makeWay) {
        this.list.element.removeAttribute('aria-busy');
        this.hint.textContent = this.hintText;
      }
    }
  }

  // Runs a question with the list emptied; gives its answer ({ lines, notice, operand }, whose
  // lines the list then holds), or null when something else took its place. Rejects when the
  // worker cannot start at all.
  async run(command, texts, range) {
    this.stop({ makeWay: true });
    const current = { controller: new AbortController(), madeWay: false };
    this.current = current;
    const { list } = this;
    list.fill([]);
    list.element.setAttribute('aria-busy', 'true');
    let waiting = [];
    let progress = null;
    let shown = -Infinity;
    let said = performance.now();
    let frame = 0;
    let heard = false; // whether the worker has told anything yet
    const draw = () => {
      frame = 0;
      if (waiting.length > 0) {
        list.append(waiting);
        waiting = [];
      }
      const now = performance.now();
      if (progress !== null && now - shown >= this.shownEveryMs) {
        shown = now;
        this.hint.textContent = progress;
      }
    };
    const soon = () => {
      if (frame === 0) {
        frame = requestAnimationFrame(draw);
      }
    };
    const ended = (lines) => {
      cancelAnimationFrame(frame);
      if (!current.madeWay) {
        list.append(lines.slice(list.lines.length));
        list.element.removeAttribute('aria-busy');
        this.hint.textContent = this.hintText;
      }
      if (this.current === current) {
        this.current = null;
      }
    };
    try {
      const answer = await this.brindaq.runAsync(command, ...texts, {
        range,
        signal: current.controller.signal,
        onLines: (lines) => {
          heard = true;
          for (const line of lines) {
            waiting.push(line);
          }
          soon();
        },
        onProgress: ({ text }) => {
          heard = true;
          progress = text;
          soon();
          const now = performance.now();
          if (now - said >= this.saidEveryMs) {
            said = now;
            this.announcer.say(text);
          }
        },
      });
      ended(answer.lines);
      return answer;
    } catch (error) {
      if (error.name !== 'AbortError') {
        if (!heard) {
          ended([]);
          throw error;
        }
        // A worker that failed while it calculated (out of memory) ends its answer as a stopped
        // one: what it had handed on is established.
        const lines = [...list.lines, ...waiting, this.brindaq.stoppedLineText()];
        ended(lines);
        return current.madeWay ? null : { lines, notice: null, operand: null };
      }
      ended(error.lines);
      return current.madeWay ? null : { lines: error.lines, notice: null, operand: null };
    }
  }
}
