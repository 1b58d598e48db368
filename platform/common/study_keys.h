// The study mode's keys and its sections: what a key asks for, and where a section jump lands.
//
//   StudyActionForKey  the action of a WM_KEYDOWN's virtual key (none for every other key, which
//                      goes on to the intro)
//   NextSection / PreviousSection  the first section after `frame` / the last one before it (the
//                      frame itself when there is none)
#ifndef ZARVO_PLATFORM_COMMON_STUDY_KEYS_H
#define ZARVO_PLATFORM_COMMON_STUDY_KEYS_H

#include "study_replay.h"

#include <windows.h>

#include <cstdint>

namespace platform {

enum class StudyAction {
    none,
    pause,           // Space: pause or resume picture and music
    stepForward,     // '.'
    stepBack,        // ','
    nextSection,     // Right
    previousSection, // Left
    restart,         // Home
    info,            // F1 or I: the figures
    grid,            // G: the traced grid, enlarged without smoothing
    reference,       // R: the reference tracer's frame
    still,           // S: the picture written as a PNG
    help,            // '?': the keys
};

StudyAction StudyActionForKey(WPARAM key);

// The keys, for --help and the '?' overlay: one line per key.
const char* StudyKeysText();

std::int64_t NextSection(const ShowSectionList& sections, std::int64_t frame);
std::int64_t PreviousSection(const ShowSectionList& sections, std::int64_t frame);

} // namespace platform

#endif
