// The page in headless Chromium, opened from file:// and from a static
// server: the dialog's controls by their captions, a conversion with its
// report and download against notora-cli's, the notes and the picture, two
// files at once, a cancel during a run, a file that is no IGES. Any page
// error fails a test, and so does any request beyond the page itself.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import http from 'node:http';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { pathToFileURL } from 'node:url';


import { generatedDrawing, loadEngine, pagePath, playwright, root, runCli, samplePath,
         tempDir } from './support.mjs';

const { chromium } = playwright();
let browser;
let server;
let serverUrl;
const work = tempDir();

before(async () => {
  browser = await chromium.launch({
    executablePath: process.env.NOTORA_CHROMIUM || '/usr/bin/chromium',
    // Debian's Chromium starts as root only without its sandbox.
    args: process.getuid && process.getuid() === 0 ? ['--no-sandbox'] : [],
  });
  // Any static server: this one hands out the page and nothing else.
  server = http.createServer((request, response) => {
    if (request.url === '/notora.html') {
      response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' });
      response.end(fs.readFileSync(pagePath));
    } else {
      response.writeHead(404);
      response.end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  serverUrl = `http://127.0.0.1:${server.address().port}/notora.html`;
});

after(async () => {
  await browser?.close();
  server?.close();
  fs.rmSync(work, { recursive: true, force: true });
});

const catalogue = fs.readFileSync(path.join(root, 'resources/messages.txt'), 'utf8');
const message = (key) => catalogue.match(new RegExp(`^${key}\t(.*)$`, 'm'))[1].replaceAll('\\n', '\n');

// Opens the page at `url` and watches it: every page error and every request
// that is not for the page itself (nor for its own blob: data) is kept and
// fails the test when it ends.
async function openPage(t, url = pathToFileURL(pagePath).href) {
  const context = await browser.newContext({ acceptDownloads: true });
  const problems = [];
  context.on('request', (request) => {
    const target = request.url();
    if (target !== url && !target.startsWith('blob:')) problems.push(`request: ${target}`);
  });
  const page = await context.newPage();
  page.on('pageerror', (error) => problems.push(`page error: ${error.message}`));
  page.on('console', (entry) => {
    if (entry.type() === 'error') problems.push(`console: ${entry.text()}`);
  });
  page.on('worker', (worker) => worker.on('console', (entry) => {
    if (entry.type() === 'error') problems.push(`worker console: ${entry.text()}`);
  }));
  t.after(async () => {
    await context.close();
    assert.deepEqual(problems, [], 'the page erred or asked for something');
  });
  await page.goto(url);
  await page.waitForSelector('body[data-ready="true"]');
  return page;
}

function fileOf(name, bytes) {
  const file = path.join(work, name);
  fs.writeFileSync(file, bytes);
  return file;
}

async function choose(page, files) {
  const chooser = page.waitForEvent('filechooser');
  await page.getByRole('button', { name: '参照(S)' }).click();
  await (await chooser).setFiles(files);
}

async function execute(page, outputName, entries) {
  await page.getByLabel('変換後ファイル名(F):').fill(outputName);
  await page.getByRole('button', { name: '実行' }).click();
  // A run of several megabytes on a loaded machine may take a while.
  const timeout = 120000;
  await page.locator('#list > li').nth(entries - 1).locator('.message').first().waitFor({ timeout });
  await page.getByRole('button', { name: '実行' }).and(page.locator(':enabled')).waitFor({ timeout });
}

async function download(page, entry) {
  const started = page.waitForEvent('download');
  await entry.locator('a.download').click();
  const done = await started;
  const file = path.join(work, `download-${Date.now()}`);
  await done.saveAs(file);
  return { name: done.suggestedFilename(), bytes: fs.readFileSync(file) };
}

function nativeConversion(bytes, flags) {
  const cli = runCli(['convert', ...flags, '--line-end', 'lf', 'drawing.igs', 'OUT'], bytes,
                     'drawing.igs');
  const result = { stdout: cli.stdout, stderr: cli.stderr, output: cli.read('OUT.igs') };
  cli.cleanup();
  return result;
}

async function chooseLineEnd(page, word) {
  await page.getByLabel(/行末/).selectOption(word);
}

for (const [where, urlOf] of [['file://', () => undefined], ['a static server', () => serverUrl]]) {
  test(`from ${where}: choose, convert, report and download as notora-cli`, async (t) => {
    const page = await openPage(t, urlOf());
    const sample = fs.readFileSync(samplePath);
    await choose(page, fileOf('drawing.igs', sample));
    await chooseLineEnd(page, 'lf');
    await execute(page, 'OUT', 1);
    const native = nativeConversion(sample, ['-m', 'jis']);
    const entry = page.locator('#list > li').first();
    assert.equal(await entry.locator('.message.report').textContent() + '\n', native.stdout);
    const saved = await download(page, entry);
    assert.equal(saved.name, 'OUT.igs');
    assert.ok(saved.bytes.equals(native.output));
  });
}

// The drawings of the benchmark's mixes, large enough to grow the module's
// memory, converted in the page as notora-cli converts them, byte for byte.
test('the bench mixes convert in the page as notora-cli converts them', async (t) => {
  const page = await openPage(t);
  await chooseLineEnd(page, 'lf');
  const runs = [
    ['mixed.igs', generatedDrawing('mixed', '6M'), ['-m', 'jis']],
    ['note-dense.igs', generatedDrawing('note-dense', '6M'), ['-m', 'jis']],
    ['growth.igs', generatedDrawing('growth', '1M'), ['-m', 'none', '-v']],
  ];
  for (const [i, [name, bytes, flags]] of runs.entries()) {
    await choose(page, fileOf(name, bytes));
    const none = flags.includes('none');
    await page.getByLabel(none ? /^なし/ : /^全角⇒JIS/).check();
    await page.getByLabel(/^縦書き⇒横書き/).setChecked(flags.includes('-v'));
    await execute(page, 'OUT', i + 1);
    const native = nativeConversion(bytes, flags);
    const entry = page.locator('#list > li').nth(i);
    assert.equal(await entry.locator('.message.report').textContent() + '\n', native.stdout, name);
    assert.ok((await download(page, entry)).bytes.equals(native.output), `${name}: same bytes`);
  }
});

test('every control carries its caption as its name, with the defaults', async (t) => {
  const page = await openPage(t);
  const template = fs.readFileSync(path.join(root, 'dialog/dialog_template.cpp'), 'utf8');
  const rows = [...template.matchAll(/\{(kNoId|kId\w+|\d+), (k\w+), "([^"]*)"/g)];
  const shown = (caption) => caption.replace(/&(.)/g, '$1');
  for (const [, , kind, caption] of rows) {
    const name = shown(caption);
    if (kind === 'kRadio') await page.getByRole('radio', { name, exact: true }).waitFor();
    if (kind === 'kCheckBox') await page.getByRole('checkbox', { name, exact: true }).waitFor();
    if (kind === 'kGroupBox') await page.getByRole('group', { name, exact: true }).waitFor();
  }
  for (const name of ['参照(S)', '実行']) await page.getByRole('button', { name, exact: true }).waitFor();
  await page.getByRole('link', { name: 'ﾍﾙﾌﾟ(H)' }).click();
  assert.ok(await page.locator('#help h1').isVisible());
  assert.equal(await page.getByLabel('変換後ファイル名(F):').inputValue(), '');
  assert.ok(await page.getByRole('radio', { name: '全角⇒JISｺｰﾄﾞ(J)' }).isChecked());
  assert.ok(await page.getByRole('checkbox', { name: '列数ｾﾞﾛをｴﾗｰ(R)' }).isChecked());
  assert.ok(!(await page.getByRole('checkbox', { name: '縦書き⇒横書き(V)' }).isChecked()));
  const policy = await page.locator('meta[http-equiv="Content-Security-Policy"]').getAttribute('content');
  assert.match(policy, /^default-src 'none'; /);
  assert.doesNotMatch(policy, /connect-src|\*|https?:/);
});

test('the notes as inspect lists them and the picture preview draws', async (t) => {
  const page = await openPage(t);
  const sample = fs.readFileSync(samplePath);
  await choose(page, fileOf('drawing.igs', sample));
  await page.getByRole('radio', { name: 'なし(O)' }).check();
  await page.getByRole('checkbox', { name: '縦書き⇒横書き(V)' }).check();
  await chooseLineEnd(page, 'lf');
  await execute(page, 'OUT', 1);
  const entry = page.locator('#list > li').first();
  await entry.locator('details.notes-original summary').click();
  const inspect = runCli(['inspect', 'drawing.igs'], sample, 'drawing.igs');
  assert.equal(await entry.locator('pre.notes.original').textContent(), inspect.stdout);
  inspect.cleanup();
  await entry.locator('details.picture-box summary').click();
  const preview = runCli(['preview', '-m', 'none', '-v', 'drawing.igs', '-o', 'p.svg'], sample,
                         'drawing.igs');
  const svg = preview.read('p.svg').toString();
  preview.cleanup();
  for (const kind of ['original', 'converted']) {
    const expected = svg.match(new RegExp(`class="note ${kind}"`, 'g')).length;
    assert.equal(await entry.locator(`svg text.note.${kind}`).count(), expected);
  }
  assert.ok(await entry.locator('svg').isVisible());
});

test('two files at once: each in the list, each with its own messages', async (t) => {
  const page = await openPage(t);
  const sample = fs.readFileSync(samplePath);
  const faulty = Buffer.from('This is no IGES file.\n');
  await choose(page, [fileOf('drawing.igs', sample), fileOf('faulty.igs', faulty)]);
  await chooseLineEnd(page, 'lf');
  await execute(page, 'OUT', 2);
  const entries = page.locator('#list > li');
  assert.equal(await entries.count(), 2);
  const native = nativeConversion(sample, ['-m', 'jis']);
  assert.ok((await download(page, entries.nth(0))).bytes.equals(native.output));
  const refused = nativeConversion(faulty, ['-m', 'jis']);
  assert.equal(await entries.nth(1).locator('.message.error').textContent() + '\n', refused.stderr);
  assert.equal(await entries.nth(1).locator('a.download').count(), 0);
});

test('cancel during a run, with the page answering, and the next run works', async (t) => {
  const page = await openPage(t);
  // Chromium lets the module's cancel poll wait for the page's messages.
  assert.equal(await page.locator('body').getAttribute('data-cancel'), 'poll');
  await choose(page, fileOf('large.igs', generatedDrawing('note-dense', '160M')));
  await page.getByLabel('変換後ファイル名(F):').fill('OUT');
  await page.getByRole('button', { name: '実行' }).click();
  // The progress shows the records read, and the page answers meanwhile:
  // typing goes into the name field while Execute still waits for the run.
  await page.waitForFunction(() => /^[0-9]+$/.test(document.getElementById('control-1003').textContent));
  await page.getByLabel('変換後ファイル名(F):').fill('NEXT');
  assert.equal(await page.getByLabel('変換後ファイル名(F):').inputValue(), 'NEXT');
  assert.ok(await page.getByRole('button', { name: '実行' }).isDisabled(), 'the run goes on');
  await page.keyboard.press('Escape');
  const entry = page.locator('#list > li').first();
  await entry.locator('.message').waitFor();
  assert.equal(await entry.locator('.message.error').textContent(), message('Cancelled'));
  assert.equal(await entry.locator('a.download').count(), 0);

  const sample = fs.readFileSync(samplePath);
  await choose(page, fileOf('drawing.igs', sample));
  await chooseLineEnd(page, 'lf');
  await execute(page, 'OUT', 2);
  const native = nativeConversion(sample, ['-m', 'jis']);
  assert.ok((await download(page, page.locator('#list > li').nth(1))).bytes.equals(native.output));
});

test('the cancel button ends a run as Escape does', async (t) => {
  const page = await openPage(t);
  await choose(page, fileOf('large.igs', generatedDrawing('mixed', '64M')));
  await page.getByLabel('変換後ファイル名(F):').fill('OUT');
  // Pressed as soon as the run has started: the worker sees it before the
  // module's first poll, however fast the machine.
  await page.getByRole('button', { name: '実行' }).click();
  await page.locator('#cancel').click();
  const entry = page.locator('#list > li').first();
  await entry.locator('.message').waitFor();
  assert.equal(await entry.locator('.message.error').textContent(), message('Cancelled'));
  assert.equal(await entry.locator('a.download').count(), 0);
});

test('a file too large for the module is refused, and the page goes on', async (t) => {
  const page = await openPage(t);
  // 4.5 GB that take no room on the disk: more than a 32-bit module holds.
  const huge = path.join(work, 'huge.igs');
  fs.writeFileSync(huge, '');
  fs.truncateSync(huge, 4.5 * 2 ** 30);
  await choose(page, huge);
  await execute(page, 'OUT', 1);
  const { texts } = (await loadEngine()).describe();
  assert.equal(await page.locator('#list > li .message.error').textContent(), texts.tooLarge);
  assert.equal(await page.locator('#list > li a.download').count(), 0);
  fs.rmSync(huge);

  await choose(page, fileOf('drawing.igs', fs.readFileSync(samplePath)));
  await execute(page, 'OUT', 2);
  await page.locator('#list > li').nth(1).locator('a.download').waitFor();
});
