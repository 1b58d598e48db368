// The caption texts the show must display, written out apart from the intro's own table.
#ifndef ZARVO_TESTS_INTRO_EXPECTED_CAPTIONS_H
#define ZARVO_TESTS_INTRO_EXPECTED_CAPTIONS_H

// The timetable entry by entry; nullptr where nothing is shown. Kept as a second copy so that
// the tests compare the intro's table against the exact texts rather than against itself.
inline const char* const kCaptions[35] = {
    nullptr,
    nullptr,
    "A small 'we-were-here' intro...",
    "Everything made here at KV. No planning.",
    "And yes, that is raytracing.",
    nullptr,
    "Credits:",
    "Code: Rust Gnome",
    "Music: Mr. Ladle",
    "Lyrics: Mr. Ladle",
    "No gfx: brAmbl",
    "Tired: Mr. Ladle",
    "Bad Influence: Mr. Ladle",
    "Mr. Ladle: Mr. Ladle",
    nullptr,
    "Greets:",
    "Snerk-Wobble / QPL",
    "Wombat Assembly Club",
    "Grindstone / Tidal Works",
    "Fennick / Brassik",
    "Dr. Marrow / VKT",
    "Silent Otter / Tarnholm",
    "Mr. Ladle / Quillmoor",
    nullptr,
    "Greetings to everyone at KV from Hollin!",
    nullptr,
    "Greetings to Mr. Ladle from everyone at KV!",
    nullptr,
    nullptr,
    "The End",
    nullptr,
    nullptr,
    "Waiting for windows to crash...",
    nullptr,
    nullptr,
};

#endif
