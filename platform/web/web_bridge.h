// The page's side of the web backend: the JavaScript functions (web_library.js) the backend calls.
//
// Those marked "suspends" return to the browser until their answer is there: the program's
// stack is put aside (Emscripten's ASYNCIFY) and taken up again where it was, so the intro's
// blocking loop runs unchanged. Everything else returns at once. Strings are UTF-8 (the intro's
// texts are ASCII). Main thread only: there is no other.
//   zarvo_web_next_event    the oldest event of the page not yet taken, or 0 when none waits:
//                           kind << 16 | value (web_events.h)
//   zarvo_web_wait_event    suspends until an event waits (or a quarter of a second has passed)
//   zarvo_web_wait_refresh  suspends until the picture is due: `refreshes` animation frames
//                           after the last picture's (the next one when they have gone by), or
//                           with `refreshes` 0 the next point of a timer every `period`
//                           milliseconds (a short timer while the page is hidden, where
//                           animation frames stop); an event arriving ends the wait at once
//   zarvo_web_refresh_rate  the display's refresh rate measured from the page's animation
//                           frames, in Hz; 0 until there are enough of them
//   zarvo_web_sleep         suspends for `milliseconds` (short ones are not slowed down in a
//                           hidden page, as the browser's timers are)
//   zarvo_web_take_screen   asks for the whole screen (Fullscreen API); 0 when the page may not
//   zarvo_web_open_screen   shows the picture's canvas at width x height, black
//   zarvo_web_close_screen  takes the canvas away
//   zarvo_web_show_picture  puts width x height RGBA bytes on the canvas
//   zarvo_web_frame_shown   a picture went up: the sync count and light turns it was drawn at
//                           (turns -1: not rendered); the page keeps the figures
//   zarvo_web_save_still    the study mode's still: width x height RGBA bytes, its file name and
//                           its line; the page offers it as a download and keeps it in its
//                           figures
//   zarvo_web_show_cursor   shows or hides the pointer over the picture
//   zarvo_web_screen_size   the screen's width (0) or height (1) in CSS pixels
//   zarvo_web_ask_sound     suspends on the first screen until the user chooses: 0 play with
//                           sound, 1 no sound, 2 cancel; the choice to play also unlocks sound
//   zarvo_web_message_box   writes "caption: text" to the console and suspends on an in-page box
//                           until it is dismissed
//   zarvo_web_open_audio    starts the sound output at `rate` (paused): 1 with WebAudio playing
//                           what zarvo_web_render gives, 0 with a timer that renders at the same
//                           pace and throws the sound away (`wantDevice` 0, or no WebAudio); the
//                           reason for an unwanted silence is in zarvo_web_audio_note
//   zarvo_web_audio_note    why the last zarvo_web_open_audio gave no sound (empty: it did, or
//                           silence was asked for), into `buffer` (cut to `size` with its null)
//   zarvo_web_pause_audio   pauses (1) or resumes (0): no rendering happens while paused
//   zarvo_web_abandon_audio lets go of WebAudio, which has stopped asking for sound: the timer
//                           renders from now on; the reason is in zarvo_web_audio_note
//   zarvo_web_close_audio   stops the output; nothing renders after it
//   zarvo_web_finished      the program has ended with `code`: the page says so
#ifndef ZARVO_PLATFORM_WEB_WEB_BRIDGE_H
#define ZARVO_PLATFORM_WEB_WEB_BRIDGE_H

#include <cstdint>

extern "C" {

int zarvo_web_next_event();
void zarvo_web_wait_event();
void zarvo_web_wait_refresh(int refreshes, double period);
double zarvo_web_refresh_rate();
void zarvo_web_sleep(double milliseconds);
int zarvo_web_take_screen();
void zarvo_web_open_screen(int width, int height);
void zarvo_web_close_screen();
void zarvo_web_show_picture(const std::uint8_t* rgba, int width, int height);
void zarvo_web_frame_shown(std::uint32_t syncCount, int turns);
void zarvo_web_save_still(const std::uint8_t* rgba, int width, int height, const char* name,
                          const char* line);
void zarvo_web_show_cursor(int shown);
int zarvo_web_screen_size(int which);
int zarvo_web_ask_sound();
void zarvo_web_message_box(const char* caption, const char* text);
int zarvo_web_open_audio(int wantDevice, int rate);
void zarvo_web_audio_note(char* buffer, int size);
void zarvo_web_pause_audio(int paused);
void zarvo_web_abandon_audio();
void zarvo_web_close_audio();
void zarvo_web_finished(int code);

// Called by the page: renders `frames` stereo frames of 16-bit sound and returns where they are
// (valid until the next call). Silence when nothing is open.
std::int16_t* zarvo_web_render(int frames);
}

#endif
