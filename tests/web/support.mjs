// What the page's tests share: where the builds and the npm packages are,
// the native notora-cli run on the same bytes, generated drawings, a static
// server, the message catalogue, and the options the command line's modes
// stand for, set on the page's controls through the module's own
// description of the dialog.
import { execFileSync, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import { createRequire } from 'node:module';
import os from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { WASI } from 'node:wasi';

export const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '../..');
const env = (name, fallback) => process.env[name] || path.join(root, fallback);
export const cliPath = env('NOTORA_CLI', 'build/native/cli/notora-cli');
export const generatorPath = env('NOTORA_GENERATE_IGES', 'build/native/bench/notora-generate-iges');
export const modulePath = env('NOTORA_WASM', 'build/web/web/notora.wasm');
export const pagePath = process.env.NOTORA_PAGE ||
  fs.readdirSync(path.join(root, 'dist')).filter((f) => /^notora-.*\.html$/.test(f))
    .map((f) => path.join(root, 'dist', f))[0];
export const samplePath = path.join(root, 'samples/drawing-sjis.igs');
export const corpusDir = path.join(root, '../shared/corpus/real');

export const { NotoraEngine } = createRequire(import.meta.url)(path.join(root, 'web/engine.js'));
// An npm package of the tests (playwright-core, puppeteer-core,
// selenium-webdriver) as scripts/web-test-packages installs it: outside the
// sources, in build/web-tests, or where NOTORA_NODE_PACKAGES says.
export function nodePackage(name) {
  const packages = process.env.NOTORA_NODE_PACKAGES || path.join(root, 'build/web-tests');
  return createRequire(path.join(packages, 'package.json'))(name);
}

// A static server as any would do: the page at `url`, and for anything else
// 404. `requests` keeps every path asked for.
export async function startServer() {
  const requests = [];
  const server = http.createServer((request, response) => {
    requests.push(request.url);
    if (request.url === '/notora.html') {
      response.writeHead(200, { 'Content-Type': 'text/html; charset=utf-8' });
      response.end(fs.readFileSync(pagePath));
    } else {
      response.writeHead(404);
      response.end();
    }
  });
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  return { url: `http://127.0.0.1:${server.address().port}/notora.html`, requests,
           close: () => new Promise((resolve) => server.close(resolve)) };
}

// A message of the catalogue (resources/messages.txt) by its key.
export function catalogueMessage(key) {
  const catalogue = fs.readFileSync(path.join(root, 'resources/messages.txt'), 'utf8');
  return catalogue.match(new RegExp(`^${key}\t(.*)$`, 'm'))[1].replaceAll('\\n', '\n');
}

let compiled = null;

// A fresh engine under node's WASI; `poll` as NotoraEngine.load takes it.
export async function loadEngine(poll) {
  compiled ??= new WebAssembly.Module(fs.readFileSync(modulePath));
  const wasi = new WASI({ version: 'preview1', returnOnExit: true });
  return NotoraEngine.load(compiled, { wasiImport: wasi.wasiImport, wasi, poll });
}

export function tempDir() {
  return fs.mkdtempSync(path.join(os.tmpdir(), 'notora-web-'));
}

// The command line's mode flags as the states of the dialog's controls:
// the modes' order is the order of the first radio group's buttons.
export function controlStates(description, flags) {
  const checked = {};
  for (const c of description.controls) if ('checked' in c) checked[c.id] = c.checked;
  const modes = ['jis', 'fullwidth', 'none'];
  const first = description.controls.findIndex((c) => c.kind === 'radio');
  const mode = flags[flags.indexOf('-m') + 1];
  modes.forEach((word, i) => { checked[description.controls[first + i].id] = word === mode; });
  checked[description.ids.verticalToHorizontal] = flags.includes('-v');
  if (flags.includes('--allow-zero-columns')) checked[description.ids.zeroColumnsIsError] = false;
  return checked;
}

// Converts `bytes` (named `name`) with the module; the result of
// NotoraEngine.convert with `inspection` when asked.
export async function convertInModule(bytes, name, flags, { outputName = 'OUT', inspect = false } = {}) {
  const engine = await loadEngine();
  const description = engine.describe();
  const lineEnd = description.lineEnds.indexOf('lf');
  engine.setOptions({ checked: controlStates(description, flags), outputName,
                      outputNameId: description.ids.outputName, lineEnd });
  engine.setSource(NotoraEngine.bytesSource(bytes));
  const result = await engine.convert(name);
  // The output is a view of the module's memory: kept before anything else.
  if (result.output) result.output = new Uint8Array(result.output);
  if (inspect) result.inspection = await engine.inspect(name);
  return result;
}

// notora-cli run in a folder of its own holding the source as `name`.
export function runCli(args, bytes, name) {
  const dir = tempDir();
  fs.writeFileSync(path.join(dir, name), bytes);
  const run = spawnSync(cliPath, args, { cwd: dir, maxBuffer: 1 << 30 });
  const read = (file) => (fs.existsSync(path.join(dir, file)) ? fs.readFileSync(path.join(dir, file)) : null);
  return { status: run.status, stdout: run.stdout.toString(), stderr: run.stderr.toString(), read,
           cleanup: () => fs.rmSync(dir, { recursive: true, force: true }) };
}

// What the module showed, as the command line prints it: each message's
// lines ending in a line feed, reports on standard output, errors on
// standard error.
export function printed(messages, kind) {
  return messages.filter((m) => m.kind === kind).map((m) => `${m.text}\n`).join('');
}

// notora-cli's conversion of `bytes` with `flags` and LF line ends: what it
// printed and its output (null when none).
export function nativeConversion(bytes, flags) {
  const cli = runCli(['convert', ...flags, '--line-end', 'lf', 'drawing.igs', 'OUT'], bytes, 'drawing.igs');
  const result = { status: cli.status, stdout: cli.stdout, stderr: cli.stderr, output: cli.read('OUT.igs') };
  cli.cleanup();
  return result;
}

const generated = new Map();
// A drawing from the benchmark's generator (made once per run of the tests).
export function generatedDrawing(profile, size) {
  const key = `${profile}-${size}`;
  if (!generated.has(key)) {
    const file = path.join(tempDir(), `${key}.igs`);
    execFileSync(generatorPath, ['--size', size, '--profile', profile, file], { stdio: 'ignore' });
    generated.set(key, fs.readFileSync(file));
    fs.rmSync(path.dirname(file), { recursive: true, force: true });
  }
  return generated.get(key);
}
