// The page's worker: runs the module (engine.js, put before this script) off
// the page's thread, one job at a time. Each job gets a fresh instance of
// the compiled module, so that the memory of a large run is given back and a
// trap leaves nothing behind.
//
// From the page: {type:'load', base64} once; {type:'job', id, file, options,
// inspect} to convert a File (and, with `inspect`, list its notes and draw
// them); {type:'cancel'} during a job. To the page: {type:'ready',
// description, suspending}, {type:'progress', record}, {type:'cursor',
// raised}, {type:'done', id, result | tooLarge | trapped}.
'use strict';

let compiled = null;
let cancelRequested = false;
// With WebAssembly.Suspending the module's cancel poll can let this
// worker's messages in (a cancel among them) in the middle of a run.
const suspending = typeof WebAssembly.Suspending === 'function' &&
                   typeof WebAssembly.promising === 'function';

// Lets the messages that wait for this worker in: a task that comes after
// them, without the delay a timer may add.
function yieldToMessages() {
  return new Promise((resolve) => {
    const channel = new MessageChannel();
    channel.port1.onmessage = () => {
      channel.port1.close();
      resolve();
    };
    channel.port2.postMessage(null);
  });
}

function poll(record) {
  self.postMessage({ type: 'progress', record });
  if (!suspending) return cancelRequested ? 1 : 0;
  return yieldToMessages().then(() => (cancelRequested ? 1 : 0));
}

function newEngine() {
  return NotoraEngine.load(compiled, {
    suspending,
    poll,
    waitCursor: (raised) => self.postMessage({ type: 'cursor', raised }),
  });
}

// Copies `file` into the module a slice at a time, so that no second copy
// of a large file is held; false when the module has no memory for it.
async function readInto(engine, file) {
  const kSlice = 16 << 20;
  // A 32-bit module addresses 4 GB in all; a size beyond would wrap.
  if (file.size >= 2 ** 32) return false;
  const exports = engine.instance_.exports;
  const at = exports.web_source(file.size);
  if (at === 0) return false;
  for (let offset = 0; offset < file.size; offset += kSlice) {
    const bytes = new Uint8Array(await file.slice(offset, offset + kSlice).arrayBuffer());
    new Uint8Array(exports.memory.buffer, at + offset, bytes.length).set(bytes);
  }
  return true;
}

async function runJob({ id, file, options, inspect }) {
  cancelRequested = false;
  let engine = null;
  try {
    engine = await newEngine();
    engine.setOptions(options);
    if (file !== null && !(await readInto(engine, file))) {
      self.postMessage({ type: 'done', id, tooLarge: true });
      return;
    }
    const result = await engine.convert(file === null ? '' : file.name);
    // A failed run has shown why; the notes of a source it could not read
    // would only say it again.
    if (inspect && file !== null && result.outcome !== 'failed') {
      result.inspection = await engine.inspect(file.name);
    }
    const transfer = result.output ? [result.output.buffer] : [];
    // The module's memory as the run left it: the most it took.
    const memory = engine.instance_.exports.memory.buffer.byteLength;
    self.postMessage({ type: 'done', id, result, memory }, transfer);
  } catch (error) {
    // A trap (out of memory ends in "unreachable"), or memory the browser
    // would not give: the instance goes, the next job makes a new one.
    self.postMessage({ type: 'done', id, trapped: String(error), tooLarge: isMemoryError(error) });
  } finally {
    engine = null;
  }
}

function isMemoryError(error) {
  return error instanceof RangeError ||
         (error instanceof WebAssembly.RuntimeError && /unreachable|memory/i.test(error.message));
}

function decodeBase64(text) {
  const binary = atob(text.replace(/\s+/g, ''));
  const bytes = new Uint8Array(binary.length);
  for (let i = 0; i < binary.length; ++i) bytes[i] = binary.charCodeAt(i);
  return bytes;
}

let jobs = Promise.resolve();
self.onmessage = (event) => {
  const message = event.data;
  if (message.type === 'cancel') {
    cancelRequested = true;
  } else if (message.type === 'load') {
    jobs = jobs.then(async () => {
      compiled = await WebAssembly.compile(decodeBase64(message.base64));
      const engine = await newEngine();
      self.postMessage({ type: 'ready', description: engine.describe(), suspending });
    });
  } else if (message.type === 'job') {
    jobs = jobs.then(() => runJob(message));
  }
};
