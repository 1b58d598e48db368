// The study mode of the web page in headless Chromium, driven as a person would: the first
// screen's Study button starts the page again with ?study; Space pauses (no picture goes up),
// '.' and ',' step (the stills' frame numbers follow), Home and Right three times reach the third
// caption, F1 and g change the canvas but not the still, and the still equals zarvo-capture's
// frame of that number cell for cell within one step.
//
//   node --experimental-websocket tests/web/web_study.mjs BUILD_WEB CAPTURE MODULE
import { Browser, sleep } from './cdp.mjs';
import { compareCells } from './capture_match.mjs';
import { serve } from './static_server.mjs';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readFileSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';

const [buildDir, capture, module] = process.argv.slice(2);
if (!buildDir || !capture || !module) {
  console.error('usage: web_study.mjs BUILD_WEB CAPTURE MODULE');
  process.exit(2);
}

let failures = 0;
function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) { ++failures; }
}

// "still-001534.png: sync count 512, frame 1534" as numbers.
function parseLine(line) {
  const match = /^still-\d+\.png: sync count (\d+), frame (\d+)$/.exec(line || '');
  return match ? { sync: Number(match[1]), frame: Number(match[2]) } : { sync: -1, frame: -1 };
}

// The capture's picture of frame n as RGB bytes, and the sync count it was drawn at.
function capturedFrame(frame) {
  const folder = mkdtempSync(join(tmpdir(), 'zarvo-study-capture-'));
  try {
    const start = ((frame - 0.5) / 60).toFixed(6);
    const run = spawnSync(capture, ['--module', module, '--out', join(folder, 'out'), '--start', start,
      '--max-seconds', '0.01', '--quiet'], { encoding: 'utf8' });
    if (run.status !== 0) { throw new Error(`zarvo-capture failed: ${run.stderr}`); }
    const sync = Number(readFileSync(join(folder, 'out', 'frames.csv'), 'utf8').split('\n')[1].split(',')[1]);
    const rgb = spawnSync('convert', [join(folder, 'out', 'frames', '000000.png'), '-depth', '8', 'rgb:-'],
      { maxBuffer: 1 << 24 }).stdout;
    return { sync, rgb };
  } finally {
    rmSync(folder, { recursive: true, force: true });
  }
}

async function keys(page, ...names) {
  for (const name of names) {
    await page.press(name);
    await sleep(250);
  }
}

const stills = async (page) => page.evaluate('ZarvoPage.stats.stills');
const server = await serve(buildDir);
const browser = await Browser.start();
try {
  const page = await browser.newPage();
  await page.goto(server.url + 'zarvo.html');
  const firstScreen = "typeof ZarvoPage === 'object' && !document.getElementById('setup').hidden";
  await page.waitFor(firstScreen, 30000, 'the first screen');
  await page.click('#study');
  await page.waitFor(`location.search.includes('study') && ${firstScreen}`, 30000, 'the first screen again, with ?study');
  check(await page.evaluate("document.getElementById('study').disabled"), 'the Study button says the page is in study mode');
  await page.click('#silent');
  await page.waitFor('ZarvoPage.stats.turns > 100', 20000, 'the show under way');

  await keys(page, ' ');
  const frames = await page.evaluate('ZarvoPage.stats.frames');
  await sleep(800);
  check(await page.evaluate('ZarvoPage.stats.frames') === frames, 'Space pauses: no picture went up for 0.8 s');

  await keys(page, 's', '.', 's', ',', ',', 's');
  const [first, forward, back] = (await stills(page)).map((still) => parseLine(still.line));
  check(first.frame > 0 && forward.frame === first.frame + 1 && back.frame === first.frame - 1,
    `'.' and ',' step: frames ${first.frame}, ${forward.frame}, ${back.frame}`);

  await keys(page, 'Home', 'ArrowRight', 'ArrowRight', 'ArrowRight', 's');
  const seek = (await stills(page))[3];
  const at = parseLine(seek.line);
  check(at.sync >> 7 === 4, `Home and Right three times reach the third caption: ${seek.line}`);

  const plain = (await page.evaluate('ZarvoPage.snapshot()')).rgb;
  await keys(page, 'F1', 'g');
  const shown = (await page.evaluate('ZarvoPage.snapshot()')).rgb;
  await keys(page, 's');
  check(shown !== plain, 'F1 and g change the picture on the canvas');
  check((await stills(page))[4].rgb === seek.rgb, 'the still stays the show\'s picture under the overlays');

  const captured = capturedFrame(at.frame);
  check(captured.sync === at.sync, `the capture draws frame ${at.frame} at sync count ${captured.sync}`);
  // The page traces on the portable path and the capture maybe on another: each within one step
  // of the reference tracer, so the traced cells within one step of each other's and the
  // enlargement's averages between them within two.
  const still = Buffer.from(seek.rgb, 'base64');
  const { worst } = compareCells(still, captured.rgb);
  let pixels = 0;
  for (let i = 0; i < still.length; ++i) { pixels = Math.max(pixels, Math.abs(still[i] - captured.rgb[i])); }
  check(still.length === 320 * 200 * 3 && captured.rgb.length === still.length && worst <= 1 && pixels <= 2,
    `the still is the capture's frame ${at.frame}: cells within one step (${worst}), pixels within two (${pixels})`);

  await keys(page, 'g', 'F1', ' ');
  await page.waitFor(`ZarvoPage.stats.frames > ${frames + 30}`, 5000, 'pictures again after Space');
  await page.press('Escape');
  await page.waitFor('ZarvoPage.stats.exitCode === 0', 5000, 'the end of the show');
  const errors = page.console.filter((m) => m.type === 'error' || m.type === 'exception');
  check(errors.length === 0, `no error on the console${errors.length ? ': ' + errors.map((e) => e.text).join(' | ') : ''}`);
  page.close();
} catch (error) {
  check(false, error.stack);
} finally {
  await browser.close();
  server.close();
}
console.log(failures === 0 ? 'all study checks passed' : `${failures} study check(s) failed`);
process.exit(failures === 0 ? 0 : 1);
