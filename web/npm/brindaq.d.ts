// QUARVEL's operations as a WebAssembly module.

/** An operand box: a string, or null or undefined for an empty box. */
export type Operand = string | null | undefined;

/** The answer of one operation, as the window shows it. */
export interface Answer {
  /** The result lines, leading blanks included, as the window's list shows them. */
  lines: string[];
  /** The notice of a refused operand ("NUMBER TOO LARGE !"), or null; lines is then empty. */
  notice: string | null;
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
  /** What a click on a button does: an operation's command, or "exit", "clear", "info". */
  command?: string;
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
  labels: { label: string; box: string }[];
  operandBoxes: string[];
  resultList: string;
  infoLines: string[];
  copyAction: string;
  copyAllAction: string;
}

export interface Brindaq {
  /**
   * Runs the operation that brindaq-cli calls `command` ("factors", "goldbach", ...) on the
   * operands A, B and C, read like the window's boxes ("12abc" is 12).
   * @throws {RangeError} for an unknown command; {TypeError} for an argument of another type.
   */
  run(command: string, a?: Operand, b?: Operand, c?: Operand): Answer;
  /** The box that `notice` of `command` on these operands is about, or null. */
  noticeOperand(
    command: string,
    a: Operand,
    b: Operand,
    c: Operand,
    notice: Operand,
  ): 'Text1' | 'Text2' | 'Text3' | null;
  /** The lines as the window's Copy gives them: without leading blanks, joined with "\n". */
  copiedText(lines: readonly string[]): string;
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
