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
//
// Its first message may be { wasmModule }: the module compiled once by the asker, which this
// worker only instantiates, so that a worker started after a stop is as quick to answer as the
// first. Without it the worker fetches (under node, reads) and compiles the module itself.

import createModule from './brindaq.mjs';

const kProgressEveryMs = 100;

const node = typeof self === 'undefined';
const port = node ? (await import('node:worker_threads')).parentPort : self;

const make = async (wasmModule) => {
  if (wasmModule !== undefined && wasmModule !== null) {
    return createModule({
      instantiateWasm: (imports, done) => {
        WebAssembly.instantiate(wasmModule, imports).then(
          (instance) => done(instance, wasmModule),
          // Thrown from a task of its own, it ends the worker as any failure does.
          (error) => setTimeout(() => {
            throw error;
          }),
        );
        return {};
      },
    });
  }
  if (node) {
    // The module's bytes, read from beside it, as node.mjs reads them.
    const { readFile } = await import('node:fs/promises');
    return createModule({ wasmBinary: await readFile(new URL('./brindaq.wasm', import.meta.url)) });
  }
  return createModule({});
};
let ready = null;

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

const receive = (message) => {
  if ('wasmModule' in message) {
    ready = make(message.wasmModule);
    return;
  }
  if (ready === null) {
    ready = make();
  }
  answer(message);
};
if (node) {
  port.on('message', receive);
} else {
  port.onmessage = ({ data }) => receive(data);
}
