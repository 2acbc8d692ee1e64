// The page in headless Chromium, for what is looked at through its roles and
// captions (playwright-core's locators): the dialog's controls by their
// captions, the notes and the picture, a file too large for the module.
// What every engine must do (conversions, cancels, layout) is in
// page_cases.mjs, run by page_chromium/page_firefox/page_webkit.test.mjs.
// Any page error fails a test, and so does any request beyond the page
// itself.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { pathToFileURL } from 'node:url';

import { launchBrowser } from './browsers.mjs';
import { loadEngine, pagePath, root, runCli, samplePath, tempDir } from './support.mjs';

let browser;
const work = tempDir();

before(async () => {
  browser = await launchBrowser('chromium');
});

after(async () => {
  await browser?.close();
  fs.rmSync(work, { recursive: true, force: true });
});

// The page from file://, watched (browsers.mjs) until the test ends; its
// playwright page.
async function openPage(t) {
  const session = await browser.open(pathToFileURL(pagePath).href);
  t.after(async () => {
    const problems = await session.problems();
    await session.close();
    assert.deepEqual(problems, [], 'the page erred or asked for something');
  });
  return session.page;
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
  const timeout = 120000;
  await page.locator('#list > li').nth(entries - 1).locator('.message').first().waitFor({ timeout });
  await page.getByRole('button', { name: '実行' }).and(page.locator(':enabled')).waitFor({ timeout });
}

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
  await page.getByLabel(/行末/).selectOption('lf');
  await execute(page, 'OUT', 1);
  const entry = page.locator('#list > li').first();
  await entry.locator('details.notes-original summary').click();
  const inspect = runCli(['inspect', 'drawing.igs'], sample, 'drawing.igs');
  assert.equal(await entry.locator('pre.notes.original').textContent(), inspect.stdout);
  inspect.cleanup();
  // The picture is made when opened.
  assert.equal(await entry.locator('svg').count(), 0);
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
