// The web page end to end in headless Chromium, driven as a person would, and its figures.
//
//   node --experimental-websocket tests/web/web_e2e.mjs BUILD_WEB [CAPTURE MODULE] [--seconds N]
// BUILD_WEB holds zarvo.html, zarvo.js, zarvo.wasm and Zarvo.xm; CAPTURE is zarvo-capture (with
// MODULE, the same Zarvo.xm), whose pictures the page's must equal cell for cell within one
// step; without them that comparison is skipped (and said so). --seconds: the length of the
// measured run, from the click that starts the show (default 60): the frame rate over it and the
// CPU time of all the browser's processes.
// Scenarios: play with sound (opening title, the scene with "Zarvo!", a caption at its time,
// a hidden tab and lost focus, Escape ends the show, and the figures); no sound (the clock
// runs); no WebAudio, a sound output that never runs, no WebAssembly (the page says so); the
// module missing (its message, exactly); Cancel (the configuration message, exactly).
import { Browser, sleep } from './cdp.mjs';
import { CaptureMatcher, compareCells } from './capture_match.mjs';
import { serve } from './static_server.mjs';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { gzipSync } from 'node:zlib';

const args = process.argv.slice(2);
let seconds = 60;
const secondsAt = args.indexOf('--seconds');
if (secondsAt >= 0) { seconds = Number(args[secondsAt + 1]); args.splice(secondsAt, 2); }
const [buildDir, capture, module] = args;
if (!buildDir) {
  console.error('usage: web_e2e.mjs BUILD_WEB [CAPTURE MODULE] [--seconds N]');
  process.exit(2);
}

let failures = 0;
function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) { ++failures; }
}

const kModuleMessage = /^Sceners: MIDASloadModule\(\) failed \((.+)\)\.\r\nLamers: The module 'Zarvo\.xm' is missing or corrupt\.$/;
const kConfigMessage = 'Sceners: MIDASconfig() failed (Sound setup cancelled by the user).\r\nLamers: You pressed something inappropriate...';

// Pictures: white text pixels in a box, and whether rows are black, in a snapshot's RGB bytes.
function whiteIn(rgb, x0, x1, y0, y1) {
  let count = 0;
  for (let y = y0; y < y1; ++y) {
    for (let x = x0; x < x1; ++x) {
      const i = (y * 320 + x) * 3;
      if (Math.min(rgb[i], rgb[i + 1], rgb[i + 2]) > 200) { ++count; }
    }
  }
  return count;
}
function blackRows(rgb, y0, y1) {
  return rgb.subarray(y0 * 960, y1 * 960).every((v) => v === 0);
}
const decode = (snapshot) => Buffer.from(snapshot.rgb, 'base64');

async function openPage(browser, url, before = null) {
  const page = await browser.newPage();
  if (before) { await page.beforePage(before); }
  await page.goto(url);
  await page.waitFor("typeof ZarvoPage === 'object' && !document.getElementById('setup').hidden", 30000, 'the first screen');
  return page;
}

// Keeps, inside the page, the first opening picture and the first scene picture as they went up.
const kKeepFirstPictures = `(() => {
  const shown = ZarvoPage.frameShown;
  window.zarvoSeen = { opening: null, scene: null };
  ZarvoPage.frameShown = function (sync, turns) {
    shown(sync, turns);
    if (turns < 0 && !zarvoSeen.opening) { zarvoSeen.opening = ZarvoPage.snapshot(); }
    if (turns >= 0 && !zarvoSeen.scene) { zarvoSeen.scene = ZarvoPage.snapshot(); }
  };
  return true;
})()`;

async function withSound(browser, server) {
  console.log('== play with sound');
  const page = await openPage(browser, server.url + 'zarvo.html');
  await page.evaluate(kKeepFirstPictures);
  const cpuStart = browser.cpuSeconds();
  await page.click('#play');
  await page.waitFor('zarvoSeen.scene', 10000, 'the first scene picture');
  const seen = await page.evaluate('zarvoSeen');
  const stats = await page.evaluate('ZarvoPage.stats');
  check(stats.audioDevice === true, 'the music plays through WebAudio');
  if (seen.opening) {
    const rgb = decode(seen.opening);
    check(whiteIn(rgb, 40, 280, 85, 115) > 20 && blackRows(rgb, 120, 200), `the opening title over black (sync ${seen.opening.syncCount})`);
  } else {
    check(false, 'the opening title was shown');
  }
  const scene = decode(seen.scene);
  check(blackRows(scene, 20, 80) && !blackRows(scene, 150, 200), 'then the scene: a black sky over the lit floor');
  check(whiteIn(scene, 120, 200, 85, 112) > 20, 'with the title "Zarvo!" above the sphere');
  // Pictures to compare with the capture's: the title over the scene, and the first caption.
  await page.waitFor('ZarvoPage.stats.syncCount >= 40', 10000, 'sync 40');
  const titled = await page.evaluate('ZarvoPage.snapshot()');
  console.log(`   waiting for the first caption (sync 256, about ${Math.round((256 - titled.syncCount) / 20)} s)`);
  await page.waitFor('ZarvoPage.stats.syncCount >= 260', 30000, 'the first caption');
  const captioned = await page.evaluate('ZarvoPage.snapshot()');
  check(captioned.syncCount >> 7 === 2 && whiteIn(decode(captioned), 0, 160, 0, 20) > 20,
    `a caption at the top left at its time (sync ${captioned.syncCount})`);
  // The measured run: `seconds` from the click, the browser's CPU time over all of it and the
  // frame rate from the first picture on.
  await sleep(Math.max(0, seconds * 1000 - (await page.evaluate('performance.now()') - stats.choiceTime)));
  const end = await page.evaluate('[performance.now(), ZarvoPage.stats.frames, ZarvoPage.stats.syncCount]');
  const cpuEnd = browser.cpuSeconds();
  const figures = {
    firstPicture: stats.firstPicture - stats.choiceTime,
    span: (end[0] - stats.choiceTime) / 1000,
    fps: (end[1] - 1) / ((end[0] - stats.firstPicture) / 1000),
    cpu: (cpuEnd - cpuStart) / ((end[0] - stats.choiceTime) / 1000),
  };
  check(end[2] > seen.scene.syncCount, 'the clock ran through the measured run');
  const peak = await page.evaluate('ZarvoPage.stats.peak');
  check(peak > 0.1, `WebAudio was given the music (peak level ${peak.toFixed(2)})`);
  // A hidden tab, like a window without focus, pauses music and show together; coming back
  // goes on from there.
  const holds = async (what) => {
    await sleep(300);
    const paused = await page.evaluate('[ZarvoPage.stats.syncCount, ZarvoPage.stats.frames, ZarvoPage.stats.renderedFrames]');
    await sleep(1000);
    const still = await page.evaluate('[ZarvoPage.stats.syncCount, ZarvoPage.stats.frames, ZarvoPage.stats.renderedFrames]');
    check(still.every((value, i) => value === paused[i]), `${what} holds the clock, the pictures and the sound (sync ${still[0]})`);
    return still;
  };
  const goesOn = async (still, what) => {
    await page.waitFor(`ZarvoPage.stats.syncCount > ${still[0]} && ZarvoPage.stats.frames > ${still[1]}`, 5000, what);
    check(true, what);
  };
  const other = await browser.newPage();
  check(await page.evaluate('document.hidden'), 'another tab hides the page');
  let still = await holds('a hidden page');
  await browser.activate(page);
  await goesOn(still, 'back in front: the show goes on');
  other.close();
  await page.evaluate("window.dispatchEvent(new Event('blur'))");
  still = await holds('a page without focus');
  await page.evaluate("window.dispatchEvent(new Event('focus'))");
  await goesOn(still, 'focus back: the show goes on');
  await page.press('Escape');
  await page.waitFor('ZarvoPage.stats.exitCode !== null', 5000, 'the end of the show');
  const ended = await page.evaluate("[ZarvoPage.stats.exitCode, !document.getElementById('ended').hidden, document.getElementById('stage').hidden]");
  check(ended[0] === 0 && ended[1] && ended[2], 'Escape ends the show: exit code 0, the picture gone, the end said');
  const errors = page.console.filter((m) => m.type === 'error' || m.type === 'exception');
  check(errors.length === 0, `no error on the console${errors.length ? ': ' + errors.map((e) => e.text).join(' | ') : ''}`);
  page.close();
  return { figures, shots: [['the scene with its title', titled], ['the caption', captioned]] };
}

// The page's pictures against the capture's at the same sync count and light turns.
function compareWithCapture(matcher, shots) {
  console.log('== the same pictures as zarvo-capture');
  for (const [name, shot] of shots) {
    try {
      const reference = matcher.picture(shot.syncCount, shot.turns);
      const { worst, differing } = compareCells(decode(shot), reference.rgb);
      check(worst <= 1, `${name}: traced cells at sync ${shot.syncCount}, turn ${shot.turns} equal the capture's (${reference.fps} fps) within one step (largest difference ${worst}, ${differing} of 4000 cells differ)`);
    } catch (error) {
      check(false, `${name}: ${error.message}`);
    }
  }
}

async function withoutSound(browser, server) {
  console.log('== no sound');
  const page = await openPage(browser, server.url + 'zarvo.html');
  await page.click('#silent');
  await page.waitFor('ZarvoPage.stats.frames > 0', 10000, 'the first picture');
  const before = await page.evaluate('ZarvoPage.stats.syncCount');
  await sleep(2000);
  const stats = await page.evaluate('ZarvoPage.stats');
  check(stats.audioDevice === false && stats.renderedFrames > 0, 'no WebAudio output; the music is rendered silently');
  check(stats.syncCount >= before + 30, `the clock still runs (sync ${before} -> ${stats.syncCount} in 2 s)`);
  await page.press('Escape');
  await page.waitFor('ZarvoPage.stats.exitCode === 0', 5000, 'the end of the show');
  page.close();
}

// A browser without WebAudio: the first screen says the music will be silent, and it is.
async function withoutWebAudio(browser, server) {
  console.log('== a browser without WebAudio');
  const page = await openPage(browser, server.url + 'zarvo.html', 'delete window.AudioContext; delete window.webkitAudioContext;');
  check(await page.evaluate("!document.getElementById('no-audio').hidden"), 'the first screen says the music will play silently');
  await page.click('#play');
  await page.waitFor('ZarvoPage.stats.syncCount >= 10', 5000, 'the clock');
  check(page.console.some((m) => m.text === 'zarvo: this browser has no WebAudio; the music plays silently.'), 'and the console says why');
  await page.press('Escape');
  await page.waitFor('ZarvoPage.stats.exitCode === 0', 5000, 'the end of the show');
  page.close();
}

// A sound output that never asks for samples (Firefox without a sound server does this): after
// a moment the music goes on silently and the show's clock with it.
async function stalledSoundOutput(browser, server) {
  console.log('== a sound output that never runs');
  const stall = `const make = AudioContext.prototype.createScriptProcessor;
    AudioContext.prototype.createScriptProcessor = function (...args) {
      const node = make.apply(this, args);
      Object.defineProperty(node, 'onaudioprocess', { set() {}, get() { return null; } });
      return node;
    };`;
  const page = await openPage(browser, server.url + 'zarvo.html', stall);
  await page.click('#play');
  await page.waitFor('ZarvoPage.stats.syncCount >= 10', 8000, 'the clock, on the timer');
  check(page.console.some((m) => /^zarvo: the browser's sound output does not run \(\w+\); the music plays silently\.$/.test(m.text)),
    'the clock runs on without the sound output, and the console says why');
  await page.press('Escape');
  await page.waitFor('ZarvoPage.stats.exitCode === 0', 5000, 'the end of the show');
  page.close();
}

// A browser without WebAssembly: the page says so and loads nothing.
async function withoutWebAssembly(browser, server) {
  console.log('== a browser without WebAssembly');
  const page = await browser.newPage();
  await page.beforePage('delete window.WebAssembly;');
  await page.goto(server.url + 'zarvo.html');
  await page.waitFor("document.readyState === 'complete'", 10000, 'the page');
  const state = await page.evaluate("[!document.getElementById('unsupported').hidden, document.getElementById('unsupported').textContent, typeof ZarvoPage]");
  check(state[0] && state[1].includes('it has no WebAssembly') && state[2] === 'undefined', 'the page says the browser has no WebAssembly, and loads nothing');
  page.close();
}

async function dialogScenario(browser, url, button, expect, what) {
  console.log(`== ${what}`);
  const page = await openPage(browser, url);
  if (button === 'Escape') { await page.press('Escape'); } else { await page.click(button); }
  await page.waitFor("!document.getElementById('dialog').hidden", 10000, 'the message box');
  const box = await page.evaluate("[document.getElementById('dialog-caption').textContent, ZarvoPage.stats.message]");
  check(box[0] === 'Error', 'the box is captioned "Error"');
  check(expect(box[1]), `its text: ${JSON.stringify(box[1])}`);
  const logged = page.console.some((m) => m.text === 'Error: ' + box[1]);
  check(logged, 'the same text on the console');
  await page.press('Enter');
  await page.waitFor('ZarvoPage.stats.exitCode === 0', 5000, 'the end after OK');
  check(await page.evaluate('ZarvoPage.stats.frames') === 0, 'no picture was shown');
  page.close();
}

function pageSize() {
  let raw = 0;
  let packed = 0;
  const sizes = [];
  for (const name of ['zarvo.html', 'zarvo.js', 'zarvo.wasm', 'Zarvo.xm', 'zarvo.ico']) {
    const data = readFileSync(join(buildDir, name));
    const gz = gzipSync(data, { level: 9 }).length;
    raw += data.length;
    packed += gz;
    sizes.push(`${name} ${(gz / 1024).toFixed(0)} KiB`);
  }
  return { raw, packed, sizes };
}

const server = await serve(buildDir);
const missing = await serve(buildDir, new Set(['Zarvo.xm']));
const browser = await Browser.start();
let matcher = null;
let figures = null;
try {
  const played = await withSound(browser, server);
  figures = played.figures;
  if (capture && module) {
    matcher = new CaptureMatcher(capture, module, 20);
    compareWithCapture(matcher, played.shots);
  } else {
    console.log('   (no zarvo-capture given: the comparison with the capture is skipped)');
  }
  await withoutSound(browser, server);
  await withoutWebAudio(browser, server);
  await stalledSoundOutput(browser, server);
  await withoutWebAssembly(browser, server);
  await dialogScenario(browser, missing.url + 'zarvo.html', '#play', (text) => kModuleMessage.test(text), 'the module missing');
  await dialogScenario(browser, server.url + 'zarvo.html', '#cancel', (text) => text === kConfigMessage, 'Cancel');
  await dialogScenario(browser, server.url + 'zarvo.html', 'Escape', (text) => text === kConfigMessage, 'Escape on the first screen cancels');
} catch (error) {
  check(false, error.stack);
} finally {
  await browser.close();
  server.close();
  missing.close();
  if (matcher) { matcher.close(); }
}

const size = pageSize();
console.log('== figures');
console.log(`page download: ${(size.raw / 1048576).toFixed(2)} MiB, ${(size.packed / 1048576).toFixed(2)} MiB with gzip (${size.sizes.join(', ')})`);
if (figures) {
  console.log(`click to first picture: ${figures.firstPicture.toFixed(0)} ms`);
  console.log(`a ${figures.span.toFixed(0)}-second run: ${figures.fps.toFixed(1)} frames per second, the browser's CPU use ${(figures.cpu * 100).toFixed(0)} % of one core`);
}
console.log(failures === 0 ? 'all web checks passed' : `${failures} web check(s) failed`);
process.exit(failures === 0 ? 0 : 1);
