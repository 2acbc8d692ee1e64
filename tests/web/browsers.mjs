// The page in each browser engine behind one small interface, so that the
// page's tests are written once and run in every engine:
//   Chromium: Debian's chromium, driven by playwright-core;
//   Firefox: Debian's firefox-esr, driven by puppeteer-core over WebDriver BiDi;
//   WebKit: Debian's WebKitGTK MiniBrowser, driven by selenium-webdriver
//     through WebKitWebDriver, on a virtual display of its own where there is
//     none.
// launchBrowser(engine) gives {name, version, open(url), close()}; open
// gives a PageSession, whose calls take CSS selectors and functions run in
// the page (setWidth sets the window's inner width, and height). A session watches the
// page: every page error, every console error and every request for
// anything but the page itself (and its own blob: and data: bytes) is kept
// in problems().
import { spawn } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import path from 'node:path';

import { nodePackage, tempDir } from './support.mjs';

const kTimeout = 120000;
// The dialog's control ids (dialog/dialog_template.h) the sessions use.
export const kIds = { execute: 1, browse: 1000, outputName: 1001, progress: 1003, vertical: 1009 };
const control = (name) => `#control-${kIds[name]}`;
const isRoot = process.getuid && process.getuid() === 0;

// What a request watch counts: anything but the page and its own bytes.
// (Firefox's own style sheet loads a data: font for list bullets.)
function leavesPage(target, pageUrl) {
  return target !== pageUrl && !/^(blob|data):/.test(target);
}

// Installed in the page once it has loaded: errors, refused promises and
// refusals of the page's Content-Security-Policy, in every engine alike.
function watchInPage() {
  window.notoraProblems = [];
  window.addEventListener('error', (event) => window.notoraProblems.push(`error: ${event.message}`));
  window.addEventListener('unhandledrejection',
                          (event) => window.notoraProblems.push(`rejection: ${event.reason}`));
  document.addEventListener('securitypolicyviolation',
                            (event) => window.notoraProblems.push(`policy: ${event.blockedURI}`));
}

function seenInPage() {
  const resources = performance.getEntriesByType('resource').map((entry) => `resource: ${entry.name}`);
  return [...(window.notoraProblems || []), ...resources];
}

function sleep(milliseconds) {
  return new Promise((resolve) => setTimeout(resolve, milliseconds));
}

// Waits for the one file a browser saves into `folder`: there, nothing else
// beside it (no partial file), and the same size twice in a row. Taken out
// of the folder, so that the next download has the name again.
async function takeDownload(folder, name) {
  const file = path.join(folder, name);
  let lastSize = -1;
  for (const deadline = Date.now() + kTimeout; Date.now() < deadline; await sleep(100)) {
    const entries = fs.readdirSync(folder);
    if (!entries.includes(name) || entries.length !== 1) continue;
    const size = fs.statSync(file).size;
    if (size === lastSize) {
      const bytes = fs.readFileSync(file);
      fs.rmSync(file);
      return bytes;
    }
    lastSize = size;
  }
  throw new Error(`no download ${name} in ${folder}: ${fs.readdirSync(folder).join(', ')}`);
}

// What every engine's session shares: the page's own state read by scripts.
class PageSession {
  constructor(url) {
    this.url = url;
    this.problems_ = [];
  }

  async loaded() {
    await this.waitFor(() => document.body.dataset.ready === 'true');
    await this.evaluate(watchInPage);
  }

  async problems() {
    const seen = await this.evaluate(seenInPage);
    return [...this.problems_, ...seen.filter((line) => !line.startsWith('resource: ') ||
                                                         leavesPage(line.slice(10), this.url))];
  }

  // The output name typed, then Execute, and the list grown to `entries`
  // entries with Execute usable again.
  async execute(outputName, entries) {
    await this.type(control('outputName'), outputName);
    await this.click(control('execute'));
    await this.waitFor(({ count, execute }) =>
      document.querySelector(`#list > li:nth-child(${count}) .message`) !== null &&
      !document.querySelector(execute).disabled, { count: entries, execute: control('execute') });
  }

  // The messages of the list's entry `index` (from 0) by kind, and whether
  // it has a download.
  entry(index) {
    return this.evaluate((i) => {
      const entry = document.querySelectorAll('#list > li')[i];
      const texts = (kind) => [...entry.querySelectorAll(`.message.${kind}`)].map((m) => m.textContent);
      return { reports: texts('report'), errors: texts('error'),
               download: entry.querySelector('a.download')?.download ?? null };
    }, index);
  }

  // The command line's flags (-m MODE, -v) and line end set on the page.
  async setFlags(flags, lineEnd = 'lf') {
    const mode = flags[flags.indexOf('-m') + 1];
    const modes = { jis: 0, fullwidth: 1, none: 2 };
    const word = (flag) => (flags.includes(flag) ? flags[flags.indexOf(flag) + 1] : 'shift_jis');
    await this.evaluate(({ position, vertical, verticalBox, choices, keepPointers }) => {
      document.querySelectorAll('#dialog input[type=radio]')[position].checked = true;
      document.querySelector(verticalBox).checked = vertical;
      for (const [key, value] of Object.entries(choices)) {
        const select = document.getElementById(`choice-${key}`);
        select.value = value;
        select.dispatchEvent(new Event('change'));
      }
      document.getElementById('choice-keepPointers').checked = keepPointers;
    }, { position: modes[mode], vertical: flags.includes('-v'), verticalBox: control('vertical'),
         choices: { lineEnd, sourceEncoding: word('--source-encoding'),
                    outputEncoding: word('--output-encoding') },
         keepPointers: flags.includes('--keep-pointers') });
  }
}

// ---- Chromium ----------------------------------------------------------

class ChromiumSession extends PageSession {
  static async open(browser, url) {
    const context = await browser.newContext({ acceptDownloads: true,
                                               viewport: { width: 1024, height: 800 } });
    const session = new ChromiumSession(url);
    session.context = context;
    context.on('request', (request) => {
      if (leavesPage(request.url(), url)) session.problems_.push(`request: ${request.url()}`);
    });
    const page = await context.newPage();
    session.page = page;
    page.on('pageerror', (error) => session.problems_.push(`page error: ${error.message}`));
    page.on('console', (entry) => {
      if (entry.type() === 'error') session.problems_.push(`console: ${entry.text()}`);
    });
    page.on('worker', (worker) => worker.on('console', (entry) => {
      if (entry.type() === 'error') session.problems_.push(`worker console: ${entry.text()}`);
    }));
    await page.goto(url);
    await session.loaded();
    return session;
  }

  evaluate(f, argument) { return this.page.evaluate(f, argument); }
  waitFor(f, argument) { return this.page.waitForFunction(f, argument, { timeout: kTimeout }); }
  click(selector) { return this.page.click(selector); }
  type(selector, text) { return this.page.fill(selector, text); }
  press(key) { return this.page.keyboard.press(key); }
  async setWidth(width, height = 800) { await this.page.setViewportSize({ width, height }); }
  async choose(files) {
    const chooser = this.page.waitForEvent('filechooser');
    await this.page.click(control('browse'));
    await (await chooser).setFiles(files);
  }
  async download(index) {
    const started = this.page.waitForEvent('download');
    await this.page.locator('#list > li').nth(index).locator('a.download').click();
    const done = await started;
    const file = path.join(tempDir(), 'download');
    await done.saveAs(file);
    const bytes = fs.readFileSync(file);
    fs.rmSync(path.dirname(file), { recursive: true, force: true });
    return { name: done.suggestedFilename(), bytes };
  }
  async screenshot(selector, file) { await this.page.locator(selector).screenshot({ path: file }); }
  close() { return this.context.close(); }
}

async function launchChromium() {
  const { chromium } = nodePackage('playwright-core');
  const browser = await chromium.launch({
    executablePath: process.env.NOTORA_CHROMIUM || '/usr/bin/chromium',
    // Debian's Chromium starts as root only without its sandbox.
    args: isRoot ? ['--no-sandbox'] : [],
  });
  return { name: 'Chromium', version: browser.version(), raw: browser,
           open: (url) => ChromiumSession.open(browser, url), close: () => browser.close() };
}

// ---- Firefox -----------------------------------------------------------

class FirefoxSession extends PageSession {
  static async open(browser, url) {
    const session = new FirefoxSession(url);
    session.downloads = tempDir();
    session.context = await browser.createBrowserContext({
      downloadBehavior: { policy: 'allow', downloadPath: session.downloads } });
    const page = await session.context.newPage();
    session.page = page;
    await page.setViewport({ width: 1024, height: 800 });
    page.on('request', (request) => {
      if (leavesPage(request.url(), url)) session.problems_.push(`request: ${request.url()}`);
    });
    page.on('pageerror', (error) => session.problems_.push(`page error: ${error.message}`));
    page.on('console', (entry) => {
      if (entry.type() === 'error') session.problems_.push(`console: ${entry.text()}`);
    });
    await page.goto(url);
    await session.loaded();
    return session;
  }

  evaluate(f, argument) { return this.page.evaluate(f, argument); }
  waitFor(f, argument) { return this.page.waitForFunction(f, { timeout: kTimeout, polling: 100 }, argument); }
  click(selector) { return this.page.click(selector); }
  type(selector, text) { return this.page.locator(selector).fill(text); }
  press(key) { return this.page.keyboard.press(key); }
  async setWidth(width, height = 800) { await this.page.setViewport({ width, height }); }
  async choose(files) {
    const [chooser] = await Promise.all([this.page.waitForFileChooser({ timeout: kTimeout }),
                                         this.page.click(control('browse'))]);
    await chooser.accept([files].flat());
  }
  async download(index) {
    const name = (await this.entry(index)).download;
    await this.evaluate((i) => document.querySelectorAll('#list > li')[i].querySelector('a.download').click(),
                        index);
    return { name, bytes: await takeDownload(this.downloads, name) };
  }
  async screenshot(selector, file) { await (await this.page.$(selector)).screenshot({ path: file }); }
  async close() {
    await this.context.close();
    fs.rmSync(this.downloads, { recursive: true, force: true });
  }
}

async function launchFirefox() {
  const puppeteer = nodePackage('puppeteer-core');
  const browser = await puppeteer.launch({
    browser: 'firefox', protocol: 'webDriverBiDi', headless: true,
    executablePath: process.env.NOTORA_FIREFOX || '/usr/bin/firefox-esr',
  });
  const version = (await browser.version()).replace(/^firefox\//, '');
  return { name: 'Firefox', version, raw: browser,
           open: (url) => FirefoxSession.open(browser, url), close: () => browser.close() };
}

// ---- WebKit ------------------------------------------------------------

class WebKitSession extends PageSession {
  static async open(launched, url) {
    const session = new WebKitSession(url);
    session.driver = launched.driver;
    session.downloads = launched.downloads;
    session.webdriver = launched.webdriver;
    await session.driver.get(url);
    await session.loaded();
    return session;
  }

  evaluate(f, argument) {
    return this.driver.executeScript(`return (${f}).apply(null, arguments);`, argument);
  }
  async waitFor(f, argument) {
    await this.driver.wait(async () => Boolean(await this.evaluate(f, argument)), kTimeout);
  }
  // Clicks from the page's script: after the first download a bar above the
  // page moves it down, and a click at the place WebDriver computed misses.
  click(selector) { return this.evaluate((s) => document.querySelector(s).click(), selector); }
  async type(selector, text) {
    const element = await this.driver.findElement(this.webdriver.By.css(selector));
    await element.clear();
    await element.sendKeys(text);
  }
  async press(key) {
    const keys = { Escape: this.webdriver.Key.ESCAPE };
    await this.driver.actions().sendKeys(keys[key]).perform();
  }
  async setWidth(width, height = 800) {
    const window = this.driver.manage().window();
    const frame = await this.evaluate(() => [window.outerWidth - window.innerWidth,
                                             window.outerHeight - window.innerHeight]);
    await window.setRect({ width: width + frame[0], height: height + frame[1] });
  }
  // The file input takes the paths (one a line); a `multiple` input adds
  // them to those it holds, so it is cleared first. It is shown for the
  // moment it takes them, as WebDriver types only into what is shown.
  async choose(files) {
    await this.evaluate(() => { document.getElementById('picker').hidden = false; });
    const input = await this.driver.findElement(this.webdriver.By.id('picker'));
    await input.clear();
    await input.sendKeys([files].flat().join('\n'));
    await this.evaluate(() => { document.getElementById('picker').hidden = true; });
  }
  async download(index) {
    const name = (await this.entry(index)).download;
    await this.evaluate((i) => document.querySelectorAll('#list > li')[i].querySelector('a.download').click(),
                        index);
    return { name, bytes: await takeDownload(this.downloads, name) };
  }
  async screenshot(selector, file) {
    const element = await this.driver.findElement(this.webdriver.By.css(selector));
    fs.writeFileSync(file, Buffer.from(await element.takeScreenshot(), 'base64'));
  }
  async close() {}
}

function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.on('error', reject);
    server.listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

// A virtual display of its own (Xvfb), for a browser that needs one.
async function startDisplay() {
  const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', '1280x2048x24', '-nolisten', 'tcp'],
                     { stdio: ['ignore', 'ignore', 'ignore', 'pipe'] });
  const display = await new Promise((resolve, reject) => {
    let text = '';
    xvfb.on('error', (error) => reject(new Error(`Xvfb: ${error.message} (Debian: xvfb)`)));
    xvfb.on('exit', () => reject(new Error('Xvfb ended before it gave a display')));
    xvfb.stdio[3].on('data', (data) => {
      text += data;
      if (text.includes('\n')) resolve(`:${text.trim()}`);
    });
  });
  return { display, stop: () => xvfb.kill() };
}

async function launchWebKit() {
  const webdriver = nodePackage('selenium-webdriver');
  const home = tempDir();
  const downloads = path.join(home, 'downloads');
  const config = path.join(home, 'config');
  fs.mkdirSync(downloads);
  fs.mkdirSync(config);
  // MiniBrowser saves each download into the XDG download folder.
  fs.writeFileSync(path.join(config, 'user-dirs.dirs'), `XDG_DOWNLOAD_DIR="${downloads}"\n`);
  const screen = process.env.DISPLAY ? null : await startDisplay();
  const port = await freePort();
  const env = { ...process.env, XDG_CONFIG_HOME: config,
                DISPLAY: screen ? screen.display : process.env.DISPLAY };
  const server = spawn(process.env.NOTORA_WEBKIT_DRIVER || 'WebKitWebDriver', [`--port=${port}`],
                       { env, stdio: 'ignore' });
  const stop = () => {
    server.kill();
    screen?.stop();
    fs.rmSync(home, { recursive: true, force: true });
  };
  try {
    await new Promise((resolve, reject) => {
      server.on('error', (error) => {
        reject(new Error(`WebKitWebDriver: ${error.message} (Debian: webkit2gtk-driver)`));
      });
      const ask = () => {
        const socket = net.connect(port, '127.0.0.1', () => { socket.end(); resolve(); });
        socket.on('error', () => setTimeout(ask, 100));
      };
      ask();
    });
    const driver = await new webdriver.Builder().usingServer(`http://127.0.0.1:${port}`).withCapabilities({
      browserName: 'MiniBrowser',
      'webkitgtk:browserOptions': {
        binary: process.env.NOTORA_MINIBROWSER || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser',
        args: ['--automation'],
      },
    }).build();
    const version = (await driver.getCapabilities()).get('browserVersion');
    const launched = { driver, downloads, webdriver };
    return { name: 'WebKit', version: `${version} (WebKitGTK)`,
             open: (url) => WebKitSession.open(launched, url),
             close: async () => {
               try { await driver.quit(); } finally { stop(); }
             } };
  } catch (error) {
    stop();
    throw error;
  }
}

export function launchBrowser(engine) {
  return { chromium: launchChromium, firefox: launchFirefox, webkit: launchWebKit }[engine]();
}
