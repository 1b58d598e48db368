// The study mode: the show paused, stepped and sought, its figures, grid and reference frame
// shown over it, and stills written, for any backend with a screen and an event pump.
//
//   EnableStudy  wraps the backend's event pump and presentation (backend.h) in the study:
//                its keys (study_keys.h) are taken away before the intro sees them; while paused,
//                the pump holds the main loop between frames and shows the picture again at each
//                key; every picture is kept clean (for stills) and presented with the timeline and
//                what the keys turned on. Called by the backend's StartBackend after filling
//                `backend` (or with tables of the backend's own, which it then calls through). A
//                still goes to `writeStill` with its file name (in `stillFolder`) and its line
//                (null: no stills); `report` (null: standard output) tells the user the line, or
//                why it was not written. The study's keys come from `siftKeys`, which hands those
//                waiting to StudyTakeKey; text is drawn by `drawText` (null: none).
//   StudyTakeKey  a message for the study: true when it is one of its keys, which it keeps
//                for the next look at the pump and the intro must not see. A backend whose
//                messages are the system's (no stand-in queue to sift) calls it as they arrive.
//   StudyMusicTouched  the intro may have resumed the music (its window was activated while the
//                pump's wait dispatched its messages): a pause suspends it again
//
// A seek puts the show into the state the capture's frame of that number has (study_replay.h,
// at 60 frames a second): the scene replayed without rendering, the sync count of the frame set,
// and the music moved to the row playing then; the frame itself is then made by the show. A
// jump into the fade first makes the last main frame unseen, so that the show measures its fade
// from where the capture's did. Main thread only.
#ifndef ZARVO_PLATFORM_COMMON_STUDY_MODE_H
#define ZARVO_PLATFORM_COMMON_STUDY_MODE_H

#include "backend.h"
#include "study_picture.h"

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

struct StudySettings {
    std::string stillFolder = ".";
    // Writes a 320x200 picture (0x00RRGGBB, 320 pixels a row) as `path`; false with the reason.
    bool (*writeStill)(const std::string& path, const std::string& line,
                       const std::uint32_t* pixels, std::string& error) = nullptr;
    void (*report)(const std::string& line) = nullptr;
    // Gives the study's keys that wait to StudyTakeKey; true when other messages wait for the
    // intro (a pause lets them through). Null: the keys arrive by themselves, nothing else waits.
    bool (*siftKeys)() = nullptr;
    // Lines of text on a dark box, top-left at (x, y) (study_text.h's, or the backend's own).
    void (*drawText)(StudyPicture& picture, int x, int y,
                     const std::vector<std::string>& lines) = nullptr;
};

void EnableStudy(Backend& backend, const StudySettings& settings);

// For a `writeStill` that writes files: appends `line` to stills.txt in the folder of the still
// at `stillPath` ('/' or '\\' separates folders).
void AppendStillLine(const std::string& stillPath, const std::string& line);
bool StudyTakeKey(const MSG& msg);
void StudyMusicTouched();

} // namespace platform

#endif
