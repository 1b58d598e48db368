// The web backend's JavaScript functions (web_bridge.h), linked into zarvo.js with --js-library.
// Each hands over to the page's own code (web_page.js, ZarvoPage), which owns the document.
mergeInto(LibraryManager.library, {
  zarvo_web_next_event: function () {
    return ZarvoPage.nextEvent();
  },
  zarvo_web_wait_event: function () {
    return Asyncify.handleSleep(function (wakeUp) {
      ZarvoPage.waitEvent(function () { wakeUp(); });
    });
  },
  zarvo_web_wait_refresh: function (refreshes, period) {
    return Asyncify.handleSleep(function (wakeUp) {
      ZarvoPage.waitRefresh(refreshes, period, function () { wakeUp(); });
    });
  },
  zarvo_web_refresh_rate: function () {
    return ZarvoPage.refreshRate();
  },
  zarvo_web_sleep: function (milliseconds) {
    return Asyncify.handleSleep(function (wakeUp) {
      ZarvoPage.sleep(milliseconds, function () { wakeUp(); });
    });
  },
  zarvo_web_take_screen: function () {
    return ZarvoPage.takeScreen() ? 1 : 0;
  },
  zarvo_web_open_screen: function (width, height) {
    ZarvoPage.openScreen(width, height);
  },
  zarvo_web_close_screen: function () {
    ZarvoPage.closeScreen();
  },
  zarvo_web_show_picture: function (rgba, width, height) {
    ZarvoPage.showPicture(HEAPU8.subarray(rgba, rgba + width * height * 4), width, height);
  },
  zarvo_web_frame_shown: function (syncCount, turns) {
    ZarvoPage.frameShown(syncCount >>> 0, turns);
  },
  zarvo_web_save_still: function (rgba, width, height, name, line) {
    ZarvoPage.saveStill(HEAPU8.slice(rgba, rgba + width * height * 4), width, height,
                        UTF8ToString(name), UTF8ToString(line));
  },
  zarvo_web_show_cursor: function (shown) {
    ZarvoPage.showCursor(shown !== 0);
  },
  zarvo_web_screen_size: function (which) {
    return which === 0 ? (screen.width | 0) : (screen.height | 0);
  },
  zarvo_web_ask_sound: function () {
    return Asyncify.handleSleep(function (wakeUp) {
      ZarvoPage.askSound(function (choice) { wakeUp(choice); });
    });
  },
  zarvo_web_message_box: function (caption, text) {
    var captionText = UTF8ToString(caption);
    var bodyText = UTF8ToString(text);
    return Asyncify.handleSleep(function (wakeUp) {
      ZarvoPage.messageBox(captionText, bodyText, function () { wakeUp(); });
    });
  },
  zarvo_web_open_audio: function (wantDevice, rate) {
    return ZarvoPage.openAudio(wantDevice !== 0, rate, function (frames) {
      var pointer = Module['_zarvo_web_render'](frames);
      return HEAP16.subarray(pointer >> 1, (pointer >> 1) + frames * 2);
    }) ? 1 : 0;
  },
  zarvo_web_audio_note: function (buffer, size) {
    stringToUTF8(ZarvoPage.audioNote, buffer, size);
  },
  zarvo_web_pause_audio: function (paused) {
    ZarvoPage.pauseAudio(paused !== 0);
  },
  zarvo_web_abandon_audio: function () {
    ZarvoPage.abandonAudio();
  },
  zarvo_web_close_audio: function () {
    ZarvoPage.closeAudio();
  },
  zarvo_web_finished: function (code) {
    ZarvoPage.finished(code);
  },
});
