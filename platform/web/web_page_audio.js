// The page's sound output (linked into zarvo.js with --pre-js, after web_page.js): WebAudio
// through an AudioWorklet where the browser has one, a ScriptProcessor where it has not, and a
// timer that renders at the music's pace and throws the sound away.
//
// The program renders on the page's one thread, between the intro's steps. The worklet plays on
// the browser's audio thread from a small queue of rendered blocks that the page posts to it
// (transferred, so nothing is shared and no SharedArrayBuffer is needed); it says how much it
// has played, and the page renders a block whenever the queue has room for one, by those
// reports and by the audio clock in between.
//
// A sync call made while a block is rendered is heard when that block plays: it leads the sound
// by what was queued before the block. The ScriptProcessor's 2048 frames, which the browser plays
// after the 2048 it already has, make that 2048 to 4096 frames (43 to 85 ms at 48 kHz, 64 on
// average). The worklet's queue of at most kQueueFrames gives about the same, with less spread
// (measured in Chromium: 45 to 69 ms, 60 on average), and leaves the page more time to answer
// before the sound runs dry.
/* global ZarvoPage */
(function (page) {
  'use strict';
  var kScriptFrames = 2048;   // the ScriptProcessor's buffer
  var kBlockFrames = 512;     // one rendering for the worklet, and how often it reports
  var kQueueFrames = 3072 + kBlockFrames / 2; // rendered and not yet heard, at most
  var kTopUp = 5;             // ms between the page's own looks at the worklet's queue
  var kSilentTick = 10;       // ms between the silent timer's renderings
  var kOutputCheck = 250;     // ms between looks at whether the sound output asks for samples

  // The worklet's processor, run in the AudioWorkletGlobalScope from its source text. It plays
  // the blocks it is given in order, 16-bit interleaved stereo, and counts the frames of
  // silence it had to give while it was to play (a gap: the page was late).
  function workletSource() {
    /* global AudioWorkletProcessor, registerProcessor */
    class ZarvoOutput extends AudioWorkletProcessor {
      constructor(options) {
        super();
        this.blocks = [];
        this.at = 0;
        this.played = 0;
        this.report = options.processorOptions.reportFrames;
        this.held = false;
        this.primed = false;
        this.open = true;
        this.port.onmessage = (event) => {
          const message = event.data;
          if (message.samples) {
            this.blocks.push(message.samples);
            this.primed = true;
          }
          if (message.held !== undefined) { this.held = message.held; }
          if (message.close) { this.open = false; }
        };
      }

      process(inputs, outputs) {
        const left = outputs[0][0];
        const right = outputs[0][1];
        let i = 0;
        while (i < left.length && this.blocks.length) {
          const block = this.blocks[0];
          const frames = block.length >> 1;
          const count = Math.min(left.length - i, frames - this.at);
          for (let k = 0; k < count; ++k) {
            left[i + k] = block[2 * (this.at + k)] / 32768;
            right[i + k] = block[2 * (this.at + k) + 1] / 32768;
          }
          i += count;
          this.at += count;
          this.played += count;
          if (this.at === frames) {
            this.blocks.shift();
            this.at = 0;
          }
        }
        const gap = this.primed && !this.held ? left.length - i : 0;
        left.fill(0, i);
        right.fill(0, i);
        if (this.played >= this.report || gap > 0) {
          this.port.postMessage({ played: this.played, gap, at: currentFrame + left.length });
          this.played = 0;
        }
        return this.open;
      }
    }
    registerProcessor('zarvo-output', ZarvoOutput);
  }

  // Made inside the click that chose sound: browsers let sound play only after such a gesture.
  // The worklet's code is loaded from there on, while the program opens the music.
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
      return;
    }
    page.worklet = null;
    if (page.audioContext.audioWorklet && window.AudioWorkletNode) {
      var url = URL.createObjectURL(new Blob(['(' + workletSource.toString() + ')();'],
        { type: 'text/javascript' }));
      page.worklet = page.audioContext.audioWorklet.addModule(url);
      page.worklet.then(function () { URL.revokeObjectURL(url); }, function () { URL.revokeObjectURL(url); });
    }
  };

  // Renders `frames` for the device: counted, and the loudest sample noted.
  function renderForDevice(audio, frames) {
    var samples = audio.render(frames);
    var peak = page.stats.peak;
    for (var i = 0; i < samples.length; ++i) {
      peak = Math.max(peak, Math.abs(samples[i] / 32768));
    }
    page.stats.peak = peak;
    page.stats.renderedFrames += frames;
    return samples;
  }

  // What the worklet has still to play: what it had at its last report, less what the audio
  // clock says it has played since (it cannot have played more than it had).
  function unheard(audio) {
    var context = page.audioContext;
    var since = audio.reportAt === null ? 0 : context.currentTime * context.sampleRate - audio.reportAt;
    return Math.max(0, audio.ahead - Math.max(0, since));
  }

  // The worklet's queue filled up to kQueueFrames. The page looks on each of the worklet's
  // reports and, between them, on its own timer: an answer to a report takes two trips between
  // the threads, each of which a busy machine can hold up.
  function fillWorklet(audio) {
    while (!audio.paused && page.audio === audio && unheard(audio) + kBlockFrames <= kQueueFrames) {
      var block = renderForDevice(audio, kBlockFrames).slice();
      audio.ahead += kBlockFrames;
      audio.node.port.postMessage({ samples: block }, [block.buffer]);
    }
  }

  function startWorklet(audio) {
    var node = new AudioWorkletNode(page.audioContext, 'zarvo-output', {
      numberOfInputs: 0, numberOfOutputs: 1, outputChannelCount: [2],
      processorOptions: { reportFrames: kBlockFrames },
    });
    node.port.onmessage = function (event) {
      if (page.audio !== audio) { return; }
      audio.heard = performance.now();
      audio.ahead -= event.data.played;
      audio.reportAt = event.data.at;
      page.stats.audioGaps += event.data.gap;
      fillWorklet(audio);
    };
    node.connect(page.audioContext.destination);
    audio.node = node;
    audio.ahead = 0;
    audio.reportAt = null;
    audio.node.port.postMessage({ held: audio.paused });
    audio.topUp = setInterval(function () { fillWorklet(audio); }, kTopUp);
    fillWorklet(audio);
  }

  function startScriptProcessor(audio) {
    var node = page.audioContext.createScriptProcessor(kScriptFrames, 0, 2);
    node.onaudioprocess = function (event) {
      audio.heard = performance.now();
      var left = event.outputBuffer.getChannelData(0);
      var right = event.outputBuffer.getChannelData(1);
      if (audio.paused || page.audio !== audio) {
        left.fill(0);
        right.fill(0);
        return;
      }
      var samples = renderForDevice(audio, left.length);
      for (var i = 0; i < left.length; ++i) {
        left[i] = samples[2 * i] / 32768;
        right[i] = samples[2 * i + 1] / 32768;
      }
    };
    node.connect(page.audioContext.destination);
    audio.node = node;
  }

  function stopNode(audio) {
    if (!audio.node) { return; }
    if (audio.path === 'worklet') {
      clearInterval(audio.topUp);
      audio.node.port.onmessage = null;
      audio.node.port.postMessage({ close: true });
    } else {
      audio.node.onaudioprocess = null;
    }
    audio.node.disconnect();
    audio.node = null;
  }

  // One output at a time: the worklet's reports or the ScriptProcessor's calls make the page
  // call `render` on its thread; the silent timer calls it at the pace of `rate` and drops what
  // it gives. Returns whether the sound goes to WebAudio.
  page.openAudio = function (wantDevice, rate, render) {
    page.closeAudio();
    var audio = { paused: true, device: false, path: 'timer', render: render, rate: rate,
      heard: performance.now() };
    page.audio = audio;
    var context = page.audioContext;
    if (!wantDevice) {
      // Silence was chosen: nothing to say.
    } else if (!context) {
      page.audioNote = page.audioNote || 'this browser has no WebAudio';
    } else if (context.sampleRate !== rate) {
      page.audioNote = 'WebAudio runs at ' + context.sampleRate + ' Hz, not ' + rate + ' Hz';
    } else if (page.worklet) {
      audio.device = true;
      audio.path = 'worklet';
      // Once the worklet's code is there, unless the output was closed or given up meanwhile.
      page.worklet.then(function () {
        if (page.audio === audio && audio.device) { startWorklet(audio); }
      }, function (error) {
        if (page.audio !== audio || !audio.device) { return; }
        console.warn('zarvo: the sound worklet could not load (' + error.message + '); the ScriptProcessor plays');
        audio.path = 'script-processor';
        page.stats.audioPath = audio.path;
        startScriptProcessor(audio);
      });
    } else if (context.createScriptProcessor) {
      audio.device = true;
      audio.path = 'script-processor';
      startScriptProcessor(audio);
    } else {
      page.audioNote = 'this browser has no WebAudio output it can feed';
    }
    if (audio.device) {
      audio.watchdog = setInterval(function () { watchOutput(audio); }, kOutputCheck);
    }
    page.stats.audioDevice = audio.device;
    page.stats.audioPath = audio.path;
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
  // few times a second, and after two seconds of playing without a rendering gives it up
  // (abandonAudio): the music goes on silently on the timer, and the library says so.
  function watchOutput(audio) {
    if (page.audio === audio && audio.device) {
      Module['_zarvo_web_watch_sound']();
    }
  }
  page.abandonAudio = function () {
    var audio = page.audio;
    if (!audio || !audio.device) { return; }
    clearInterval(audio.watchdog);
    stopNode(audio);
    audio.device = false;
    audio.path = 'timer';
    page.stats.audioDevice = false;
    page.stats.audioPath = audio.path;
    var state = page.audioContext ? page.audioContext.state : 'gone';
    page.audioNote = "the browser's sound output does not run (" + state + ')';
    runSilentTimer(audio, !audio.paused);
  };

  page.pauseAudio = function (paused) {
    var audio = page.audio;
    if (!audio || audio.paused === paused) { return; }
    audio.paused = paused;
    if (audio.device) {
      audio.heard = performance.now();
      if (audio.path === 'worklet' && audio.node) {
        audio.node.port.postMessage({ held: paused });
        fillWorklet(audio);
      }
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
    stopNode(audio);
  };
})(ZarvoPage);
