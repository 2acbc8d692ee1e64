// NotoraEngine: the page's module (notora.wasm) behind a few calls, for the
// page's worker and for node. Text and bytes cross through the module's
// memory; every view of that memory is taken afresh after a call, because a
// call that grows the memory detaches the views taken before it.
//
// A trap (out of memory ends in "unreachable") leaves the instance unusable:
// the caller drops the engine and loads a new one from the same compiled
// module.
'use strict';

class NotoraEngine {
  // `module`: a compiled WebAssembly.Module. `hooks.wasiImport`: the WASI
  // functions (node's WASI, or NotoraEngine.quietWasi() in a browser);
  // `hooks.poll(recordNumber)`: called every few thousand records, returns
  // true to cancel; `hooks.waitCursor(raised)`. With `hooks.suspending` (a
  // browser with WebAssembly.Suspending) the poll and the source's reads may
  // answer with a Promise, and the module waits for it while the worker
  // takes its messages.
  static async load(module, hooks = {}) {
    const engine = new NotoraEngine(hooks);
    const poll = (record) => engine.poll_(record);
    const read = (offset, at, size) => engine.readSource_(offset, at, size);
    const suspend = (f) => (hooks.suspending ? new WebAssembly.Suspending(f) : f);
    const imports = {
      wasi_snapshot_preview1: hooks.wasiImport || NotoraEngine.quietWasi(),
      notora: {
        poll_cancel: suspend(poll),
        read_source: suspend(read),
        wait_cursor: (raised) => hooks.waitCursor && hooks.waitCursor(raised !== 0),
      },
    };
    engine.instance_ = await WebAssembly.instantiate(module, imports);
    if (hooks.wasi) {
      hooks.wasi.initialize(engine.instance_);
    } else {
      engine.instance_.exports._initialize();
    }
    const exports = engine.instance_.exports;
    engine.convert_ = hooks.suspending ? WebAssembly.promising(exports.web_convert)
                                       : exports.web_convert;
    engine.inspect_ = hooks.suspending ? WebAssembly.promising(exports.web_inspect)
                                       : exports.web_inspect;
    return engine;
  }

  // The WASI functions the module imports, for a browser: writes to the
  // standard streams go to the console; nothing else exists.
  static quietWasi() {
    const kBadFile = 8;
    let engine = null;
    const wasi = {
      fd_close: () => kBadFile,
      fd_seek: () => kBadFile,
      fd_write: (fd, iovs, count, written) => {
        if (engine === null) return kBadFile;
        const memory = engine.instance_.exports.memory.buffer;
        const view = new DataView(memory);
        let total = 0;
        let text = '';
        for (let i = 0; i < count; ++i) {
          const base = view.getUint32(iovs + 8 * i, true);
          const length = view.getUint32(iovs + 8 * i + 4, true);
          text += new TextDecoder().decode(new Uint8Array(memory, base, length));
          total += length;
        }
        console.warn(text);
        view.setUint32(written, total, true);
        return 0;
      },
    };
    Object.defineProperty(wasi, 'engine', { set: (value) => { engine = value; } });
    return wasi;
  }

  constructor(hooks) {
    this.hooks_ = hooks;
    if (hooks.wasiImport === undefined) hooks.wasiImport = NotoraEngine.quietWasi();
    if ('engine' in hooks.wasiImport) hooks.wasiImport.engine = this;
  }

  poll_(record) {
    return this.hooks_.poll ? this.hooks_.poll(record) : 0;
  }

  // Puts up to `size` bytes of the source from `offset` into the module's
  // memory at `at`: the count, or a Promise of it.
  readSource_(offset, at, size) {
    const put = (bytes) => {
      if (bytes === null) return -1;
      new Uint8Array(this.memory_, at, bytes.length).set(bytes);
      return bytes.length;
    };
    const got = this.source_.read(offset, size);
    return got instanceof Promise ? got.then(put, () => -1) : put(got);
  }

  // A source over bytes already at hand.
  static bytesSource(bytes) {
    return { size: bytes.length, read: (offset, size) => bytes.subarray(offset, offset + size) };
  }

  get memory_() {
    return this.instance_.exports.memory.buffer;
  }

  // Writes `text` as the argument of the next call.
  setArgument_(text) {
    const bytes = new TextEncoder().encode(text);
    const at = this.instance_.exports.web_argument(bytes.length);
    new Uint8Array(this.memory_, at, bytes.length).set(bytes);
  }

  result_() {
    const exports = this.instance_.exports;
    const bytes = new Uint8Array(this.memory_, exports.web_result_data(), exports.web_result_size());
    return JSON.parse(new TextDecoder().decode(bytes));
  }

  // The dialog's template, its starting states, the choices and the texts.
  describe() {
    this.instance_.exports.web_describe();
    return this.result_();
  }

  // The options of the next run: `checked` maps control ids to the state of
  // every radio button and check box, `outputName` is the output name
  // field, the rest are positions in the description's lists.
  setOptions({ checked, outputName, outputNameId, sourceEncoding = 0, outputEncoding = 0,
               lineEnd = 0, windows = false, keepPointers = false }) {
    const exports = this.instance_.exports;
    for (const [id, on] of Object.entries(checked)) exports.web_set_checked(Number(id), on ? 1 : 0);
    this.setArgument_(outputName);
    exports.web_set_text(outputNameId);
    exports.web_set_choices(sourceEncoding, outputEncoding, lineEnd, windows ? 1 : 0,
                            keepPointers ? 1 : 0);
  }

  // The source of the next job: {size, read(offset, size)}, where read gives
  // a Uint8Array of up to `size` bytes from `offset` (empty at the end, null
  // when the file cannot be read), or a Promise of one (see load).
  setSource(source) {
    this.source_ = source;
    this.instance_.exports.web_source(source.size);
  }

  // Converts the source named `name` (empty: none chosen). Resolves to
  // {outcome, messages, outputName, output}: `output` (null unless written)
  // is a view of the module's memory, good until the next call.
  async convert(name) {
    this.setArgument_(name);
    await this.convert_();
    const result = this.result_();
    const exports = this.instance_.exports;
    const size = exports.web_output_size();
    result.output = null;
    if (result.outcome === 'written') {
      const at = exports.web_output_data();
      result.output = new Uint8Array(this.memory_, at, size);
    }
    return result;
  }

  // The notes of the source and of its output as inspect lists them, and
  // the picture of both; `title` names the source in the picture.
  async inspect(title) {
    this.setArgument_(title);
    await this.inspect_();
    return this.result_();
  }
}

if (typeof module !== 'undefined') module.exports = { NotoraEngine };
