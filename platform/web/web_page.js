// The page around the program (linked into zarvo.js with --pre-js): the first screen, the
// picture, the message box, the page's events, the sound output, and the figures the page keeps.
//
// The document (zarvo.html) holds the elements named below. The module is fetched beside the
// page before the program starts: zarvo.html?module=other.xm plays another one, and
// zarvo.html?fps=N (or fps=display) sets the show's pace as zarvo's --fps does.
/* global Module, FS, addRunDependency, removeRunDependency */
var ZarvoPage = (function () {
  'use strict';
  var kEventKey = 1;
  var kEventActive = 2;
  var kEventClose = 3;
  var kEventPointer = 4;
  var kModuleName = 'Zarvo.xm';
  var kAudioBufferFrames = 2048; // 43 ms at 48 kHz: what the sync calls lead the sound by, at most
  var kSilentTick = 10; // ms between the silent timer's renderings
  var kOutputCheck = 250; // ms between the sound library's looks at whether WebAudio asks for sound
  var kRefreshSamples = 31; // animation frame intervals the refresh rate is measured over
  var kRefreshLeast = 8;    // intervals needed before the rate counts as known

  var byId = function (id) { return document.getElementById(id); };
  var page = {
    events: [],
    eventWaiter: null,
    refreshWaiter: null,
    focused: true,
    stage: byId('stage'),
    canvas: byId('screen'),
    context: null,
    picture: null,
    audioContext: null,
    audioNote: '',
    audio: null,
    running: false,
    // The figures: what a test or a curious person can read (ZarvoPage.stats).
    stats: {
      choice: null,       // 'sound', 'silent', 'cancel'
      choiceTime: 0,      // performance.now() of the choice
      firstPicture: 0,    // performance.now() of the first picture
      frames: 0,          // pictures put up
      syncCount: 0,       // the last picture's sync count
      turns: -1,          // the last picture's light turns (-1: not rendered)
      renderedFrames: 0,  // sound frames rendered
      audioDevice: false, // sound goes to WebAudio
      peak: 0,            // the loudest sample WebAudio was given, 0 to 1
      message: '',        // the last message box's text
      exitCode: null,     // set when the program has ended
      moduleFetch: '',    // what fetching the module gave
      refreshRate: 0,     // the display's refresh rate as measured, Hz (0: not yet)
      paceRefreshes: 0,   // refreshes per picture in the last wait (0: the timer paced)
    },
  };

  // ---- events -------------------------------------------------------------------------------
  // An event wakes the program at once, whether it waits for one or for the next frame (which
  // may be far off in a hidden page, where timers are slowed down).
  function post(kind, value) {
    page.events.push((kind << 16) | (value & 0xFFFF));
    var waiter = page.eventWaiter || page.refreshWaiter;
    page.eventWaiter = null;
    page.refreshWaiter = null;
    if (waiter) { waiter(); }
  }
  page.nextEvent = function () {
    return page.events.length ? page.events.shift() : 0;
  };
  page.waitEvent = function (wakeUp) {
    if (page.events.length) {
      wakeUp();
      return;
    }
    var timer = 0;
    page.eventWaiter = function () {
      clearTimeout(timer);
      wakeUp();
    };
    timer = setTimeout(function () {
      page.eventWaiter = null;
      wakeUp();
    }, 250);
  };
  function virtualKey(event) {
    if (event.key === 'Escape' || event.key === 'Esc') { return 0x1B; }
    if (event.key === 'Enter') { return 0x0D; }
    if (event.key === ' ') { return 0x20; }
    if (event.key && event.key.length === 1) {
      var code = event.key.toUpperCase().charCodeAt(0);
      if ((code >= 0x41 && code <= 0x5A) || (code >= 0x30 && code <= 0x39)) { return code; }
    }
    return 0;
  }
  function pageActive() {
    return !document.hidden && page.focused;
  }
  window.addEventListener('keydown', function (event) {
    if (!page.running || page.dialogOpen || page.setupOpen) { return; }
    var key = virtualKey(event);
    if (key !== 0) {
      post(kEventKey, key);
      event.preventDefault();
    }
  });
  document.addEventListener('visibilitychange', function () { post(kEventActive, pageActive() ? 1 : 0); });
  window.addEventListener('blur', function () { page.focused = false; post(kEventActive, 0); });
  window.addEventListener('focus', function () { page.focused = true; post(kEventActive, pageActive() ? 1 : 0); });
  window.addEventListener('pagehide', function () { post(kEventClose, 0); });
  page.stage.addEventListener('mouseenter', function () { post(kEventPointer, 0); });
  // A double click takes the whole screen, or gives it back.
  page.stage.addEventListener('dblclick', function () {
    if (document.fullscreenElement) { document.exitFullscreen(); } else { page.takeScreen(); }
  });

  // ---- the display's refreshes ---------------------------------------------------------------
  // Every animation frame is counted from the page's start, and the display's refresh rate is
  // the median of the last intervals between them (a pause, such as a hidden page, is left out).
  // The program waits for as many as the show's pace gives (platform/common/frame_pace.h).
  var refresh = { count: 0, time: 0, intervals: [], rate: 0, shown: 0, due: 0, waiter: null, grid: 0 };
  function countRefresh(time) {
    requestAnimationFrame(countRefresh);
    if (time <= refresh.time) { return; } // the same frame again: not a refresh
    var interval = time - refresh.time;
    refresh.time = time;
    refresh.count += 1;
    if (interval > 0 && interval < 100) {
      refresh.intervals.push(interval);
      if (refresh.intervals.length > kRefreshSamples) { refresh.intervals.shift(); }
      if (refresh.intervals.length >= kRefreshLeast) {
        var sorted = refresh.intervals.slice().sort(function (a, b) { return a - b; });
        refresh.rate = 1000 / sorted[sorted.length >> 1];
        page.stats.refreshRate = refresh.rate;
      }
    }
    if (refresh.waiter && refresh.count >= refresh.due) { refresh.waiter(); }
  }
  requestAnimationFrame(countRefresh);
  page.refreshRate = function () { return refresh.rate; };

  // ---- the picture --------------------------------------------------------------------------
  // The picture is due `refreshes` animation frames after the last one's (the next frame when
  // the program comes late: no burst to catch up), or with `refreshes` 0 at the next point of a
  // timer grid every `period` ms. An event ends the wait at once.
  page.waitRefresh = function (refreshes, period, wakeUp) {
    var done = false;
    var timer = 0;
    var finish = function () {
      if (!done) {
        done = true;
        clearTimeout(timer);
        page.refreshWaiter = null;
        refresh.waiter = null;
        wakeUp();
      }
    };
    page.refreshWaiter = finish;
    page.stats.paceRefreshes = refreshes;
    var now = performance.now();
    if (document.hidden) {
      // Animation frames stop in a hidden page: the timer keeps the program's loop going.
      timer = setTimeout(finish, 50);
    } else if (refreshes > 0) {
      refresh.due = Math.max(refresh.shown + refreshes, refresh.count + 1);
      refresh.waiter = function () {
        refresh.shown = refresh.count;
        finish();
      };
      timer = setTimeout(finish, Math.max(100, 2000 * refreshes / refresh.rate));
    } else {
      var next = refresh.grid + period;
      if (next <= now) { next += Math.ceil((now - next) / period + 1e-9) * period; }
      refresh.grid = next;
      timer = setTimeout(finish, next - now);
    }
  };
  // A sleep of the program. Short ones (the music ramping down, a few milliseconds) go by
  // messages to the page itself, which browsers do not slow down in a hidden page as they do
  // timers; longer ones by a timer.
  var sleepChannel = new MessageChannel();
  var sleepers = [];
  sleepChannel.port1.onmessage = function () {
    var now = performance.now();
    var due = sleepers.filter(function (sleeper) { return sleeper.until <= now; });
    sleepers = sleepers.filter(function (sleeper) { return sleeper.until > now; });
    if (sleepers.length) { sleepChannel.port2.postMessage(0); }
    due.forEach(function (sleeper) { sleeper.wakeUp(); });
  };
  page.sleep = function (milliseconds, wakeUp) {
    if (milliseconds >= 20) {
      setTimeout(wakeUp, milliseconds);
      return;
    }
    sleepers.push({ until: performance.now() + milliseconds, wakeUp: wakeUp });
    sleepChannel.port2.postMessage(0);
  };
  page.takeScreen = function () {
    var element = page.stage;
    if (!element.requestFullscreen || !document.fullscreenEnabled) { return false; }
    try {
      var request = element.requestFullscreen();
      if (request && request.catch) { request.catch(function () {}); }
      return true;
    } catch (error) {
      return false;
    }
  };
  page.openScreen = function (width, height) {
    page.canvas.width = width;
    page.canvas.height = height;
    page.context = page.canvas.getContext('2d', { alpha: false });
    page.context.fillStyle = '#000';
    page.context.fillRect(0, 0, width, height);
    page.picture = page.context.createImageData(width, height);
    page.stage.hidden = false;
  };
  page.closeScreen = function () {
    page.stage.hidden = true;
    if (document.fullscreenElement) { document.exitFullscreen().catch(function () {}); }
  };
  page.showPicture = function (bytes, width, height) {
    if (!page.context) { return; }
    if (page.picture.width !== width || page.picture.height !== height) {
      page.picture = page.context.createImageData(width, height);
    }
    page.picture.data.set(bytes);
    page.context.putImageData(page.picture, 0, 0);
  };
  page.frameShown = function (syncCount, turns) {
    var stats = page.stats;
    if (stats.frames === 0) { stats.firstPicture = performance.now(); }
    stats.frames += 1;
    stats.syncCount = syncCount;
    stats.turns = turns;
  };
  page.showCursor = function (shown) {
    page.stage.style.cursor = shown ? '' : 'none';
  };
  // The picture as it stands with the figures it was drawn at, read together.
  page.snapshot = function () {
    var pixels = page.context ? page.context.getImageData(0, 0, page.canvas.width, page.canvas.height).data : [];
    var text = '';
    for (var i = 0; i < pixels.length; i += 4) {
      text += String.fromCharCode(pixels[i], pixels[i + 1], pixels[i + 2]);
    }
    return { syncCount: page.stats.syncCount, turns: page.stats.turns, frames: page.stats.frames,
             width: page.canvas.width, height: page.canvas.height, rgb: btoa(text) };
  };

  // ---- the first screen and the message box -------------------------------------------------
  page.askSound = function (answer) {
    var setup = byId('setup');
    var buttons = [byId('play'), byId('silent'), byId('cancel')];
    var names = ['sound', 'silent', 'cancel'];
    byId('loading').hidden = true;
    if (!window.AudioContext && !window.webkitAudioContext) {
      byId('no-audio').hidden = false;
    }
    setup.hidden = false;
    page.setupOpen = true;
    var choose = function (choice) {
      buttons.forEach(function (button, index) { button.onclick = null; button.disabled = index !== choice; });
      setup.onkeydown = null;
      page.setupOpen = false;
      setup.hidden = true;
      page.stats.choice = names[choice];
      page.stats.choiceTime = performance.now();
      if (choice === 0) { page.unlockAudio(); }
      page.running = choice !== 2;
      answer(choice);
    };
    buttons.forEach(function (button, index) {
      button.disabled = false;
      button.onclick = function () { choose(index); };
    });
    setup.onkeydown = function (event) {
      if (event.key === 'Escape' || event.key === 'Esc') { event.preventDefault(); choose(2); }
      if (event.key === 'n' || event.key === 'N') { event.preventDefault(); choose(1); }
      if (event.key === 'ArrowDown' || event.key === 'ArrowRight' || event.key === 'ArrowUp' || event.key === 'ArrowLeft') {
        var at = buttons.indexOf(document.activeElement);
        var step = (event.key === 'ArrowDown' || event.key === 'ArrowRight') ? 1 : buttons.length - 1;
        buttons[(Math.max(at, 0) + step) % buttons.length].focus();
        event.preventDefault();
      }
    };
    buttons[0].focus();
  };
  page.messageBox = function (caption, text, dismissed) {
    console.error(caption + ': ' + text);
    page.stats.message = text;
    var dialog = byId('dialog');
    byId('dialog-caption').textContent = caption;
    byId('dialog-text').textContent = text.replace(/\r\n/g, '\n');
    var ok = byId('dialog-ok');
    page.dialogOpen = true;
    dialog.hidden = false;
    var close = function () {
      ok.onclick = null;
      dialog.onkeydown = null;
      dialog.hidden = true;
      page.dialogOpen = false;
      dismissed();
    };
    ok.onclick = close;
    dialog.onkeydown = function (event) {
      if (event.key === 'Escape' || event.key === 'Esc') { event.preventDefault(); close(); }
    };
    ok.focus();
  };
  page.finished = function (code) {
    page.running = false;
    page.stats.exitCode = code;
    page.closeAudio();
    page.stage.hidden = true;
    byId('setup').hidden = true;
    byId('ended').hidden = false;
  };

  // ---- sound ---------------------------------------------------------------------------------
  // Made inside the click that chose sound: browsers let sound play only after such a gesture.
  page.unlockAudio = function () {
    var Context = window.AudioContext || window.webkitAudioContext;
    if (!Context) {
      page.audioNote = 'this browser has no WebAudio';
      return;
    }
    try {
      page.audioContext = new Context({ sampleRate: 48000 });
      if (page.audioContext.resume) { page.audioContext.resume().catch(function () {}); }
    } catch (error) {
      page.audioNote = 'WebAudio could not start (' + error.message + ')';
      page.audioContext = null;
    }
  };
  // One output at a time: WebAudio's processor calls `render` on the page's thread; the silent
  // timer calls it at the pace of `rate` and drops what it gives.
  page.openAudio = function (wantDevice, rate, render) {
    page.closeAudio();
    var audio = { paused: true, device: false, render: render, rate: rate };
    page.audio = audio;
    if (wantDevice && page.audioContext && page.audioContext.createScriptProcessor &&
        page.audioContext.sampleRate === rate) {
      var node = page.audioContext.createScriptProcessor(kAudioBufferFrames, 0, 2);
      node.onaudioprocess = function (event) {
        var left = event.outputBuffer.getChannelData(0);
        var right = event.outputBuffer.getChannelData(1);
        if (audio.paused || page.audio !== audio) {
          left.fill(0);
          right.fill(0);
          return;
        }
        var frames = left.length;
        var samples = audio.render(frames);
        var peak = page.stats.peak;
        for (var i = 0; i < frames; ++i) {
          left[i] = samples[2 * i] / 32768;
          right[i] = samples[2 * i + 1] / 32768;
          peak = Math.max(peak, Math.abs(left[i]), Math.abs(right[i]));
        }
        page.stats.peak = peak;
        page.stats.renderedFrames += frames;
      };
      node.connect(page.audioContext.destination);
      audio.node = node;
      audio.device = true;
      audio.watchdog = setInterval(function () { watchOutput(audio); }, kOutputCheck);
    } else if (wantDevice && page.audioContext) {
      page.audioNote = 'WebAudio runs at ' + page.audioContext.sampleRate + ' Hz, not ' + rate + ' Hz';
    } else if (wantDevice && !page.audioNote) {
      page.audioNote = 'this browser has no WebAudio';
    }
    page.stats.audioDevice = audio.device;
    return audio.device;
  };
  function silentTick(audio) {
    if (page.audio !== audio || audio.paused) { return; }
    var due = Math.floor((performance.now() - audio.since) * audio.rate / 1000) - audio.done;
    // After a long stall (a slow frame, a throttled page) the clock goes on from now.
    if (due > audio.rate) { audio.done += due - audio.rate / 10; due = audio.rate / 10; }
    while (due > 0) {
      var frames = Math.min(due, 4096);
      audio.render(frames);
      audio.done += frames;
      page.stats.renderedFrames += frames;
      due -= frames;
    }
  }
  function runSilentTimer(audio, run) {
    clearInterval(audio.timer);
    if (run) {
      audio.since = performance.now();
      audio.done = 0;
      audio.timer = setInterval(function () { silentTick(audio); }, kSilentTick);
    }
  }
  // A sound output that never asks for samples (a browser with no sound device or server, where
  // the context stays suspended) would hold the show's clock for ever: the sound library looks a
  // few times a second, and after two seconds of playing without a call gives it up
  // (abandonAudio): the music goes on silently on the timer, and the console says so.
  function watchOutput(audio) {
    if (page.audio === audio && audio.device) {
      Module['_zarvo_web_watch_sound']();
    }
  }
  page.abandonAudio = function () {
    var audio = page.audio;
    if (!audio || !audio.device) { return; }
    clearInterval(audio.watchdog);
    audio.node.onaudioprocess = null;
    audio.node.disconnect();
    audio.device = false;
    page.stats.audioDevice = false;
    var state = page.audioContext ? page.audioContext.state : 'gone';
    page.audioNote = "the browser's sound output does not run (" + state + ')';
    runSilentTimer(audio, !audio.paused);
  };
  page.pauseAudio = function (paused) {
    var audio = page.audio;
    if (!audio || audio.paused === paused) { return; }
    audio.paused = paused;
    if (audio.device) {
      return;
    }
    runSilentTimer(audio, !paused);
  };
  page.closeAudio = function () {
    var audio = page.audio;
    if (!audio) { return; }
    page.audio = null;
    audio.paused = true;
    clearInterval(audio.timer);
    clearInterval(audio.watchdog);
    if (audio.node) {
      audio.node.onaudioprocess = null;
      audio.node.disconnect();
    }
  };

  // ---- the module, fetched beside the page ----------------------------------------------------
  var params = new URLSearchParams(window.location.search);
  var asked = params.get('module') || kModuleName;
  // The file keeps its own name in the program's file system; the intro asks for its own.
  var fileName = asked.replace(/^.*[\\/]/, '').replace(/[^A-Za-z0-9._-]/g, '_') || 'module';
  Module['arguments'] = asked === kModuleName ? [] : ['--module=/modules/' + fileName];
  if (params.get('fps')) { Module['arguments'].push('--fps=' + params.get('fps')); }
  var target = asked === kModuleName ? '/' + kModuleName : '/modules/' + fileName;
  Module['preRun'] = (Module['preRun'] || []).concat([function () {
    addRunDependency('zarvo-module');
    fetch(asked).then(function (response) {
      if (!response.ok) { throw new Error('HTTP ' + response.status); }
      return response.arrayBuffer();
    }).then(function (data) {
      FS.mkdirTree('/modules');
      FS.writeFile(target, new Uint8Array(data));
      page.stats.moduleFetch = 'ok ' + data.byteLength;
    }).catch(function (error) {
      page.stats.moduleFetch = error.message;
      console.error("zarvo: the module '" + asked + "' could not be fetched (" + error.message + ')');
    }).then(function () {
      removeRunDependency('zarvo-module');
    });
  }]);
  Module['print'] = function (text) { console.log(text); };
  Module['printErr'] = function (text) { console.error(text); };
  Module['onAbort'] = function (what) {
    byId('failed').hidden = false;
    byId('failed-text').textContent = String(what);
  };
  return page;
})();
