// A worker that answers the questions of runAsync() (module-api.js), one at a time, away from the
// thread of the page or of the node program that asked: a question of the full range can take
// minutes. It runs in a browser's Worker and in node's worker_threads alike.
//
// Asked { command, a, b, c, full, flag }, it answers with messages:
//   { lines: text }                    lines as they are made, joined with "\n", a few batches a
//                                      second
//   { progress: text, seconds }        where the work stands, at most every kProgressEveryMs
//   { end: head }                      the answer's head, as runHandedOn() gives it
//
// The WebAssembly core has no threads, so no message reaches this worker while it calculates;
// `flag`, an Int32Array on shared memory when the asker could share it, is read at every report
// instead, and a value other than 0 stops the work, which then ends its answer as the core ends
// every stopped answer. Without it the asker stops the work by ending this worker.

import createModule from './brindaq.mjs';

const kProgressEveryMs = 100;

const node = typeof self === 'undefined';
const port = node ? (await import('node:worker_threads')).parentPort : self;

// Under node the module's bytes are read from beside it, as node.mjs reads them.
const wasmBinary = node
  ? await (await import('node:fs/promises')).readFile(new URL('./brindaq.wasm', import.meta.url))
  : undefined;
const ready = createModule(wasmBinary === undefined ? {} : { wasmBinary });

const answer = async ({ command, a, b, c, full, flag }) => {
  const brindaq = await ready;
  let told = -Infinity;
  const listener = {
    lines: (text) => port.postMessage({ lines: text }),
    progress: (text, seconds) => {
      const now = performance.now();
      if (now - told >= kProgressEveryMs) {
        told = now;
        port.postMessage({ progress: text, seconds });
      }
      return flag !== undefined && Atomics.load(flag, 0) !== 0;
    },
  };
  port.postMessage({ end: brindaq.runHandedOn(command, a, b, c, full, listener) });
};

if (node) {
  port.on('message', answer);
} else {
  port.onmessage = ({ data }) => answer(data);
}
