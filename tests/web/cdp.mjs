// A small client of the browser's DevTools protocol over Node's own WebSocket and fetch: starts
// headless Chromium on a page and lets a test evaluate script, press keys, click, touch, emulate
// a phone, count what the network carried and take screenshots. Run with node
// --experimental-websocket.
import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// The browser's flags: headless, no sandbox (CI runs as root), no GPU, sound allowed without a
// gesture (the page still asks for one: the test clicks as a person would).
const kFlags = ['--headless=new', '--no-sandbox', '--disable-gpu',
  '--autoplay-policy=no-user-gesture-required', '--no-first-run', '--no-default-browser-check',
  '--disable-background-networking', '--mute-audio', '--window-size=1024,768'];

export class Browser {
  static async start(executable = process.env.ZARVO_CHROMIUM || 'chromium') {
    const profile = mkdtempSync(join(tmpdir(), 'zarvo-chromium-'));
    const child = spawn(executable, [...kFlags, `--user-data-dir=${profile}`,
      '--remote-debugging-port=0', 'about:blank'], { stdio: ['ignore', 'ignore', 'pipe'] });
    const browser = new Browser(child, profile);
    const port = await new Promise((resolve, reject) => {
      let text = '';
      const timer = setTimeout(() => reject(new Error('chromium did not start: ' + text)), 30000);
      child.stderr.on('data', (chunk) => {
        text += chunk;
        const match = /DevTools listening on ws:\/\/[^:]+:(\d+)\//.exec(text);
        if (match) { clearTimeout(timer); resolve(Number(match[1])); }
      });
      child.on('exit', (code) => reject(new Error(`chromium ended (${code}): ${text}`)));
    });
    browser.port = port;
    return browser;
  }

  constructor(child, profile) {
    this.child = child;
    this.profile = profile;
  }

  // A new tab, attached; its console messages are collected in page.console.
  async newPage() {
    const response = await fetch(`http://127.0.0.1:${this.port}/json/new?about:blank`, { method: 'PUT' });
    const target = await response.json();
    const page = new Page(target.webSocketDebuggerUrl);
    page.targetId = target.id;
    await page.open();
    return page;
  }

  // Brings a tab to the front (the others become hidden).
  async activate(page) {
    await fetch(`http://127.0.0.1:${this.port}/json/activate/${page.targetId}`);
  }

  // The CPU seconds the browser's processes have used so far (user + system), from /proc.
  cpuSeconds() {
    return processTreeCpu(this.child.pid);
  }

  async close() {
    this.child.kill('SIGTERM');
    await new Promise((resolve) => { if (this.child.exitCode !== null) { resolve(); } else { this.child.on('exit', resolve); } });
    // Helper processes may still be writing the profile for a moment after the browser ends.
    try {
      rmSync(this.profile, { recursive: true, force: true, maxRetries: 10, retryDelay: 200 });
    } catch (error) {
      console.error(`note: the browser's profile ${this.profile} was left behind (${error.code})`);
    }
  }
}

import { readFileSync, readdirSync } from 'node:fs';

function processTreeCpu(root) {
  const children = new Map();
  const cpu = new Map();
  for (const entry of readdirSync('/proc')) {
    if (!/^\d+$/.test(entry)) { continue; }
    try {
      const stat = readFileSync(`/proc/${entry}/stat`, 'utf8');
      const fields = stat.slice(stat.lastIndexOf(')') + 2).split(' ');
      const parent = Number(fields[1]);
      cpu.set(Number(entry), (Number(fields[11]) + Number(fields[12])) / 100);
      if (!children.has(parent)) { children.set(parent, []); }
      children.get(parent).push(Number(entry));
    } catch { /* the process ended meanwhile */ }
  }
  let total = 0;
  const stack = [root];
  while (stack.length) {
    const pid = stack.pop();
    total += cpu.get(pid) || 0;
    stack.push(...(children.get(pid) || []));
  }
  return total;
}

export class Page {
  constructor(url) {
    this.url = url;
    this.nextId = 1;
    this.pending = new Map();
    this.console = [];
    this.listeners = [];
    this.network = new Map();
  }

  open() {
    this.socket = new WebSocket(this.url);
    this.socket.onmessage = (event) => this.receive(JSON.parse(event.data));
    return new Promise((resolve, reject) => {
      this.socket.onopen = async () => {
        await this.send('Runtime.enable');
        await this.send('Page.enable');
        await this.send('Log.enable');
        await this.send('Network.enable');
        resolve();
      };
      this.socket.onerror = () => reject(new Error('DevTools connection failed'));
    });
  }

  receive(message) {
    if (message.id && this.pending.has(message.id)) {
      const { resolve, reject } = this.pending.get(message.id);
      this.pending.delete(message.id);
      if (message.error) { reject(new Error(message.error.message)); } else { resolve(message.result); }
      return;
    }
    if (message.method === 'Runtime.consoleAPICalled') {
      const text = message.params.args.map((arg) => arg.value ?? arg.description ?? '').join(' ');
      this.console.push({ type: message.params.type, text });
    } else if (message.method === 'Runtime.exceptionThrown') {
      const details = message.params.exceptionDetails;
      this.console.push({ type: 'exception', text: details.exception?.description ?? details.text });
    } else if (message.method === 'Log.entryAdded') {
      // The browser's own messages: deprecations, interventions, failed loads.
      const { entry } = message.params;
      this.console.push({ type: entry.level, source: entry.source, text: entry.text });
    } else if (message.method === 'Network.responseReceived') {
      const { requestId, response } = message.params;
      const headers = Object.fromEntries(Object.entries(response.headers).map(([k, v]) => [k.toLowerCase(), v]));
      this.network.set(requestId, { url: response.url, status: response.status, encoding: headers['content-encoding'] ?? '', bytes: 0 });
    } else if (message.method === 'Network.loadingFinished') {
      const record = this.network.get(message.params.requestId);
      if (record) { record.bytes = message.params.encodedDataLength; }
    }
  }

  send(method, params = {}) {
    const id = this.nextId++;
    this.socket.send(JSON.stringify({ id, method, params }));
    return new Promise((resolve, reject) => this.pending.set(id, { resolve, reject }));
  }

  // Script run in every document this tab opens, before the page's own (e.g. to take an API away).
  async beforePage(source) {
    await this.send('Page.addScriptToEvaluateOnNewDocument', { source });
  }

  async goto(url) {
    await this.send('Page.navigate', { url });
  }

  // The value of a script expression (awaited when it is a promise).
  async evaluate(expression) {
    const result = await this.send('Runtime.evaluate', { expression, returnByValue: true, awaitPromise: true });
    if (result.exceptionDetails) {
      throw new Error(`${expression}: ${result.exceptionDetails.exception?.description ?? result.exceptionDetails.text}`);
    }
    return result.result.value;
  }

  // Waits until the expression is true; returns its value, or throws after `timeout` ms.
  async waitFor(expression, timeout = 20000, what = expression) {
    const end = Date.now() + timeout;
    for (;;) {
      const value = await this.evaluate(expression).catch(() => undefined);
      if (value) { return value; }
      if (Date.now() > end) { throw new Error(`timed out waiting for ${what}`); }
      await sleep(20);
    }
  }

  // A key pressed and released as a keyboard would (key names as in KeyboardEvent.key).
  async press(key) {
    const codes = { Escape: 27, Enter: 13, Tab: 9, ArrowDown: 40, ArrowUp: 38, ArrowRight: 39, ArrowLeft: 37 };
    const keyCode = codes[key] ?? key.toUpperCase().charCodeAt(0);
    const text = key.length === 1 ? key : (key === 'Enter' ? '\r' : undefined);
    const code = key.length === 1 ? `Key${key.toUpperCase()}` : key;
    await this.send('Input.dispatchKeyEvent',
      { type: text ? 'keyDown' : 'rawKeyDown', key, code, windowsVirtualKeyCode: keyCode, text });
    await this.send('Input.dispatchKeyEvent', { type: 'keyUp', key, windowsVirtualKeyCode: keyCode });
  }

  // A mouse click in the middle of the element the selector finds.
  async click(selector) {
    const box = await this.center(selector);
    for (const type of ['mouseMoved', 'mousePressed', 'mouseReleased']) {
      await this.send('Input.dispatchMouseEvent', { type, x: box.x, y: box.y, button: 'left', clickCount: 1 });
    }
  }

  // Makes the tab a phone held sideways: its screen, a touch screen with fingers as the first
  // pointer, and the mobile viewport.
  async emulatePhone({ width = 844, height = 390, scale = 3 } = {}) {
    await this.send('Emulation.setDeviceMetricsOverride', { width, height, deviceScaleFactor: scale, mobile: true,
      screenWidth: width, screenHeight: height, screenOrientation: { type: 'landscapePrimary', angle: 90 } });
    await this.send('Emulation.setTouchEmulationEnabled', { enabled: true, maxTouchPoints: 5 });
  }

  async center(selector) {
    return this.evaluate(`(() => {
      const r = document.querySelector(${JSON.stringify(selector)}).getBoundingClientRect();
      return { x: r.x + r.width / 2, y: r.y + r.height / 2 };
    })()`);
  }

  // A finger on the middle of the element, held for `hold` ms, then lifted.
  async touch(selector, hold = 50) {
    const { x, y } = await this.center(selector);
    await this.send('Input.dispatchTouchEvent', { type: 'touchStart', touchPoints: [{ x, y }] });
    await sleep(hold);
    await this.send('Input.dispatchTouchEvent', { type: 'touchEnd', touchPoints: [] });
  }

  // Goes one step back in the tab's history, as the browser's button or a back gesture does.
  async goBack() {
    const history = await this.send('Page.getNavigationHistory');
    const entry = history.entries[history.currentIndex - 1];
    await this.send('Page.navigateToHistoryEntry', { entryId: entry.id });
  }

  async screenshot() {
    const result = await this.send('Page.captureScreenshot', { format: 'png' });
    return Buffer.from(result.data, 'base64');
  }

  close() {
    this.socket.close();
  }
}

export { sleep };
