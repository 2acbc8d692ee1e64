// The page's worker: runs the module (engine.js, put before this script) off
// the page's thread, one job at a time. An instance of the compiled module
// serves job after job, its memory already touched for the next run (the
// system's first touch of a page costs a run more than its work on it); a
// trap ends the instance, and so does a run that left it holding more than
// kKeepMemory, which only a new instance gives back.
//
// The worker never reads a File itself: some engines refuse a worker
// started from a Blob URL the bytes of a File posted to it. The page reads
// the source in blocks and transfers each block here when asked.
//
// From the page: {type:'load', base64} once; {type:'job', id, name, size,
// options, inspect} to convert the source named `name` of `size` bytes (none
// chosen: name null) and, when source and output are at most `inspect`
// bytes, to list its notes and draw them;
// {type:'block', id, index, bytes | failed} as asked; {type:'cancel'} during
// a job. To the page: {type:'ready', description, suspending, block} (block:
// the size of the blocks to send),
// {type:'blocks', id, from, to} (send blocks from..to-1, in order),
// {type:'progress', record}, {type:'cursor', raised}, {type:'done', id,
// result | tooLarge | trapped | cancelled}; a written result's output is a
// Blob.
'use strict';

let compiled = null;
let engine = null;
const kKeepMemory = 1 << 30;
let cancelRequested = false;
// With WebAssembly.Suspending the module waits for a block not yet here and
// its cancel poll lets this worker's messages in (a cancel among them) in
// the middle of a run. Without it, a run starts once every block it reads is
// here, and the page ends the worker to cancel it.
const suspending = typeof WebAssembly.Suspending === 'function' &&
                   typeof WebAssembly.promising === 'function';

// The size of the blocks the page sends, and how many it reads ahead of the
// one the module reads (with suspending; else all of them).
const kBlock = 8 << 20;
const kAhead = 4;

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

// The source of one job as the page sends it, block by block. The module
// reads front to back, so the blocks before the one it reads are let go;
// reading from an earlier place (inspect reads the source again after the
// conversion) asks the page for the blocks again, from there.
class BlockSource {
  constructor(id, size) {
    this.id = id;
    this.size = size;
    this.count = Math.ceil(size / kBlock);
    this.blocks = new Map();  // index -> Uint8Array, or null for a block the page could not read
    this.first = 0;           // blocks before it are let go
    this.asked = 0;           // blocks from `first` up to it are asked for
    this.waiting = null;      // {index, resolve} of the block awaited
  }

  // Asks the page for the blocks up to `to` (not yet asked for); from
  // `again`, an earlier place, for another pass.
  ask(to, again = null) {
    to = Math.min(to, this.count);
    if (again !== null) {
      this.blocks.clear();
      this.first = again;
      this.asked = again;
    }
    if (to <= this.asked) return;
    self.postMessage({ type: 'blocks', id: this.id, from: this.asked, to, again: again !== null });
    this.asked = to;
  }

  receive(index, bytes) {
    if (index < this.first || index >= this.asked) return;  // from a pass given up
    this.blocks.set(index, bytes);
    if (this.waiting !== null && this.waiting.index === index) {
      const { resolve } = this.waiting;
      this.waiting = null;
      resolve();
    }
  }

  // Resolves once the block `index` is here (at once when it is).
  arrival(index) {
    if (this.blocks.has(index)) return Promise.resolve();
    return new Promise((resolve) => { this.waiting = { index, resolve }; });
  }

  // Resolves when every block is here: without suspending, a run reads only
  // what it has.
  async gather() {
    this.ask(this.count, this.first > 0 || this.asked > 0 ? 0 : null);
    for (let index = 0; index < this.count; ++index) {
      await this.arrival(index);
      if (this.blocks.get(index) === null) return;  // the page sends none after it
    }
  }

  // Up to `size` bytes from `offset`: a Uint8Array (empty at the end, null
  // when the page could not read the file), or with suspending a Promise of
  // one for a block still on its way.
  read(offset, size) {
    if (offset >= this.size) return new Uint8Array(0);
    const index = Math.floor(offset / kBlock);
    const again = index < this.first ? index : null;
    for (let gone = this.first; gone < index; ++gone) this.blocks.delete(gone);
    if (again === null) this.first = index;
    this.ask(suspending ? index + 1 + kAhead : this.count, again);
    const from = offset - index * kBlock;
    const take = () => {
      const bytes = this.blocks.get(index);
      return bytes === null ? null : bytes.subarray(from, from + size);
    };
    if (this.blocks.has(index)) return take();
    return suspending ? this.arrival(index).then(take) : null;
  }
}

let source = null;
let cancelWaiting = null;  // ends a job that waits for blocks, when cancelled

// Waits for `promise` unless a cancel comes first: true when cancelled.
function cancelled(promise) {
  return new Promise((resolve) => {
    cancelWaiting = () => resolve(true);
    promise.then(() => resolve(false));
  }).finally(() => { cancelWaiting = null; });
}

async function runJob({ id, name, size, options, inspect }) {
  cancelRequested = false;
  source = null;
  try {
    // A 32-bit module addresses 4 GB in all: a larger source cannot convert.
    if (size >= 2 ** 32) {
      self.postMessage({ type: 'done', id, tooLarge: true });
      return;
    }
    if (engine === null) engine = await newEngine();
    engine.setOptions(options);
    source = name === null ? null : new BlockSource(id, size);
    engine.setSource(source === null ? NotoraEngine.bytesSource(new Uint8Array(0)) : source);
    if (source !== null && !suspending && await cancelled(source.gather())) {
      self.postMessage({ type: 'done', id, cancelled: true });
      return;
    }
    const result = await engine.convert(name === null ? '' : name);
    // The output goes to the page as a Blob made straight from the module's
    // memory: one copy, into the browser's own storage.
    if (result.output) result.output = new Blob([result.output], { type: 'application/octet-stream' });
    // A failed run has shown why; the notes of a source it could not read
    // would only say it again.
    if (source !== null && result.outcome !== 'failed' && size <= inspect &&
        (result.output === null || result.output.size <= inspect)) {
      if (!suspending && await cancelled(source.gather())) {
        self.postMessage({ type: 'done', id, cancelled: true });
        return;
      }
      result.inspection = await engine.inspect(name);
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
    source = null;
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
  if (message.type === 'block') {
    if (source !== null && source.id === message.id) {
      source.receive(message.index, message.failed ? null : new Uint8Array(message.bytes));
    }
  } else if (message.type === 'cancel') {
    cancelRequested = true;
    if (cancelWaiting !== null) cancelWaiting();
  } else if (message.type === 'load') {
    jobs = jobs.then(async () => {
      compiled = await WebAssembly.compile(decodeBase64(message.base64));
      engine = await newEngine();
      self.postMessage({ type: 'ready', description: engine.describe(), suspending, block: kBlock });
    });
  } else if (message.type === 'job') {
    jobs = jobs.then(() => runJob(message));
  }
};
