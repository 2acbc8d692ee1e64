// The page's tests for every browser engine (browsers.mjs), each opened as a
// user opens the page: from file:// (a double-click) and from a static
// server. The sample and the benchmark's three mixes in the three modes,
// report and download byte for byte as notora-cli's; a faulty file's
// message; a file that cannot be read; two files in one list; a cancel by
// Escape and by the button; the page within a 1024 px window. Any page error fails a test, and so does any
// request beyond the page itself.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import { pathToFileURL } from 'node:url';

import { kIds, launchBrowser } from './browsers.mjs';
import { catalogueMessage, generatedDrawing, nativeConversion, pagePath, samplePath, startServer,
         tempDir } from './support.mjs';

const kModes = [['-m', 'jis'], ['-m', 'fullwidth'], ['-m', 'none', '-v']];
const kMixes = ['mixed', 'note-dense', 'growth'];
const kFaulty = Buffer.from('This is no IGES file.\n');

// An IGES record: `data` (bytes) padded to 72 columns, the section letter
// and the sequence number.
function record(data, letter, sequence) {
  return Buffer.concat([data, Buffer.alloc(72 - data.length, ' '),
                        Buffer.from(`${letter}${String(sequence).padStart(7)}\n`)]);
}

// A UTF-8 drawing with Japanese in its Start and Global sections, a note, a
// Name property and a label, the note's tail pointing back to the property:
// carried whole into Shift-JIS, and converted only with its pointers kept.
function drawingWithEveryText() {
  const h = (text) => { const bytes = Buffer.from(text); return `${bytes.length}H${text}`; };
  const global = Buffer.from(`1H,,1H;,${h('製品')},${h('図面-001.igs')},4Hsys1,${h('山田太郎')};`);
  const note = Buffer.from(`212,1,3,10.,5.,1,0.,0.,0,0,0.,0.,0.,${h('注記ア')},0,1,3;`);
  const name = Buffer.from(`406,1,${h('穴位置')};`);
  const label = Buffer.from('注記');
  const p = (data, d, sequence) => Buffer.concat([data, Buffer.alloc(64 - data.length, ' '),
                                                  Buffer.from(` ${String(d).padStart(7)}P${String(sequence).padStart(7)}\n`)]);
  const d1 = (type, pointer) => Buffer.from(`${String(type).padStart(8)}${String(pointer).padStart(8)}` +
                                            '       0'.repeat(7));
  const d2 = (type, form, tag) => Buffer.concat([
    Buffer.from(`${String(type).padStart(8)}       0       0       1${String(form).padStart(8)}${' '.repeat(16)}`),
    Buffer.alloc(8 - tag.length, ' '), tag, Buffer.from('       0')]);
  return Buffer.concat([
    record(Buffer.from('日本語の図面 テスト'), 'S', 1), record(global, 'G', 1),
    record(d1(212, 1), 'D', 1), record(d2(212, 0, label), 'D', 2),
    record(d1(406, 2), 'D', 3), record(d2(406, 15, Buffer.alloc(0)), 'D', 4),
    p(note, 1, 1), p(name, 3, 2), record(Buffer.from('S      1G      1D      4P      2'), 'T', 1)]);
}

export function definePageTests(engine) {
  let browser;
  let server;
  const work = tempDir();
  const fileUrl = pathToFileURL(pagePath).href;
  const natives = new Map();

  before(async () => {
    browser = await launchBrowser(engine);
    server = await startServer();
  });

  after(async () => {
    await browser?.close();
    // The server hands out the page and is asked for nothing else.
    if (server) assert.deepEqual(server.requests.filter((r) => r !== '/notora.html'), []);
    await server?.close();
    fs.rmSync(work, { recursive: true, force: true });
  });

  // The page opened at `url` for the test `t`: closed at its end, when its
  // problems fail the test.
  async function openPage(t, url) {
    const page = await browser.open(url);
    t.after(async () => {
      const problems = await page.problems();
      await page.close();
      assert.deepEqual(problems, [], 'the page erred or asked for something');
    });
    return page;
  }

  function fileOf(name, bytes) {
    const file = path.join(work, name);
    fs.writeFileSync(file, bytes);
    return file;
  }

  function native(key, bytes, flags) {
    const id = `${key} ${flags.join(' ')}`;
    if (!natives.has(id)) natives.set(id, nativeConversion(bytes, flags));
    return natives.get(id);
  }

  // Converts `file` (holding `bytes`) in the page as the list's next entry
  // `index` and compares report, name and bytes with notora-cli's.
  async function assertConvertsAsCli(page, file, bytes, flags, index, label) {
    await page.choose(file);
    await page.setFlags(flags);
    await page.execute('OUT', index + 1);
    const expected = native(label, bytes, flags);
    const entry = await page.entry(index);
    const what = `${label} ${flags.join(' ')}`;
    assert.equal(entry.errors.map((e) => `${e}\n`).join(''), expected.stderr, `${what}: errors`);
    assert.equal(entry.reports.map((r) => `${r}\n`).join(''), expected.stdout, `${what}: report`);
    if (expected.output === null) {
      // Nothing to convert: a report, and no output.
      assert.equal(entry.download, null, what);
      return;
    }
    const saved = await page.download(index);
    assert.equal(saved.name, 'OUT.igs', what);
    assert.ok(saved.bytes.equals(expected.output), `${what}: same bytes`);
  }

  for (const [where, url] of [['file://', () => fileUrl], ['a static server', () => server.url]]) {
    describe(`from ${where}`, () => {
      test('the sample in the three modes, as notora-cli converts it', async (t) => {
        const page = await openPage(t, url());
        const sample = fs.readFileSync(samplePath);
        const file = fileOf('drawing.igs', sample);
        for (const [i, flags] of kModes.entries()) {
          await assertConvertsAsCli(page, file, sample, flags, i, 'sample');
        }
      });

      test('the three mixes of 6 MB in the three modes, byte for byte', async (t) => {
        const page = await openPage(t, url());
        let index = 0;
        for (const mix of kMixes) {
          const bytes = generatedDrawing(mix, '6M');
          const file = fileOf(`${mix}.igs`, bytes);
          for (const flags of kModes) await assertConvertsAsCli(page, file, bytes, flags, index++, mix);
        }
      });

      test('two files in one list, a faulty one with notora-cli\'s message', async (t) => {
        const page = await openPage(t, url());
        const sample = fs.readFileSync(samplePath);
        await page.choose([fileOf('drawing.igs', sample), fileOf('faulty.igs', kFaulty)]);
        await page.setFlags(['-m', 'jis']);
        await page.execute('OUT', 2);
        assert.equal(await page.evaluate(() => document.querySelectorAll('#list > li').length), 2);
        assert.ok((await page.download(0)).bytes.equals(native('sample', sample, ['-m', 'jis']).output));
        const refused = native('faulty', kFaulty, ['-m', 'jis']);
        const faulty = await page.entry(1);
        assert.equal(faulty.errors.map((e) => `${e}\n`).join(''), refused.stderr);
        assert.equal(faulty.download, null);
      });
    });
  }

  test('a whole drawing carried into another encoding, a note keeping its pointers', async (t) => {
    const page = await openPage(t, fileUrl);
    const bytes = drawingWithEveryText();
    const file = fileOf('every-text.igs', bytes);
    const flags = ['-m', 'jis', '--source-encoding', 'utf-8', '--output-encoding', 'shift_jis'];
    // Refused with the note's pointers, as notora-cli refuses it; converted
    // when they are kept.
    await assertConvertsAsCli(page, file, bytes, flags, 0, 'every-text');
    await assertConvertsAsCli(page, file, bytes, [...flags, '--keep-pointers'], 1, 'every-text');
    // Every text in Shift-JIS, each count following its bytes.
    const written = new TextDecoder('shift_jis').decode((await page.download(1)).bytes);
    for (const text of ['日本語の図面', '8H山田太郎', '6H穴位置', '注記       0D']) {
      assert.ok(written.includes(text), text);
    }
  });

  // A run long enough to be cancelled in the middle of it.
  async function startLargeRun(page, profile, size) {
    await page.choose(fileOf(`${profile}-${size}.igs`, generatedDrawing(profile, size)));
    await page.type(`#control-${kIds.outputName}`, 'OUT');
    await page.click(`#control-${kIds.execute}`);
  }

  // The cancelled run is the list's first entry, with the cancel message and
  // no download; the next run, of the sample, converts as notora-cli does.
  async function assertCancelledAndTheNextRunWorks(page) {
    await page.waitFor(() => document.querySelector('#list > li:nth-child(1) .message') !== null);
    const entry = await page.entry(0);
    assert.deepEqual(entry.errors, [catalogueMessage('Cancelled')]);
    assert.equal(entry.download, null);
    const sample = fs.readFileSync(samplePath);
    await assertConvertsAsCli(page, fileOf('drawing.igs', sample), sample, ['-m', 'jis'], 1, 'sample');
  }

  test('Escape cancels a run, with the page answering, and the next run works', async (t) => {
    const page = await openPage(t, fileUrl);
    await startLargeRun(page, 'note-dense', '160M');
    // The progress shows the records read, and the page answers meanwhile:
    // typing goes into the name field while Execute still waits for the run.
    await page.waitFor((id) => /^[0-9]+$/.test(document.getElementById(id).textContent),
                       `control-${kIds.progress}`);
    await page.type(`#control-${kIds.outputName}`, 'NEXT');
    assert.equal(await page.evaluate((id) => document.getElementById(id).value, `control-${kIds.outputName}`),
                 'NEXT');
    assert.ok(await page.evaluate((id) => document.getElementById(id).disabled, `control-${kIds.execute}`),
              'the run goes on');
    await page.press('Escape');
    await assertCancelledAndTheNextRunWorks(page);
  });

  test('the cancel button ends a run as Escape does', async (t) => {
    const page = await openPage(t, fileUrl);
    // Pressed as soon as the run has started: before the module's first
    // poll, or (without suspending) while the page still sends the file.
    await startLargeRun(page, 'mixed', '64M');
    await page.click('#cancel');
    await assertCancelledAndTheNextRunWorks(page);
  });

  test('a file gone before its run: the command line\'s read error, and the page goes on', async (t) => {
    const page = await openPage(t, fileUrl);
    const sample = fs.readFileSync(samplePath);
    const gone = fileOf('gone.igs', sample);
    await page.choose(gone);
    fs.rmSync(gone);
    await page.execute('OUT', 1);
    const entry = await page.entry(0);
    const [head, tail] = catalogueMessage('ReadError').split('{}');
    assert.equal(entry.errors.length, 1, entry.errors.join('\n'));
    assert.ok(entry.errors[0].startsWith(head) && entry.errors[0].endsWith(tail), entry.errors[0]);
    assert.equal(entry.download, null);
    await assertConvertsAsCli(page, fileOf('drawing.igs', sample), sample, ['-m', 'jis'], 1, 'sample');
  });

  test('the page fits a window 1024 px wide, the help\'s examples within their box', async (t) => {
    const page = await openPage(t, fileUrl);
    await page.setWidth(1024);
    const layout = await page.evaluate(() => {
      const help = document.getElementById('help').getBoundingClientRect();
      const outside = [...document.querySelectorAll('#help *')].filter((element) => {
        const box = element.getBoundingClientRect();
        return box.width > 0 && (box.left < help.left - 0.5 || box.right > help.right + 0.5);
      }).map((element) => `${element.tagName} ${element.textContent.slice(0, 40)}`);
      return { page: document.documentElement.scrollWidth, window: document.documentElement.clientWidth,
               width: window.innerWidth, outside };
    });
    assert.ok(layout.width >= 1000, `a window of ${layout.width} px`);
    assert.ok(layout.page <= layout.window, `the page is ${layout.page} px wide in ${layout.window} px`);
    assert.deepEqual(layout.outside, []);
  });

  test('half-width katakana stay half as wide as full-width in the dialog\'s fonts', async (t) => {
    const page = await openPage(t, fileUrl);
    const widths = await page.evaluate(() => {
      const measure = (text, within) => {
        const span = document.createElement('span');
        span.textContent = text;
        within.append(span);
        const width = span.getBoundingClientRect().width;
        span.remove();
        return width;
      };
      return [document.getElementById('dialog'), document.getElementById('list')].map((box) => ({
        half: measure('ｱｲｳｴｵｶｷｸｹｺ', box),
        full: measure('アイウエオカキクケコ', box),
      }));
    });
    for (const { half, full } of widths) {
      assert.ok(Math.abs(half / full - 0.5) < 0.05, `ten half-width ${half} px, ten full-width ${full} px`);
    }
  });
}
