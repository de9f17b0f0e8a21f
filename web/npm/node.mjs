// The module under node. Its loader is built for the web, where it fetches brindaq.wasm from
// beside itself; here the same file is read from beside this one, unless the caller gives the
// module's bytes (wasmBinary) or its own instantiateWasm. runAsync() calculates in a thread of
// worker_threads, which does not keep the program alive while it waits for a question.
import { readFile } from 'node:fs/promises';
import { Worker } from 'node:worker_threads';
import createModule from './brindaq.mjs';

// The worker takes node's options as the program has them, but for --input-type, which only a
// program given as text (-e, stdin) may have.
const execArgv = process.execArgv.filter(
  (option, index, all) => !option.startsWith('--input-type') && all[index - 1] !== '--input-type',
);

const startWorker = () => {
  const worker = new Worker(new URL('./brindaq-worker.mjs', import.meta.url), { execArgv });
  worker.unref();
  return {
    post: (message) => worker.postMessage(message),
    listen: (onMessage, onError) => {
      worker.on('message', onMessage);
      worker.on('error', onError);
    },
    end: () => worker.terminate(),
    hold: (on) => (on ? worker.ref() : worker.unref()),
  };
};

export default async function createBrindaq(options = {}) {
  if (options.wasmBinary === undefined && options.instantiateWasm === undefined) {
    const wasmBinary = await readFile(new URL('./brindaq.wasm', import.meta.url));
    return createModule({ startWorker, ...options, wasmBinary });
  }
  return createModule({ startWorker, ...options });
}
