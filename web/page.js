// The page: the main dialog built from the module's description of its
// template, the command line's encodings and line end beside it, and the
// list of runs. Every caption and message comes from the module; the engine
// runs in the worker (worker.js), so the page answers during a run.
'use strict';
(() => {
  const byId = (id) => document.getElementById(id);
  // Sources and outputs up to this size are listed and drawn as soon as
  // they are converted; larger ones when asked.
  const kInspectAtOnce = 16 << 20;
  // Characters per record with its line end, to estimate a run's records.
  const kRecordBytes = 81;

  let description = null;
  let texts = null;
  let worker = null;
  let suspending = false;
  let blockSize = 0;
  let chosenFiles = [];
  const sizes = new WeakMap();  // file -> its size when chosen
  let running = null;  // the job under way: {resolve, file, id, and the blocks asked for and read}
  let nextJob = 1;
  const inputs = new Map();  // control id -> its input element

  function text(key, ...values) {
    let result = texts[key];
    for (const value of values) result = result.replace('{}', String(value));
    return result;
  }

  // ---- The worker -------------------------------------------------------

  function startWorker() {
    const source = byId('notora-engine').textContent + '\n' + byId('notora-worker').textContent;
    const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
    worker = new Worker(url);
    const ready = new Promise((resolve, reject) => {
      worker.onmessage = (event) => {
        const message = event.data;
        if (message.type === 'ready') {
          URL.revokeObjectURL(url);
          suspending = message.suspending;
          blockSize = message.block;
          resolve(message.description);
        } else if (message.type === 'blocks') {
          sendBlocks(message);
        } else if (message.type === 'progress') {
          showProgress(message.record);
        } else if (message.type === 'cursor') {
          document.body.classList.toggle('waiting', message.raised);
        } else if (message.type === 'done' && running !== null && message.id === running.id) {
          const job = running;
          running = null;
          job.resolve(message);
        }
      };
      worker.onerror = (event) => reject(new Error(event.message));
    });
    worker.postMessage({ type: 'load', base64: byId('notora-module').textContent });
    return ready;
  }

  // Runs one job in the worker; resolves to the worker's answer. The notes
  // are listed and drawn when source and output are at most `inspect` bytes.
  function runJob(file, options, inspect) {
    return new Promise((resolve) => {
      const size = file === null ? 0 : sizes.get(file);
      running = { resolve, file, size, id: nextJob++, next: 0, to: 0, reads: [], delivering: false };
      worker.postMessage({ type: 'job', id: running.id, name: file === null ? null : file.name, size,
                           options, inspect });
    });
  }

  // The worker asks for blocks of the source: read here, on the page's
  // thread (where every engine reads a chosen or dropped file), a few at a
  // time (a browser reads several blocks at once faster than one after
  // another), each handed over in order without a copy. A block that cannot
  // be read is sent as failed, and the run shows the module's message for it.
  const kReadsAtOnce = 4;

  function sendBlocks({ id, from, to, again }) {
    const job = running;
    if (job === null || job.id !== id) return;
    if (again) job.next = from;
    job.to = again ? to : Math.max(job.to, to);
    readBlocks(job);
  }

  function readBlocks(job) {
    while (running === job && job.reads.length < kReadsAtOnce && job.next < job.to) {
      const index = job.next++;
      const start = index * blockSize;
      const end = Math.min(start + blockSize, job.size);
      // A file changed or gone since it was chosen reads short in some
      // engines rather than failing: short is failed.
      const read = job.file.slice(start, end).arrayBuffer()
        .then((bytes) => (bytes.byteLength === end - start ? bytes : null), () => null);
      job.reads.push({ index, read });
    }
    if (!job.delivering && job.reads.length > 0) deliverBlocks(job);
  }

  async function deliverBlocks(job) {
    job.delivering = true;
    try {
      while (running === job && job.reads.length > 0) {
        const bytes = await job.reads[0].read;
        const { index } = job.reads.shift();
        if (running !== job) break;
        if (bytes === null) {
          worker.postMessage({ type: 'block', id: job.id, index, failed: true });
          job.reads = [];
          job.next = job.to;
          break;
        }
        worker.postMessage({ type: 'block', id: job.id, index, bytes }, [bytes]);
        readBlocks(job);
      }
    } finally {
      job.delivering = false;
    }
  }

  // Whether the worker waits for blocks of the job still to be sent.
  function stillSending(job) {
    return job.file !== null && (job.next < job.to || job.reads.length > 0);
  }

  function cancelRun() {
    if (running === null) return;
    // The module's cancel poll sees it and ends the run with its message;
    // without suspending, a job still waiting for blocks is not yet running
    // and ends at once.
    if (suspending || stillSending(running)) {
      worker.postMessage({ type: 'cancel' });
      return;
    }
    // Without a way into a running module the worker is ended and started
    // again; the run ends with the message the engine gives a cancel.
    const job = running;
    running = null;
    worker.terminate();
    document.body.classList.remove('waiting');
    startWorker();
    job.resolve({ cancelled: true });
  }

  // ---- The dialog -------------------------------------------------------

  function control(id) {
    return description.controls.find((c) => c.id === id);
  }

  function place(element, c, origin) {
    const x = c.x - (origin ? origin.x : 0);
    const y = c.y - (origin ? origin.y : 0);
    element.style.left = `calc(var(--unit-x) * ${x})`;
    element.style.top = `calc(var(--unit-y) * ${y})`;
    element.style.width = `calc(var(--unit-x) * ${c.width})`;
    element.style.height = `calc(var(--unit-y) * ${c.height})`;
  }

  function inside(c, box) {
    return c !== box && c.x >= box.x && c.y >= box.y && c.x + c.width <= box.x + box.width &&
           c.y + c.height <= box.y + box.height;
  }

  // Builds the dialog's controls in tab order, each at its place: a group
  // box becomes a fieldset holding the controls within its frame, a static
  // with a mnemonic labels the control after it, as in a dialog template.
  function buildDialog() {
    const dialog = byId('dialog');
    dialog.style.width = `calc(var(--unit-x) * ${description.width})`;
    dialog.style.height = `calc(var(--unit-y) * ${description.height})`;
    dialog.style.fontFamily = `"${description.fontFamily}", var(--gothic-fixed)`;
    const boxes = description.controls.filter((c) => c.kind === 'groupBox');
    let group = 0;
    let labelAwaiting = null;
    description.controls.forEach((c, index) => {
      let element;
      let focusable = null;
      const id = `control-${c.id === -1 ? `static-${index}` : c.id}`;
      switch (c.kind) {
        case 'static':
        case 'sunkenStatic':
          element = document.createElement(c.mnemonic ? 'label' : 'div');
          element.className = c.kind;
          element.textContent = c.label;
          element.id = id;
          if (c.mnemonic) labelAwaiting = { element, mnemonic: c.mnemonic };
          break;
        case 'pushButton':
        case 'defaultButton':
          if (c.id === description.ids.help) {
            element = document.createElement('a');
            element.href = '#help';
            element.className = 'button';
          } else {
            element = document.createElement('button');
            element.type = 'button';
            if (c.kind === 'defaultButton') element.className = 'default';
          }
          element.id = id;
          element.textContent = c.label;
          focusable = element;
          break;
        case 'edit':
          element = document.createElement('input');
          element.type = 'text';
          element.id = id;
          element.value = c.text;
          element.className = 'edit';
          element.spellcheck = false;
          focusable = element;
          inputs.set(c.id, element);
          break;
        case 'groupBox': {
          element = document.createElement('fieldset');
          const legend = document.createElement('legend');
          legend.textContent = c.label;
          element.append(legend);
          element.id = id;
          break;
        }
        case 'radio':
        case 'checkBox': {
          element = document.createElement('label');
          element.className = c.kind;
          const input = document.createElement('input');
          input.type = c.kind === 'radio' ? 'radio' : 'checkbox';
          if (c.kind === 'radio') {
            if (c.startsGroup) ++group;
            input.name = `group-${group}`;
          }
          input.id = id;
          input.checked = c.checked;
          element.append(input, document.createTextNode(c.label));
          focusable = input;
          inputs.set(c.id, input);
          break;
        }
      }
      if (c.mnemonic && focusable) focusable.accessKey = c.mnemonic;
      // A static's mnemonic moves the focus to the control after it.
      if (labelAwaiting && focusable) {
        labelAwaiting.element.htmlFor = focusable.id;
        focusable.accessKey = labelAwaiting.mnemonic;
        labelAwaiting = null;
      }
      const box = boxes.find((b) => inside(c, b));
      const parent = box ? byId(`control-static-${description.controls.indexOf(box)}`) : dialog;
      place(element, c, box);
      parent.append(element);
    });
    document.title = description.title;
    byId('title').textContent = description.title;

    const browse = byId(`control-${description.ids.browse}`);
    const picker = byId('picker');
    picker.accept = description.browseFilters.map((f) => f.pattern)
      .filter((p) => p !== '*.*').map((p) => p.replace('*', '')).join(',');
    picker.setAttribute('aria-label', description.browseTitle);
    browse.addEventListener('click', () => picker.click());
    picker.addEventListener('change', () => choose([...picker.files]));
    byId(`control-${description.ids.execute}`).addEventListener('click', execute);
    byId(`control-${description.ids.exit}`).hidden = true;
    inputs.get(description.ids.outputName).addEventListener('keydown', (event) => {
      if (event.key === 'Enter') execute();
    });
  }

  // The command line's encodings and line end, beside the dialog.
  function buildChoices() {
    const add = (key, words) => {
      const label = document.createElement('label');
      const select = document.createElement('select');
      select.id = `choice-${key}`;
      for (const word of words) select.append(new Option(word, word));
      label.append(text(key), select);
      byId('choices').append(label);
    };
    add('sourceEncoding', description.encodings);
    add('outputEncoding', description.encodings);
    add('lineEnd', description.lineEnds);
    // --keep-pointers: a rebuilt note keeps the pointers after its strings.
    const label = document.createElement('label');
    const box = document.createElement('input');
    box.type = 'checkbox';
    box.id = 'choice-keepPointers';
    label.append(box, text('keepPointers'));
    byId('choices').append(label);
  }

  function buildPage() {
    byId('lead').textContent = text('lead');
    byId('drop-hint').textContent = text('drop');
    byId('results-title').textContent = text('results');
    byId('cancel').textContent = text('cancel');
    byId('cancel').addEventListener('click', cancelRun);
    byId('bar').setAttribute('aria-label', text('running'));
    buildDialog();
    buildChoices();
    document.addEventListener('keydown', (event) => {
      if (event.key === 'Escape') cancelRun();
    });
    document.addEventListener('dragover', (event) => {
      event.preventDefault();
      if (running === null) event.dataTransfer.dropEffect = 'copy';
    });
    document.addEventListener('drop', (event) => {
      event.preventDefault();
      if (running === null && event.dataTransfer.files.length > 0) {
        choose([...event.dataTransfer.files]);
      }
    });
  }

  function choose(files) {
    // Each file's size as it is chosen (some engines look at the disk only
    // when first asked): a file changed or gone since then reads short, and
    // its run fails with the module's read error in every engine alike.
    for (const file of files) sizes.set(file, file.size);
    chosenFiles = files;
    const shown = byId(`control-${description.ids.sourceName}`);
    shown.textContent = files.map((f) => f.name).join(', ');
    shown.title = files.length > 1 ? text('chosenCount', files.length) : shown.textContent;
  }

  function options() {
    const checked = {};
    for (const [id, input] of inputs) {
      if (input.type === 'radio' || input.type === 'checkbox') checked[id] = input.checked;
    }
    const choice = (key) => byId(`choice-${key}`).selectedIndex;
    return {
      checked,
      outputName: inputs.get(description.ids.outputName).value,
      outputNameId: description.ids.outputName,
      sourceEncoding: choice('sourceEncoding'),
      outputEncoding: choice('outputEncoding'),
      lineEnd: choice('lineEnd'),
      keepPointers: byId('choice-keepPointers').checked,
      windows: /Windows/.test(navigator.userAgent),
    };
  }

  function showProgress(record) {
    byId(`control-${description.ids.progress}`).textContent = String(record);
    const bar = byId('bar');
    if (running && running.file) {
      bar.value = Math.min(1, record / Math.max(1, running.size / kRecordBytes));
    }
  }

  function setRunning(on) {
    byId(`control-${description.ids.execute}`).disabled = on;
    byId(`control-${description.ids.browse}`).disabled = on;
    byId('cancel').disabled = !on;
    byId('bar').hidden = !on;
    byId('bar').value = 0;
  }

  // ---- Runs ---------------------------------------------------------------

  // Execute: each chosen file in turn (none chosen: one run that says so),
  // with the options as they stand now.
  async function execute() {
    if (running !== null || byId(`control-${description.ids.execute}`).disabled) return;
    const runOptions = options();
    setRunning(true);
    try {
      for (const file of chosenFiles.length > 0 ? chosenFiles : [null]) {
        const entry = newEntry(file);
        const started = performance.now();
        const answer = await runJob(file, runOptions, kInspectAtOnce);
        // How long the run took in the page, for the benchmark.
        entry.dataset.milliseconds = String(performance.now() - started);
        showAnswer(entry, file, runOptions, answer);
      }
    } finally {
      setRunning(false);
    }
  }

  function newEntry(file) {
    const entry = document.createElement('li');
    entry.className = 'entry';
    const name = document.createElement('h3');
    name.textContent = file === null ? '' : file.name;
    entry.append(name);
    byId('list').append(entry);
    return entry;
  }

  function showMessages(entry, messages) {
    for (const message of messages) {
      const shown = document.createElement('pre');
      shown.className = `message ${message.kind}`;
      shown.setAttribute('role', message.kind === 'error' ? 'alert' : 'status');
      shown.textContent = message.text;
      entry.append(shown);
    }
  }

  function showAnswer(entry, file, runOptions, answer) {
    if (answer.tooLarge) {
      showMessages(entry, [{ kind: 'error', text: text('tooLarge') }]);
      return;
    }
    if (answer.trapped) {
      showMessages(entry, [{ kind: 'error', text: text('unreadable') }]);
      return;
    }
    if (answer.cancelled) {
      showMessages(entry, [{ kind: 'error', text: description.cancelled }]);
      return;
    }
    const result = answer.result;
    if (answer.memory) entry.dataset.memory = String(answer.memory);
    showMessages(entry, result.messages);
    if (result.output) {
      const link = document.createElement('a');
      link.className = 'download';
      link.download = result.outputName;
      link.href = URL.createObjectURL(result.output);
      link.textContent = `${text('download')} ${result.outputName}`;
      entry.append(link);
    }
    if (result.inspection) {
      showInspection(entry, result.inspection);
    } else if (file !== null && result.outcome !== 'failed') {
      const show = document.createElement('button');
      show.type = 'button';
      show.textContent = text('showNotes');
      show.addEventListener('click', async () => {
        if (running !== null) return;
        show.disabled = true;
        setRunning(true);
        try {
          const again = await runJob(file, runOptions, Infinity);
          if (again.result && again.result.inspection) {
            show.remove();
            showInspection(entry, again.result.inspection);
          } else {
            showAnswer(entry, file, runOptions, again);
          }
        } finally {
          setRunning(false);
        }
      });
      entry.append(show);
    }
  }

  function details(entry, summary, content, className) {
    const box = document.createElement('details');
    box.className = className;
    const title = document.createElement('summary');
    title.textContent = summary;
    box.append(title, content);
    entry.append(box);
    return box;
  }

  function showInspection(entry, inspection) {
    showMessages(entry, inspection.messages);
    if (!inspection.completed) return;
    const table = document.createElement('pre');
    table.className = 'notes original';
    table.textContent = inspection.table;
    details(entry, text('notesOriginal'), table, 'notes-original');
    if (inspection.convertedTable !== null) {
      const converted = document.createElement('pre');
      converted.className = 'notes converted';
      converted.textContent = inspection.convertedTable;
      details(entry, text('notesConverted'), converted, 'notes-converted');
    }
    // The picture is made when it is first opened: a drawing of many long
    // notes draws as many elements, which the page need not hold before.
    const picture = document.createElement('figure');
    picture.className = 'picture';
    const box = details(entry, text('picture'), picture, 'picture-box');
    box.addEventListener('toggle', () => {
      if (!box.open || picture.firstChild !== null) return;
      const svg = new DOMParser().parseFromString(inspection.picture, 'image/svg+xml');
      picture.append(document.importNode(svg.documentElement, true));
    });
  }

  async function start() {
    if (typeof WebAssembly !== 'object' || typeof Worker !== 'function') return;
    description = await startWorker();
    texts = description.texts;
    buildPage();
    setRunning(false);
    // How a cancel reaches a run here: the module's own poll, or ending the
    // worker.
    document.body.dataset.cancel = suspending ? 'poll' : 'worker';
    document.body.dataset.ready = 'true';
  }

  start();
})();
