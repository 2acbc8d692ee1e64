// The page's worker: runs the module (engine.js, put before this script) off
// the page's thread, one job at a time. An instance of the compiled module
// serves job after job, its memory already touched for the next run (the
// system's first touch of a page costs a run more than its work on it); a
// trap ends the instance, and so does a run that left it holding more than
// kKeepMemory, which only a new instance gives back.
//
// From the page: {type:'load', base64} once; {type:'job', id, file, options,
// inspect} to convert a File (and, with `inspect`, list its notes and draw
// them), the output coming back as a Blob; {type:'cancel'} during a job. To the page: {type:'ready',
// description, suspending}, {type:'progress', record}, {type:'cursor',
// raised}, {type:'done', id, result | tooLarge | trapped}.
'use strict';

let compiled = null;
let engine = null;
const kKeepMemory = 1 << 30;
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

// The module asks every few thousand records; the page is told and the
// worker's messages let in at most every kPollMs, since every turn of the
// worker's loop costs the run time.
const kPollMs = 50;
let lastTurn = 0;
function poll(record) {
  const now = performance.now();
  if (now - lastTurn < kPollMs) return cancelRequested ? 1 : 0;
  lastTurn = now;
  self.postMessage({ type: 'progress', record });
  if (!suspending) return cancelRequested ? 1 : 0;
  return yieldToMessages().then(() => {
    lastTurn = performance.now();
    return cancelRequested ? 1 : 0;
  });
}

function newEngine() {
  return NotoraEngine.load(compiled, {
    suspending,
    poll,
    waitCursor: (raised) => self.postMessage({ type: 'cursor', raised }),
  });
}

// The chosen file as the module reads it, front to back, in pieces of
// kPiece bytes. Where the module can wait (suspending), the next pieces are
// asked of the browser while the module works on the one before, so that
// reading and converting overlap; elsewhere each piece is read when needed,
// with FileReaderSync.
const kPiece = 4 << 20;
const kAhead = 3;
function fileSource(file) {
  const pieces = new Map();  // piece index -> Uint8Array or Promise of one
  const fetchPiece = (index) => {
    if (!pieces.has(index)) {
      const slice = file.slice(index * kPiece, (index + 1) * kPiece);
      pieces.set(index, suspending
        ? slice.arrayBuffer().then((buffer) => {
          const bytes = new Uint8Array(buffer);
          if (pieces.has(index)) pieces.set(index, bytes);
          return bytes;
        })
        : new Uint8Array(new FileReaderSync().readAsArrayBuffer(slice)));
    }
    return pieces.get(index);
  };
  const read = (offset, size) => {
    if (offset >= file.size) return new Uint8Array(0);
    const index = Math.floor(offset / kPiece);
    // The module reads front to back: pieces before this one are done.
    for (const known of pieces.keys()) if (known < index) pieces.delete(known);
    for (let ahead = 1; suspending && ahead <= kAhead; ++ahead) {
      if ((index + ahead) * kPiece < file.size) fetchPiece(index + ahead);
    }
    const from = offset - index * kPiece;
    const take = (bytes) => bytes.subarray(from, from + size);
    const piece = fetchPiece(index);
    return piece instanceof Promise ? piece.then(take) : take(piece);
  };
  return { size: file.size, read };
}

async function runJob({ id, file, options, inspect }) {
  cancelRequested = false;
  try {
    // A 32-bit module addresses 4 GB in all: a larger source cannot convert.
    if (file !== null && file.size >= 2 ** 32) {
      self.postMessage({ type: 'done', id, tooLarge: true });
      return;
    }
    if (engine === null) engine = await newEngine();
    engine.setOptions(options);
    engine.setSource(file === null ? NotoraEngine.bytesSource(new Uint8Array(0)) : fileSource(file));
    const result = await engine.convert(file === null ? '' : file.name);
    // The output goes to the page as a Blob made straight from the module's
    // memory: one copy, into the browser's own storage.
    if (result.output) result.output = new Blob([result.output], { type: 'application/octet-stream' });
    // A failed run has shown why; the notes of a source it could not read
    // would only say it again.
    if (inspect && file !== null && result.outcome !== 'failed') {
      result.inspection = await engine.inspect(file.name);
    }
    // The module's memory as the run left it: the most it took.
    const memory = engine.instance_.exports.memory.buffer.byteLength;
    self.postMessage({ type: 'done', id, result, memory });
  } catch (error) {
    // A trap (out of memory ends in "unreachable"), or memory the browser
    // would not give: the instance goes, the next job makes a new one.
    engine = null;
    self.postMessage({ type: 'done', id, trapped: String(error), tooLarge: isMemoryError(error) });
  } finally {
    if (engine !== null && engine.instance_.exports.memory.buffer.byteLength > kKeepMemory) {
      engine = null;
    }
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
      engine = await newEngine();
      self.postMessage({ type: 'ready', description: engine.describe(), suspending });
    });
  } else if (message.type === 'job') {
    jobs = jobs.then(() => runJob(message));
  }
};
