// QUARVEL's operations as a WebAssembly module.

/** An operand box: a string, or null or undefined for an empty box. */
export type Operand = string | null | undefined;

/** An operand by its letter: A, B or C. */
export type Letter = 'A' | 'B' | 'C';

/**
 * The range an operation runs in. "window" (the default) is the window's: the operands are read
 * through a double, within the window's limits, and a number of 1E15 or more is written in the
 * exponent form. "full" reads every operand exactly, as a whole number of any size up to
 * 10000 digits ("1E100", 2^64 and beyond), within wider limits, and writes every number in full
 * digits.
 */
export type Range = 'window' | 'full';

/** Options of one run; all may be left out. */
export interface RunOptions {
  /** The range to run in; "window" when left out. */
  range?: Range;
}

/** The answer of one operation, as the window shows it. */
export interface Answer {
  /** The result lines, leading blanks included, as the window's list shows them. */
  lines: string[];
  /** The notice of a refused operand ("NUMBER TOO LARGE !"), or null; lines is then empty. */
  notice: string | null;
  /** The operand that the notice is about, whose box the window takes the keyboard back to; null
   * when there is no notice, or it names no operand. */
  operand: Letter | null;
}

/** One control of the window, its place and size in CSS pixels. */
export interface Control {
  name: string;
  kind: 'label' | 'list' | 'textbox' | 'button';
  text: string;
  left: number;
  top: number;
  width: number;
  height: number;
  fontPixels: number;
  bold: boolean;
  /** What a click on a button does: run its operation, or the window's own EXIT, CLEAR, INFO. */
  action?: 'operation' | 'exit' | 'clear' | 'info';
  /** The name by which scripts ask for a button's click: its operation's command, or "exit",
   * "clear", "info". */
  command?: string;
}

/**
 * The inclusive limit of each operand that an operation reads, by its letter, as a decimal text
 * (the full range's go up to 10000 nines, 10^10000 - 1, far beyond a number's exact integers;
 * BigInt() reads them). An operand that the operation does not read has none.
 */
export type Limits = Partial<Record<Letter, string>>;

/** What an operation asks of its operands. */
export interface Operation {
  /** The command that runs it. */
  command: string;
  /** The control name of its button. */
  button: string;
  /** The limits of its operands in each range. */
  limits: Record<Range, Limits>;
  /** The widest interval B - A it takes, as a decimal text, in both ranges; null without one. */
  widestInterval: string | null;
  /** Whether A must be even. */
  evenA: boolean;
}

/** A range that the window runs on. */
export interface RangeChoice {
  /** What names it in an address and in run()'s options. */
  word: Range;
  /** The window's title bar in it. */
  caption: string;
  /** Its label on the page's range control. */
  label: string;
  /** Whether a line may be wider than the list, which then scrolls sideways. */
  scrollsSideways: boolean;
}

/** A pair of colours as CSS writes them: "rgb(0, 64, 0)". */
export interface Colours {
  background: string;
  text: string;
}

/** The window, from the program's one description of it. */
export interface Description {
  caption: string;
  programName: string;
  noticeCaption: string;
  width: number;
  height: number;
  colours: { form: Colours; label: Colours; box: Colours; selection: Colours };
  fontFamilies: string[];
  /** Every control in tab order. */
  controls: Control[];
  /** Every operation, in the window's tab order. */
  operations: Operation[];
  labels: { label: string; box: string }[];
  /** The boxes of the operands A, B and C, in that order. */
  operandBoxes: string[];
  resultList: string;
  infoLines: string[];
  copyAction: string;
  copyAllAction: string;
  /** The ranges, the window's own first. */
  ranges: RangeChoice[];
  /** In the full range, a line longer than this many characters wraps inside the list. */
  wrapAbove: number;
  /** The label whose hint gives way to the progress of a long question while it runs. */
  hintLabel: string;
  /** While a question of the full range runs, the hint shows its progress every so many ms. */
  progressMs: number;
  /** A screen reader is told that progress at most every so many ms. */
  spokenProgressMs: number;
}

/** Where a question of runAsync() stands. */
export interface Progress {
  /** In the words of every edition, with the whole seconds taken: "ECM, curve 37 of 430, 12 s". */
  text: string;
  /** The whole seconds taken so far. */
  seconds: number;
}

/** Options of one runAsync(); all may be left out. */
export interface AsyncRunOptions extends RunOptions {
  /** Stops the question: the promise is then rejected with a StoppedError. */
  signal?: AbortSignal;
  /** Told where the question stands, a few times a second while it runs long. */
  onProgress?: (progress: Progress) => void;
  /** Given the result lines as they are made, in batches, before the answer. */
  onLines?: (lines: string[]) => void;
}

/**
 * The rejection of a runAsync() that was stopped: a DOMException named "AbortError", with the
 * lines established so far. They end with the stopped line "   CALCULATION STOPPED !", and claim
 * nothing more: where the worker could be told to stop (node; a page that is cross-origin
 * isolated), with what the core writes of a stopped answer (each part of a factorisation not yet
 * split: " NOT YET SPLIT = ..."); elsewhere the worker is ended, and they are the lines it had
 * handed on.
 */
export interface StoppedError extends DOMException {
  name: 'AbortError';
  lines: string[];
}

export interface Brindaq {
  /**
   * Runs the operation that brindaq-cli calls `command` ("factors", "goldbach", ...) on the
   * operands A, B and C, read like the window's boxes ("12abc" is 12), in the window's range or,
   * with `{ range: 'full' }`, in the full one.
   * @throws {RangeError} for an unknown command, option or range; {TypeError} for an argument of
   * another type.
   */
  run(command: string, a?: Operand, b?: Operand, c?: Operand, options?: RunOptions | null): Answer;
  /**
   * The same as run(), calculated in a worker (a browser's Worker beside brindaq.mjs, or a thread
   * of node's worker_threads), so that a question of the full range that takes minutes holds up
   * nothing; it can be stopped through `options.signal`, and tells its progress and its lines as
   * it goes. One worker is kept waiting for the next question, without keeping node running.
   * @throws (rejects with) {StoppedError} when stopped; {RangeError} and {TypeError} as run().
   */
  runAsync(
    command: string,
    a?: Operand,
    b?: Operand,
    c?: Operand,
    options?: AsyncRunOptions | null,
  ): Promise<Answer>;
  /** Starts the worker of the next runAsync() now, so that its first question does not wait. */
  prepareAsync(): void;
  /** The lines as the window's Copy gives them: without leading blanks, joined with "\n". */
  copiedText(lines: readonly string[]): string;
  /** Whether Copy (of `count` selected lines) or Copy All (of `count` lines) is offered. */
  canCopy(count: number): boolean;
  /** The window: controls, places, fonts, colours and texts. */
  description(): Description;
}

/** Options of the module's loader; all may be left out. */
export interface Options {
  /** The bytes of brindaq.wasm, when the caller has them already. */
  wasmBinary?: ArrayBuffer | Uint8Array;
  /**
   * brindaq.wasm compiled, handed to each worker of runAsync() so that none compiles it again;
   * without it, it is compiled once from wasmBinary. (The loader itself still loads from
   * wasmBinary or the file.)
   */
  wasmModule?: WebAssembly.Module | Promise<WebAssembly.Module>;
  /** Where brindaq.wasm is, when it is not beside brindaq.mjs. */
  locateFile?: (path: string, scriptDirectory: string) => string;
  print?: (text: string) => void;
  printErr?: (text: string) => void;
}

/** Loads the module: under node from the brindaq.wasm beside it, in a browser from its URL. */
export default function createBrindaq(options?: Options): Promise<Brindaq>;
