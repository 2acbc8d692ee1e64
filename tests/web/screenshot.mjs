// Opens the page in headless Chromium, converts SOURCE as a user would (the
// output name "drawing-jis", the default options), opens the notes and the
// picture and writes the page as PNG (scripts/screenshot-web).
//   node screenshot.mjs SOURCE OUT.png
import { pathToFileURL } from 'node:url';

import { pagePath, playwright } from './support.mjs';

const { chromium } = playwright();

const [source, output] = process.argv.slice(2);
const browser = await chromium.launch({
  executablePath: process.env.NOTORA_CHROMIUM || '/usr/bin/chromium',
  args: process.getuid && process.getuid() === 0 ? ['--no-sandbox'] : [],
});
try {
  const page = await browser.newPage({ viewport: { width: 1100, height: 900 }, locale: 'ja-JP' });
  await page.goto(pathToFileURL(pagePath).href);
  await page.waitForSelector('body[data-ready="true"]');
  const chooser = page.waitForEvent('filechooser');
  await page.getByRole('button', { name: '参照(S)' }).click();
  await (await chooser).setFiles(source);
  await page.getByLabel('変換後ファイル名(F):').fill('drawing-jis');
  await page.getByRole('button', { name: '実行' }).click();
  await page.locator('#list a.download').waitFor();
  for (const box of ['notes-original', 'picture-box']) {
    await page.locator(`#list details.${box} summary`).click();
  }
  await page.locator('main').screenshot({ path: output });
} finally {
  await browser.close();
}
