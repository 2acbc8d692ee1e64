// Opens the page in one browser engine (browsers.mjs) in a window 1024 px
// wide, converts SOURCE as a user would (the output name "drawing-jis", the
// default options), opens the notes and the picture and writes the page as
// PNG (scripts/screenshot-web).
//   node screenshot.mjs chromium|firefox|webkit SOURCE OUT.png
import { pathToFileURL } from 'node:url';

import { launchBrowser } from './browsers.mjs';
import { pagePath } from './support.mjs';

const [engine, source, output] = process.argv.slice(2);
const browser = await launchBrowser(engine);
try {
  const page = await browser.open(pathToFileURL(pagePath).href);
  await page.setWidth(1024);
  await page.choose(source);
  await page.execute('drawing-jis', 1);
  for (const box of ['notes-original', 'picture-box']) await page.click(`#list details.${box} summary`);
  await page.waitFor(() => document.querySelector('#list svg') !== null);
  // A window as tall as the page, for the engines that picture only what
  // the window shows.
  await page.setWidth(1024, await page.evaluate(() => document.querySelector('main').scrollHeight + 40));
  await page.screenshot('main', output);
} finally {
  await browser.close();
}
