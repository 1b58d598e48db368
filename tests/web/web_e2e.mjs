// The web page end to end in headless Chromium, driven as a person would, and its figures.
//
//   node --experimental-websocket tests/web/web_e2e.mjs BUILD_WEB [CAPTURE MODULE] [--seconds N]
// BUILD_WEB holds zarvo.html, zarvo.js, zarvo.wasm and Zarvo.xm (each with its .gz); CAPTURE is
// zarvo-capture (with MODULE, the same Zarvo.xm), whose pictures the page's must equal cell for
// cell within one step; without them that comparison is skipped (and said so). --seconds: the
// length of the measured run, from the click that starts the show (default 60): the frame rate
// over it and the CPU time of all the browser's processes.
// Scenarios: play with sound from tools/serve-web.sh (the compressed transfer, the first screen's
// question in the program's face, the opening title, the scene with "Zarvo!", a caption at its
// time, the music through the AudioWorklet with no deprecation said, a hidden tab and lost focus,
// Escape ends the show, and the figures); no sound (the clock runs); no AudioWorklet (the
// ScriptProcessor plays, and the browser says it is deprecated); no WebAudio, a sound output that
// never runs, no WebAssembly, the page opened as a file (the page says so); a phone held
// sideways (the hints, a tap starts, the picture fills the screen's height, a double tap takes
// the screen, a long press and going back leave); a module missing (reported at once with its
// own name, exactly); Cancel (the configuration message, exactly).
import { Browser, sleep } from './cdp.mjs';
import { CaptureMatcher, compareCells } from './capture_match.mjs';
import { serve } from './static_server.mjs';
import { spawn } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';

const kPageFiles = ['zarvo.html', 'zarvo.js', 'zarvo.wasm', 'Zarvo.xm', 'zarvo.ico'];
const kServeWeb = join(dirname(fileURLToPath(import.meta.url)), '..', '..', 'tools', 'serve-web.sh');
const kQuestion = 'Play the music through the default sound output?';

const args = process.argv.slice(2);
let seconds = 60;
const secondsAt = args.indexOf('--seconds');
if (secondsAt >= 0) { seconds = Number(args[secondsAt + 1]); args.splice(secondsAt, 2); }
const [buildArg, capture, module] = args;
const buildDir = buildArg ? resolve(buildArg) : buildArg;
if (!buildDir) {
  console.error('usage: web_e2e.mjs BUILD_WEB [CAPTURE MODULE] [--seconds N]');
  process.exit(2);
}

let failures = 0;
function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) { ++failures; }
}

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

// tools/serve-web.sh on a free port, serving `folder`.
async function serveWeb(folder) {
  const child = spawn('bash', [kServeWeb, '0', folder], { stdio: ['ignore', 'pipe', 'ignore'] });
  const url = await new Promise((resolvePort, reject) => {
    let text = '';
    const timer = setTimeout(() => reject(new Error('tools/serve-web.sh did not start: ' + text)), 10000);
    child.stdout.on('data', (chunk) => {
      text += chunk;
      const match = /open (http:\/\/127\.0\.0\.1:\d+\/)zarvo\.html/.exec(text);
      if (match) { clearTimeout(timer); resolvePort(match[1]); }
    });
    child.on('exit', (code) => reject(new Error(`tools/serve-web.sh ended (${code}): ${text}`)));
  });
  return { url, close: () => child.kill('SIGTERM') };
}

// What the network carried of the page's own files, by name: bytes and content encoding.
function pageTransfer(page) {
  const files = new Map();
  for (const record of page.network.values()) {
    const name = new URL(record.url).pathname.replace(/^\//, '');
    if (kPageFiles.includes(name) && record.status === 200) { files.set(name, record); }
  }
  return files;
}
const size = (name) => readFileSync(join(buildDir, name)).length;
const mib = (bytes) => `${(bytes / 1048576).toFixed(2)} MiB`;

// The first screen: the program's question, the hints of a keyboard and mouse, in the face
// the program draws its own texts with (which the canvas measures otherwise than the fallback).
async function checkFirstScreen(page) {
  const screen = await page.evaluate(`(() => {
    const shown = (id) => !document.getElementById(id).hidden;
    const face = [...document.fonts].find((f) => f.family.replace(/"/g, '') === 'Zarvo Face');
    const measure = (font) => { const c = document.createElement('canvas').getContext('2d'); c.font = font; return c.measureText('Zarvo: sound setup').width; };
    return { question: document.getElementById('setup-question').textContent,
      buttons: [...document.querySelectorAll('#setup button')].map((b) => b.textContent),
      keys: shown('hint-keys') ? document.getElementById('hint-keys').textContent : null, touch: shown('hint-touch'),
      face: face ? face.status : 'none', family: getComputedStyle(document.getElementById('setup-question')).fontFamily,
      own: measure('16px "Zarvo Face", monospace'), fallback: measure('16px monospace') };
  })()`);
  check(screen.question === kQuestion && screen.buttons.join('|') === 'Default output|No sound|Cancel|Study',
    `the first screen asks the dialogs' question: "${screen.question}" [${screen.buttons.join('] [')}]`);
  check(screen.keys !== null && /Enter: default output, N: no sound, Escape: cancel/.test(screen.keys) && !screen.touch,
    'with the keys to answer it, and no talk of taps');
  check(screen.face === 'loaded' && screen.family.startsWith('"Zarvo Face"') && screen.own !== screen.fallback,
    `in the program's own face (${screen.face}; ${screen.own.toFixed(1)} px wide where the fallback is ${screen.fallback.toFixed(1)})`);
}

async function withSound(browser, server) {
  console.log('== play with sound, from tools/serve-web.sh');
  const page = await openPage(browser, server.url + 'zarvo.html');
  await checkFirstScreen(page);
  const transfer = pageTransfer(page);
  const sent = [...transfer.values()].reduce((sum, record) => sum + record.bytes, 0);
  const raw = [...transfer.keys()].reduce((sum, name) => sum + size(name), 0);
  const packed = [...transfer.keys()].reduce((sum, name) => sum + size(name + '.gz'), 0);
  const plain = [...transfer.entries()].filter(([, record]) => record.encoding !== 'gzip').map(([name]) => name);
  check(['zarvo.html', 'zarvo.js', 'zarvo.wasm', 'Zarvo.xm'].every((name) => transfer.has(name)) && plain.length === 0,
    `every file of the page came compressed (gzip: ${[...transfer.keys()].join(', ')}${plain.length ? '; plain: ' + plain.join(', ') : ''})`);
  check(sent < raw / 2 && sent <= packed + 1024 * transfer.size,
    `the page travelled as ${mib(sent)} for ${mib(raw)} of files (the .gz files: ${mib(packed)})`);
  await page.evaluate(kKeepFirstPictures);
  const cpuStart = browser.cpuSeconds();
  await page.click('#play');
  await page.waitFor('zarvoSeen.scene', 10000, 'the first scene picture');
  const seen = await page.evaluate('zarvoSeen');
  const stats = await page.evaluate('ZarvoPage.stats');
  check(stats.audioDevice === true && stats.audioPath === 'worklet', `the music plays through WebAudio's AudioWorklet (${stats.audioPath})`);
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
  const sound = await page.evaluate('ZarvoPage.stats');
  check(sound.peak > 0.1 && sound.audioPath === 'worklet', `the worklet was given the music (peak level ${sound.peak.toFixed(2)}, ${sound.audioGaps} frames short)`);
  figures.gaps = sound.audioGaps;
  figures.transfer = sent;
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
  const deprecations = page.console.filter(isDeprecation);
  check(deprecations.length === 0, `no deprecation warning${deprecations.length ? ': ' + deprecations.map((e) => e.text).join(' | ') : ''}`);
  page.close();
  return { figures, shots: [['the scene with its title', titled], ['the caption', captioned]] };
}

const isDeprecation = (m) => m.source === 'deprecation' || /deprecat/i.test(m.text);

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
  const transfer = pageTransfer(page);
  page.close();
  return [...transfer.values()].reduce((sum, record) => sum + record.bytes, 0);
}

// A browser without AudioWorklet (or a page not served from a secure origin, where browsers hide
// it): the ScriptProcessor plays the music, and the browser then says that it is deprecated.
async function withoutAudioWorklet(browser, server) {
  console.log('== a browser without AudioWorklet');
  const page = await openPage(browser, server.url + 'zarvo.html', 'delete window.AudioWorkletNode;');
  await page.click('#play');
  await page.waitFor('ZarvoPage.stats.peak > 0.1', 10000, 'the music');
  const stats = await page.evaluate('ZarvoPage.stats');
  check(stats.audioDevice && stats.audioPath === 'script-processor', `the ScriptProcessor plays it (${stats.audioPath}, peak level ${stats.peak.toFixed(2)})`);
  check(page.console.some(isDeprecation), 'and the browser warns of its deprecation, as the AudioWorklet run must not');
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
  const stall = `const Real = window.AudioContext;
    window.AudioContext = function (options) {
      const context = new Real(options);
      context.suspend();
      context.resume = () => Promise.resolve();
      return context;
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

// Opened from the file manager: the page says how to open it, and loads nothing.
async function fromFile(browser) {
  console.log('== the page opened as a file');
  const page = await browser.newPage();
  await page.goto('file://' + join(buildDir, 'zarvo.html'));
  await page.waitFor("document.readyState === 'complete'", 10000, 'the page');
  await sleep(500);
  const state = await page.evaluate(`[!document.getElementById('from-file').hidden, document.getElementById('from-file').innerText,
    document.getElementById('loading').hidden, typeof ZarvoPage, [...document.scripts].some((s) => /zarvo\.js$/.test(s.src))]`);
  check(state[0] && state[2] && /tools\/serve-web\.sh/.test(state[1]) && /any static web server/.test(state[1]),
    'the page says it must be served, with tools/serve-web.sh or any static web server');
  check(state[3] === 'undefined' && !state[4], 'and loads nothing');
  page.close();
}

// A module that cannot be fetched is reported at once, before the sound question, in the
// program's form for a module it cannot load and with the name it was asked by.
async function moduleMissing(browser, url, name, reason) {
  console.log(`== the module ${name} missing`);
  const page = await browser.newPage();
  await page.goto(url);
  await page.waitFor("typeof ZarvoPage === 'object' && !document.getElementById('dialog').hidden", 30000, 'the message box');
  const box = await page.evaluate("[document.getElementById('dialog-caption').textContent, ZarvoPage.stats.message, document.getElementById('setup').hidden, ZarvoPage.stats.choice]");
  const expected = `Sceners: MIDASloadModule() failed (Unable to open file '${name}': ${reason}).\r\nLamers: The module '${name}' is missing or corrupt.`;
  check(box[0] === 'Error' && box[1] === expected, `the box "Error": ${JSON.stringify(box[1])}`);
  check(box[2] && box[3] === null, 'before any sound question');
  check(page.console.some((m) => m.text === 'Error: ' + expected), 'the same text on the console');
  await page.press('Enter');
  await page.waitFor('ZarvoPage.stats.exitCode === 0', 5000, 'the end after OK');
  check(await page.evaluate('ZarvoPage.stats.frames === 0 && !document.getElementById("ended").hidden'), 'no picture was shown; the page says the show has ended');
  page.close();
}

// A phone held sideways: the hints speak of taps, a tap starts, the picture fills the screen's
// height at 4:3 between black sides, a double tap takes the whole screen and gives it back, a
// long press leaves the show; on another run, going back leaves it.
async function onAPhone(browser, server) {
  console.log('== a phone held sideways (844x390, touch)');
  const open = async () => {
    const page = await browser.newPage();
    await page.emulatePhone();
    await page.goto(server.url + 'zarvo.html');
    await page.waitFor("typeof ZarvoPage === 'object' && !document.getElementById('setup').hidden", 30000, 'the first screen');
    return page;
  };
  let page = await open();
  const hints = await page.evaluate(`[document.getElementById('hint-touch').hidden ? null : document.getElementById('hint-touch').innerText,
    document.getElementById('hint-keys').hidden, document.getElementById('setup').innerText]`);
  check(hints[0] !== null && /double tap/.test(hints[0]) && /long press/.test(hints[0]) && hints[1] && !/Escape|click|Enter/.test(hints[2]),
    `the hints speak of taps, not of keys or clicks: ${JSON.stringify(hints[0])}`);
  await page.touch('#play');
  await page.waitFor('ZarvoPage.stats.frames > 0', 10000, 'the first picture after a tap');
  check(await page.evaluate("ZarvoPage.stats.choice === 'sound'"), 'a tap on "Default output" starts the show');
  const fit = await page.evaluate(`(() => { const r = document.getElementById('screen').getBoundingClientRect();
    return [r.x, r.y, r.width, r.height, innerWidth, innerHeight, getComputedStyle(document.getElementById('stage')).backgroundColor]; })()`);
  const [x, y, width, height, screenWidth, screenHeight, background] = fit;
  check(Math.abs(height - screenHeight) < 1 && Math.abs(width - height * 4 / 3) < 1 && Math.abs(x - (screenWidth - width) / 2) < 1 && Math.abs(y) < 1 &&
    background === 'rgb(0, 0, 0)', `the picture fills the height of the ${screenWidth}x${screenHeight} screen at 4:3, centred on black (${width.toFixed(0)}x${height.toFixed(0)} at ${x.toFixed(0)})`);
  // The tap that started the show let it take the whole screen; a double tap switches.
  const whole = "document.fullscreenElement === document.getElementById('stage')";
  const doubleTap = async () => { await page.touch('#screen', 30); await sleep(80); await page.touch('#screen', 30); };
  await sleep(500);
  const before = await page.evaluate(whole);
  await doubleTap();
  await page.waitFor(before ? '!(' + whole + ')' : whole, 3000, 'the screen switched');
  await sleep(500);
  await doubleTap();
  await page.waitFor(before ? whole : '!(' + whole + ')', 3000, 'the screen switched back');
  check(true, `a double tap ${before ? 'gives the whole screen back' : 'takes the whole screen'}, another ${before ? 'takes it again' : 'gives it back'}`);
  const running = await page.evaluate('ZarvoPage.stats.exitCode === null');
  await page.touch('#screen', 1000);
  await page.waitFor('ZarvoPage.stats.exitCode === 0', 5000, 'the end after a long press');
  check(running && await page.evaluate("ZarvoPage.stats.leftBy === 'long press' && !document.getElementById('ended').hidden"),
    'taps alone did not end it; a long press leaves the show');
  page.close();
  page = await open();
  await page.touch('#silent');
  await page.waitFor('ZarvoPage.stats.frames > 0', 10000, 'the first picture');
  await page.goBack();
  await page.waitFor('ZarvoPage.stats.exitCode === 0', 5000, 'the end after going back');
  check(await page.evaluate("ZarvoPage.stats.leftBy === 'back' && !document.getElementById('ended').hidden"),
    'going back leaves the show, and the page says it has ended');
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

const server = await serve(buildDir);
const missing = await serve(buildDir, new Set(['Zarvo.xm']));
const browser = await Browser.start();
let matcher = null;
let figures = null;
let plainTransfer = 0;
let served = null;
try {
  served = await serveWeb(buildDir);
  const played = await withSound(browser, served);
  figures = played.figures;
  if (capture && module) {
    matcher = new CaptureMatcher(capture, module, 20);
    compareWithCapture(matcher, played.shots);
  } else {
    console.log('   (no zarvo-capture given: the comparison with the capture is skipped)');
  }
  plainTransfer = await withoutSound(browser, server);
  await withoutAudioWorklet(browser, server);
  await withoutWebAudio(browser, server);
  await stalledSoundOutput(browser, server);
  await withoutWebAssembly(browser, server);
  await fromFile(browser);
  await onAPhone(browser, served);
  await moduleMissing(browser, missing.url + 'zarvo.html', 'Zarvo.xm', 'HTTP 404 Not Found');
  await moduleMissing(browser, server.url + 'zarvo.html?module=missing.xm', 'missing.xm', 'HTTP 404 Not Found');
  await dialogScenario(browser, server.url + 'zarvo.html', '#cancel', (text) => text === kConfigMessage, 'Cancel');
  await dialogScenario(browser, server.url + 'zarvo.html', 'Escape', (text) => text === kConfigMessage, 'Escape on the first screen cancels');
} catch (error) {
  check(false, error.stack);
} finally {
  await browser.close();
  server.close();
  missing.close();
  if (served) { served.close(); }
  if (matcher) { matcher.close(); }
}

console.log('== figures');
const files = kPageFiles.map((name) => `${name} ${(size(name) / 1024).toFixed(0)} -> ${(size(name + '.gz') / 1024).toFixed(0)} KiB`);
console.log(`page files: ${mib(kPageFiles.reduce((sum, name) => sum + size(name), 0))}, ${mib(kPageFiles.reduce((sum, name) => sum + size(name + '.gz'), 0))} as .gz (${files.join(', ')})`);
if (figures) {
  console.log(`page transfer: ${mib(plainTransfer)} from a plain static server, ${mib(figures.transfer)} from tools/serve-web.sh`);
  console.log(`click to first picture: ${figures.firstPicture.toFixed(0)} ms`);
  console.log(`a ${figures.span.toFixed(0)}-second run: ${figures.fps.toFixed(1)} frames per second, the browser's CPU use ${(figures.cpu * 100).toFixed(0)} % of one core, ${figures.gaps} frames of sound short`);
}
console.log(failures === 0 ? 'all web checks passed' : `${failures} web check(s) failed`);
process.exit(failures === 0 ? 0 : 1);
