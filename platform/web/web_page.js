// The page around the program (linked into zarvo.js with --pre-js): the first screen, the
// picture, the message box, the page's events (keys, and on a touch screen its gestures), the
// module fetched beside the page, and the figures the page keeps. The sound output is
// web_page_audio.js.
//
// The document (zarvo.html) holds the elements named below. The module is fetched beside the
// page while the program loads: zarvo.html?module=other.xm plays another one, and
// zarvo.html?fps=N (or fps=display) sets the show's pace as zarvo's --fps does. A module that
// cannot be fetched is reported at once, in the form of the program's own message for a module
// that cannot be loaded, with the name it was asked by, and the program does not start.
/* global Module, FS, addRunDependency, removeRunDependency */
var ZarvoPage = (function () {
  'use strict';
  var kEventKey = 1;
  var kEventActive = 2;
  var kEventClose = 3;
  var kEventPointer = 4;
  var kEscape = 0x1B;
  var kModuleName = 'Zarvo.xm';
  var kFacePath = '/fonts/system.ttf'; // the face the program draws its texts with
  var kFaceName = 'Zarvo Face';        // its name in the page's style
  var kLongPress = 700;   // ms a finger rests on the picture to leave the show
  var kDoubleTap = 350;   // ms at most between the two taps of a double tap
  var kTouchSlop = 24;    // CSS pixels a finger may move and still tap or press
  var kRefreshSamples = 31; // animation frame intervals the refresh rate is measured over
  var kRefreshLeast = 8;    // intervals needed before the rate counts as known

  var byId = function (id) { return document.getElementById(id); };
  // A device whose first pointer is a finger: its hints speak of taps, not of keys.
  var touchFirst = function () { return !!window.matchMedia && window.matchMedia('(pointer: coarse)').matches; };
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
      audioPath: '',      // 'worklet', 'script-processor' or 'timer'
      audioGaps: 0,       // frames of silence the worklet gave for want of rendered sound
      stills: [],         // the study mode's stills: { name, line, rgb (base64 RGB bytes) }
      leftBy: '',         // how a touch screen left the show: 'long press' or 'back'
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
  var studyMode = new URLSearchParams(window.location.search).has('study');
  function virtualKey(event) {
    if (event.key === 'Escape' || event.key === 'Esc') { return 0x1B; }
    if (event.key === 'Enter') { return 0x0D; }
    if (event.key === ' ') { return 0x20; }
    // The study mode's keys (zarvo.html?study); the show itself takes only Escape.
    if (studyMode) {
      var study = { ArrowLeft: 0x25, ArrowRight: 0x27, Home: 0x24, F1: 0x70, '.': 0xBE, ',': 0xBC,
                    '/': 0xBF, '?': 0xBF }[event.key];
      if (study !== undefined) { return study; }
    }
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
  function switchScreen() {
    if (document.fullscreenElement) {
      document.exitFullscreen().catch(function () {});
    } else {
      page.takeScreen();
    }
  }
  // Leaves the show as Escape does, for a device that may have no Escape key.
  function leaveShow(how) {
    if (!page.running || page.dialogOpen) { return; }
    page.stats.leftBy = how;
    post(kEventKey, kEscape);
  }
  // A double click takes the whole screen, or gives it back. A browser may make one of two
  // taps too: the taps have their own reading below.
  var lastPointer = '';
  page.stage.addEventListener('pointerdown', function (event) { lastPointer = event.pointerType; }, true);
  page.stage.addEventListener('dblclick', function () {
    if (lastPointer !== 'touch') { switchScreen(); }
  });

  // On a touch screen: a double tap switches the whole screen, a long press leaves the show.
  var touch = { down: null, lastTap: null, pressTimer: 0 };
  var apart = function (a, b) { return Math.hypot(a.x - b.x, a.y - b.y); };
  function endPress() {
    clearTimeout(touch.pressTimer);
    touch.down = null;
  }
  page.stage.addEventListener('pointerdown', function (event) {
    if (event.pointerType !== 'touch' || !event.isPrimary) { return; }
    endPress();
    touch.down = { id: event.pointerId, x: event.clientX, y: event.clientY };
    touch.pressTimer = setTimeout(function () {
      endPress();
      touch.lastTap = null;
      leaveShow('long press');
    }, kLongPress);
  });
  page.stage.addEventListener('pointermove', function (event) {
    if (touch.down && event.pointerId === touch.down.id &&
        apart(touch.down, { x: event.clientX, y: event.clientY }) > kTouchSlop) {
      endPress();
    }
  });
  page.stage.addEventListener('pointerup', function (event) {
    if (!touch.down || event.pointerId !== touch.down.id) { return; }
    endPress();
    // The time the finger was lifted, not the time the page got round to it.
    var tap = { x: event.clientX, y: event.clientY, time: event.timeStamp };
    if (touch.lastTap && tap.time - touch.lastTap.time <= kDoubleTap && apart(tap, touch.lastTap) <= kTouchSlop * 2) {
      touch.lastTap = null;
      switchScreen();
    } else {
      touch.lastTap = tap;
    }
  });
  page.stage.addEventListener('pointercancel', endPress);
  page.stage.addEventListener('contextmenu', function (event) { event.preventDefault(); });
  // Going back (the browser's button, a phone's back gesture) leaves the show, not the page:
  // the show stands one step in the page's history, taken when it starts.
  window.addEventListener('popstate', function () { leaveShow('back'); });

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
      if (request && request.then) {
        // A phone held upright would show a strip: the whole screen is taken sideways.
        request.then(function () {
          if (touchFirst() && screen.orientation && screen.orientation.lock) {
            return screen.orientation.lock('landscape');
          }
        }).catch(function () {});
      }
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
  // A still of the study mode: kept in the figures and offered as a download.
  page.saveStill = function (bytes, width, height, name, line) {
    console.log(line.trim());
    var text = '';
    for (var i = 0; i < bytes.length; i += 4) {
      text += String.fromCharCode(bytes[i], bytes[i + 1], bytes[i + 2]);
    }
    page.stats.stills.push({ name: name, line: line.trim(), rgb: btoa(text) });
    var canvas = document.createElement('canvas');
    canvas.width = width;
    canvas.height = height;
    var image = canvas.getContext('2d').createImageData(width, height);
    image.data.set(bytes);
    canvas.getContext('2d').putImageData(image, 0, 0);
    canvas.toBlob(function (blob) {
      if (!blob) { return; }
      var link = document.createElement('a');
      link.href = URL.createObjectURL(blob);
      link.download = name;
      link.click();
      setTimeout(function () { URL.revokeObjectURL(link.href); }, 1000);
    }, 'image/png');
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
  // The face the program draws its texts with travels inside zarvo.js (its file system): the
  // page's own texts take it from there, so they look the same everywhere at no extra download.
  var faceReady = null;
  function loadFace() {
    if (faceReady) { return faceReady; }
    faceReady = Promise.resolve().then(function () {
      var face = new FontFace(kFaceName, FS.readFile(kFacePath));
      document.fonts.add(face);
      return face.load();
    }).catch(function (error) {
      console.warn('zarvo: the page keeps its fallback face (' + error.message + ')');
    });
    return faceReady;
  }
  // The program's sound question, asked as its dialogs ask it. Choosing to play, with or
  // without sound, puts the show one step on in the page's history (see popstate above).
  page.askSound = function (answer) {
    var setup = byId('setup');
    var buttons = [byId('play'), byId('silent'), byId('cancel')];
    var names = ['sound', 'silent', 'cancel'];
    var fingers = touchFirst();
    byId('hint-keys').hidden = fingers;
    byId('hint-touch').hidden = !fingers;
    byId('hint-turn').hidden = !(window.matchMedia && window.matchMedia('(orientation: portrait)').matches);
    if (!window.AudioContext && !window.webkitAudioContext) {
      byId('no-audio').hidden = false;
    }
    var choose = function (choice) {
      buttons.forEach(function (button, index) { button.onclick = null; button.disabled = index !== choice; });
      setup.onkeydown = null;
      page.setupOpen = false;
      setup.hidden = true;
      page.stats.choice = names[choice];
      page.stats.choiceTime = performance.now();
      if (choice === 0) { page.unlockAudio(); }
      page.running = choice !== 2;
      if (page.running && window.history && history.pushState) { history.pushState({ zarvoShow: true }, ''); }
      answer(choice);
    };
    buttons.forEach(function (button, index) {
      button.disabled = false;
      button.onclick = function () { choose(index); };
    });
    // The study mode starts the page again with ?study; in it, the button says so.
    var studyParams = new URLSearchParams(window.location.search);
    var studyButton = byId('study');
    studyButton.disabled = studyParams.has('study');
    studyButton.textContent = studyParams.has('study') ? 'Study mode (keys: ?)' : 'Study';
    studyButton.onclick = function () {
      studyParams.set('study', '');
      window.location.search = studyParams.toString();
    };
    setup.onkeydown = function (event) {
      var key = event.key && event.key.length === 1 ? event.key.toUpperCase() : event.key;
      var chosen = { Escape: 2, Esc: 2, D: 0, N: 1, C: 2 }[key];
      if (chosen !== undefined) {
        event.preventDefault();
        choose(chosen);
        return;
      }
      if (key === 'ArrowDown' || key === 'ArrowRight' || key === 'ArrowUp' || key === 'ArrowLeft') {
        var at = buttons.indexOf(document.activeElement);
        var step = (key === 'ArrowDown' || key === 'ArrowRight') ? 1 : buttons.length - 1;
        buttons[(Math.max(at, 0) + step) % buttons.length].focus();
        event.preventDefault();
      }
    };
    loadFace().then(function () {
      byId('loading').hidden = true;
      setup.hidden = false;
      page.setupOpen = true;
      buttons[0].focus();
    });
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
    if (window.history && history.state && history.state.zarvoShow) { history.back(); }
    page.stats.exitCode = code;
    page.closeAudio();
    page.stage.hidden = true;
    byId('setup').hidden = true;
    byId('ended').hidden = false;
  };

  // ---- the module, fetched beside the page ----------------------------------------------------
  var params = new URLSearchParams(window.location.search);
  var asked = params.get('module') || kModuleName;
  // The file keeps its own name in the program's file system; the intro asks for its own.
  var fileName = asked.replace(/^.*[\\/]/, '').replace(/[^A-Za-z0-9._-]/g, '_') || 'module';
  Module['arguments'] = asked === kModuleName ? [] : ['--module=/modules/' + fileName];
  if (params.get('fps')) { Module['arguments'].push('--fps=' + params.get('fps')); }
  if (params.has('study')) { Module['arguments'].push('--study'); }
  var target = asked === kModuleName ? '/' + kModuleName : '/modules/' + fileName;
  // Fetched from the start, while the program itself loads.
  var fetched = fetch(asked).then(function (response) {
    if (!response.ok) {
      throw new Error('HTTP ' + response.status + (response.statusText ? ' ' + response.statusText : ''));
    }
    return response.arrayBuffer();
  }).then(function (data) {
    return { data: data };
  }, function (error) {
    return { error: error.message };
  });
  // The program's message for a module it cannot load, with the name the module was asked by.
  function reportMissing(reason) {
    var text = "Sceners: MIDASloadModule() failed (Unable to open file '" + asked + "': " + reason +
      ").\r\nLamers: The module '" + asked + "' is missing or corrupt.";
    loadFace().then(function () {
      byId('loading').hidden = true;
      page.messageBox('Error', text, function () { page.finished(0); });
    });
  }
  Module['preRun'] = (Module['preRun'] || []).concat([function () {
    addRunDependency('zarvo-module');
    fetched.then(function (result) {
      if (result.error) {
        // The program is not started: it waits for the module for good.
        page.stats.moduleFetch = result.error;
        reportMissing(result.error);
        return;
      }
      FS.mkdirTree('/modules');
      FS.writeFile(target, new Uint8Array(result.data));
      page.stats.moduleFetch = 'ok ' + result.data.byteLength;
      removeRunDependency('zarvo-module');
    });
  }]);
  Module['onRuntimeInitialized'] = loadFace;
  Module['print'] = function (text) { console.log(text); };
  Module['printErr'] = function (text) { console.error(text); };
  Module['onAbort'] = function (what) {
    byId('failed').hidden = false;
    byId('failed-text').textContent = String(what);
  };
  return page;
})();
