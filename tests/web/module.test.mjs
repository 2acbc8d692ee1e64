// The page's module under node's WASI against the native notora-cli on the
// same bytes: outputs, messages and reports, inspect's table and preview's
// picture, faulty and real files, a cancel, and memory grown by drawings of
// several MB.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';

import { convertInModule, corpusDir, generatedDrawing, loadEngine, NotoraEngine, printed, root, runCli,
         samplePath, controlStates } from './support.mjs';

const kModes = [['-m', 'jis'], ['-m', 'fullwidth'], ['-m', 'none', '-v']];

// Converts `bytes` both ways and requires the same outcome, messages and
// output bytes.
async function assertSameConversion(bytes, name, flags) {
  const cli = runCli(['convert', ...flags, '--line-end', 'lf', name, 'OUT'], bytes, name);
  try {
    const page = await convertInModule(bytes, name, flags);
    const outcomes = { 0: 'written', 1: 'nothingConverted', 2: 'failed' };
    assert.equal(page.outcome, outcomes[cli.status], `${name} ${flags.join(' ')}: outcome`);
    assert.equal(printed(page.messages, 'report'), cli.stdout, `${name}: report`);
    assert.equal(printed(page.messages, 'error'), cli.stderr, `${name}: errors`);
    const native = cli.read('OUT.igs');
    if (native === null) {
      assert.equal(page.output, null, `${name}: no output`);
    } else {
      assert.equal(page.outputName, 'OUT.igs');
      assert.ok(page.output !== null, `${name}: an output`);
      assert.ok(Buffer.from(page.output).equals(native), `${name} ${flags.join(' ')}: same bytes`);
    }
    return page;
  } finally {
    cli.cleanup();
  }
}

for (const flags of kModes) {
  test(`sample drawing, ${flags.join(' ')}`, async () => {
    await assertSameConversion(fs.readFileSync(samplePath), 'drawing.igs', flags);
  });
  for (const profile of ['mixed', 'note-dense']) {
    test(`generated ${profile} drawing of 6 MB, ${flags.join(' ')}`, async () => {
      await assertSameConversion(generatedDrawing(profile, '6M'), `${profile}.igs`, flags);
    });
  }
}

// Long vertical notes, which -v makes about 23 times larger: the output
// grows the module's memory far beyond the source.
for (const flags of [['-m', 'none', '-v'], ['-m', 'jis']]) {
  test(`generated growth drawing of 1 MB, ${flags.join(' ')}`, async () => {
    await assertSameConversion(generatedDrawing('growth', '1M'), 'growth.igs', flags);
  });
}

test('the notes as inspect lists them and the picture preview draws', async () => {
  const bytes = fs.readFileSync(samplePath);
  for (const flags of kModes) {
    const page = await convertInModule(bytes, 'drawing.igs', flags, { inspect: true });
    assert.ok(page.inspection.completed);
    const inspect = runCli(['inspect', 'drawing.igs'], bytes, 'drawing.igs');
    assert.equal(page.inspection.table, inspect.stdout);
    inspect.cleanup();
    const preview = runCli(['preview', ...flags, 'drawing.igs', '-o', 'picture.svg'], bytes,
                           'drawing.igs');
    assert.equal(page.inspection.picture, preview.read('picture.svg').toString());
    preview.cleanup();
    // The converted notes read back as inspect reads the output.
    const output = runCli(['inspect', 'OUT.igs'], page.output, 'OUT.igs');
    assert.equal(page.inspection.convertedTable, output.stdout);
    output.cleanup();
  }
});

// The sample with one thing wrong, each a fault the run must name.
function faultySamples() {
  const sample = fs.readFileSync(samplePath, 'latin1');
  const lines = sample.split('\n');
  const changed = (index, edit) => lines.map((line, i) => (i === index ? edit(line) : line)).join('\n');
  const firstOf = (letter) => lines.findIndex((line) => line[72] === letter);
  return {
    'not IGES at all': 'This is no IGES file.\n',
    'empty file': '',
    'a short record': changed(1, (line) => line.slice(0, 70)),
    'a long record': changed(1, (line) => `${line}X`),
    'a bad section letter': changed(firstOf('D'), (line) => `${line.slice(0, 72)}Q${line.slice(73)}`),
    'a D record out of order': changed(firstOf('D'), (line) => `${line.slice(0, 73)}0000009`),
    'a P pointer not numeric': changed(firstOf('D'), (line) => `${line.slice(0, 8)}     abc${line.slice(16)}`),
    'a General Note cut short': lines.filter((_, i) => i !== firstOf('P') + 1).join('\n'),
    'Shift-JIS lead byte alone': changed(firstOf('P'), (line) => line.replace('H', 'H\x81')),
  };
}

test('faulty files give the messages notora-cli gives', async () => {
  for (const [what, text] of Object.entries(faultySamples())) {
    for (const flags of [['-m', 'jis'], ['-m', 'none', '-v']]) {
      const page = await assertSameConversion(Buffer.from(text, 'latin1'), 'faulty.igs', flags);
      if (what === 'not IGES at all') assert.equal(page.outcome, 'failed');
    }
  }
});

test('real files of other systems give what notora-cli gives', async (t) => {
  if (!fs.existsSync(corpusDir)) {
    t.skip(`no corpus at ${corpusDir}`);
    return;
  }
  const files = fs.readdirSync(corpusDir).filter((f) => /\.(igs|iges)$/i.test(f));
  assert.ok(files.length > 0);
  for (const file of files) {
    const bytes = fs.readFileSync(path.join(corpusDir, file));
    for (const flags of kModes) await assertSameConversion(bytes, file, flags);
  }
});

test('the run refuses what the dialog refuses, in its words', async () => {
  const bytes = fs.readFileSync(samplePath);
  // No output name; an output name that is the source's; no source chosen.
  for (const [name, outputName] of [['drawing.igs', ''], ['OUT.igs', 'OUT'], ['', 'OUT']]) {
    const page = await convertInModule(bytes, name, ['-m', 'jis'], { outputName });
    assert.equal(page.outcome, 'failed');
    const cli = runCli(['convert', '-m', 'jis', name || '', outputName], bytes, name || 'x.igs');
    if (name !== '' && outputName !== '') assert.equal(printed(page.messages, 'error'), cli.stderr);
    cli.cleanup();
    assert.equal(page.messages.length, 1);
  }
});

test('a cancel in the poll ends the run with the catalogue\'s message', async () => {
  const catalogue = fs.readFileSync(path.join(root, 'resources/messages.txt'), 'utf8');
  const cancelled = catalogue.match(/^Cancelled\t(.*)$/m)[1].replaceAll('\\n', '\n');
  let polls = 0;
  const engine = await loadEngine(() => { polls += 1; return polls >= 2; });
  const description = engine.describe();
  engine.setOptions({ checked: controlStates(description, ['-m', 'jis']), outputName: 'OUT',
                      outputNameId: description.ids.outputName });
  engine.setSource(NotoraEngine.bytesSource(generatedDrawing('mixed', '6M')));
  const result = await engine.convert('mixed.igs');
  assert.equal(result.outcome, 'failed');
  assert.deepEqual(result.messages, [{ kind: 'error', text: cancelled }]);
  assert.equal(polls, 2);
  assert.equal(description.cancelled, cancelled);
});

test('the description holds the template\'s captions, defaults and choices', async () => {
  const engine = await loadEngine();
  const description = engine.describe();
  const template = fs.readFileSync(path.join(root, 'dialog/dialog_template.cpp'), 'utf8');
  const captions = [...template.matchAll(/\{(?:kNoId|kId\w+|\d+), k\w+, "([^"]*)"/g)].map((m) => m[1]);
  assert.deepEqual(description.controls.map((c) => c.caption), captions);
  const output = description.controls.findIndex((c) => c.id === description.ids.outputName);
  assert.equal(description.controls[output - 1].label, '変換後ファイル名(F):');
  assert.equal(description.controls.find((c) => c.id === description.ids.execute).label, '実行');
  // The defaults of RunOptions: to JIS code, zero columns an error, the
  // first button of every other group.
  const checked = description.controls.filter((c) => c.checked).map((c) => c.id);
  assert.deepEqual(checked, [1008, 1019, 1012, 1014, 1018, 1004, 1006]);
  assert.deepEqual(description.encodings, ['shift_jis', 'euc-jp', 'utf-8']);
  assert.deepEqual(description.lineEnds, ['platform', 'lf', 'crlf', 'source']);
});
