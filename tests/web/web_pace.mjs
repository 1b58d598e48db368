// The show's pace in headless Chromium: the light's turns per second on the browser's own
// refresh and on displays of 120 and 144 Hz, whose animation frames a frame clock in the page
// makes (installed before the page's own script), must come within 2 % of the pace the rule
// gives; zarvo.html?fps=display follows every refresh. Prints the frames per second and the
// browser's CPU use of each run. Where the system permits it (chrt), the browser runs at a
// real-time priority, so that other work on a busy machine does not make the page's timers, and
// with them the frame clock, miss refreshes: the test measures the pace the page keeps, not the
// machine's load.
//
//   node --experimental-websocket tests/web/web_pace.mjs BUILD_WEB [--seconds N]
// BUILD_WEB holds zarvo.html, zarvo.js, zarvo.wasm and Zarvo.xm; --seconds: the measured part
// of each run (default 6).
import { Browser, sleep } from './cdp.mjs';
import { serve } from './static_server.mjs';
import { spawnSync } from 'node:child_process';
import { chmodSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const args = process.argv.slice(2);
let seconds = 6;
const secondsAt = args.indexOf('--seconds');
if (secondsAt >= 0) { seconds = Number(args[secondsAt + 1]); args.splice(secondsAt, 2); }
const [buildDir] = args;
if (!buildDir) {
  console.error('usage: web_pace.mjs BUILD_WEB [--seconds N]');
  process.exit(2);
}

let failures = 0;
function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) { ++failures; }
}

// Animation frames at `hz`, on a fixed grid of the page's clock, with the grid's time as the
// frame's timestamp, as a display of that refresh gives them. The page's timers are coarse
// (whole milliseconds, some late under load): a timer up to a refresh late still stands for the
// refresh it waited for; a page busy for longer misses refreshes, as on a real display.
const frameClock = (hz) => `(() => {
  const period = 1000 / ${hz};
  const origin = performance.now();
  let callbacks = new Map();
  let nextId = 1;
  let timer = 0;
  let last = -1; // the last refresh delivered, counted from the origin
  const schedule = () => {
    if (timer || callbacks.size === 0) { return; }
    const now = performance.now();
    const next = origin + (Math.max(last, Math.floor((now - origin) / period)) + 1) * period;
    timer = setTimeout(tick, Math.max(0, next - now));
  };
  const tick = () => {
    timer = 0;
    const now = (performance.now() - origin) / period;
    const index = Math.max(last + 1, Math.floor(now));
    if (index > now + 0.5) { schedule(); return; } // fired well before its refresh
    last = index;
    const time = origin + index * period;
    const due = callbacks;
    callbacks = new Map();
    due.forEach((callback) => callback(time));
    schedule();
  };
  window.requestAnimationFrame = (callback) => { callbacks.set(nextId, callback); schedule(); return nextId++; };
  window.cancelAnimationFrame = (id) => { callbacks.delete(id); };
})();`;

// One run: the page on a display of `hz` (null: the browser's own frames), silent, measured
// over `seconds` of the main phase. Returns the page's figures.
async function run(browser, server, hz, query, expectedPace, what) {
  console.log(`== ${what}`);
  const page = await browser.newPage();
  if (hz) { await page.beforePage(frameClock(hz)); }
  await page.goto(server.url + 'zarvo.html' + query);
  await page.waitFor("typeof ZarvoPage === 'object' && !document.getElementById('setup').hidden", 30000, 'the first screen');
  await page.click('#silent');
  await page.waitFor('ZarvoPage.stats.turns > 0', 10000, 'the light\'s first turn');
  await sleep(1000);
  const sample = "[performance.now(), ZarvoPage.stats.turns, ZarvoPage.stats.frames, ZarvoPage.stats.refreshRate, ZarvoPage.stats.paceRefreshes]";
  const begin = await page.evaluate(sample);
  const cpuBegin = browser.cpuSeconds();
  await sleep(seconds * 1000);
  const end = await page.evaluate(sample);
  const cpuEnd = browser.cpuSeconds();
  const span = (end[0] - begin[0]) / 1000;
  const turns = (end[1] - begin[1]) / span;
  const fps = (end[2] - begin[2]) / span;
  const cpu = (cpuEnd - cpuBegin) / span;
  const refresh = end[3];
  const plan = end[4] > 0 ? `${end[4]} refresh(es) a picture at ${refresh.toFixed(1)} Hz` : 'by the timer';
  console.log(`   ${fps.toFixed(1)} frames and ${turns.toFixed(2)} turns of the light a second (${plan}) over ${span.toFixed(1)} s; the browser's CPU ${(cpu * 100).toFixed(0)} % of one core`);
  check(Math.abs(refresh - (hz ?? 60)) < (hz ?? 60) * 0.01, `the page measured the display's ${hz ?? 60} Hz (${refresh.toFixed(2)} Hz)`);
  check(Math.abs(turns - expectedPace) <= expectedPace * 0.02, `the light turns ${turns.toFixed(2)} times a second: ${expectedPace} within 2 %`);
  await page.press('Escape');
  await page.waitFor('ZarvoPage.stats.exitCode === 0', 5000, 'the end of the show');
  const errors = page.console.filter((m) => m.type === 'error' || m.type === 'exception');
  check(errors.length === 0, `no error on the console${errors.length ? ': ' + errors.map((e) => e.text).join(' | ') : ''}`);
  page.close();
  return { fps, cpu };
}

// The browser, started through chrt where that is permitted.
const chromium = process.env.ZARVO_CHROMIUM || 'chromium';
const wrapperDir = mkdtempSync(join(tmpdir(), 'zarvo-pace-'));
let executable = chromium;
if (spawnSync('chrt', ['-f', '10', 'true']).status === 0) {
  executable = join(wrapperDir, 'chromium');
  writeFileSync(executable, `#!/bin/sh\nexec chrt -f 10 ${JSON.stringify(chromium)} "$@"\n`);
  chmodSync(executable, 0o755);
} else {
  console.log('note: no real-time priority here (chrt); a busy machine may make frames miss refreshes');
}
const server = await serve(buildDir);
const browser = await Browser.start(executable);
try {
  // The browser's own frames: headless Chromium makes them at 60 a second, which the show keeps.
  await run(browser, server, null, '', 60, 'the browser\'s own refresh (60 Hz)');
  await run(browser, server, 120, '', 60, 'a 120 Hz display: every second refresh');
  await run(browser, server, 144, '', 72, 'a 144 Hz display: every second refresh, 72 a second');
  await run(browser, server, 144, '?fps=display', 144, 'a 144 Hz display with fps=display: every refresh');
} catch (error) {
  check(false, error.stack);
} finally {
  await browser.close();
  server.close();
  rmSync(wrapperDir, { recursive: true, force: true });
}
console.log(failures === 0 ? 'all pace checks passed' : `${failures} pace check(s) failed`);
process.exit(failures === 0 ? 0 : 1);
