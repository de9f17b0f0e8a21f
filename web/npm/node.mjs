// The module under node. Its loader is built for the web, where it fetches brindaq.wasm from
// beside itself; here the same file is read from beside this one, unless the caller gives the
// module's bytes (wasmBinary) or its own instantiateWasm.
import { readFile } from 'node:fs/promises';
import createModule from './brindaq.mjs';

export default async function createBrindaq(options = {}) {
  if (options.wasmBinary === undefined && options.instantiateWasm === undefined) {
    const wasmBinary = await readFile(new URL('./brindaq.wasm', import.meta.url));
    return createModule({ ...options, wasmBinary });
  }
  return createModule(options);
}
