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
  /** Where brindaq.wasm is, when it is not beside brindaq.mjs. */
  locateFile?: (path: string, scriptDirectory: string) => string;
  print?: (text: string) => void;
  printErr?: (text: string) => void;
}

/** Loads the module: under node from the brindaq.wasm beside it, in a browser from its URL. */
export default function createBrindaq(options?: Options): Promise<Brindaq>;
