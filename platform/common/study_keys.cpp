// The study mode's keys and the jumps between sections.
#include "study_keys.h"

#include <algorithm>

namespace platform {

static const char kKeys[] = "Space  pause, resume\n"
                            ". ,    step (paused)\n"
                            "Left   previous section\n"
                            "Right  next section\n"
                            "Home   start again\n"
                            "F1 i   figures\n"
                            "g      traced grid\n"
                            "r      reference frame\n"
                            "s      still (PNG)\n"
                            "?      these keys\n";

const char* StudyKeysText() {
    return kKeys;
}

StudyAction StudyActionForKey(WPARAM key) {
    switch (key) {
    case VK_SPACE:
        return StudyAction::pause;
    case VK_OEM_PERIOD:
        return StudyAction::stepForward;
    case VK_OEM_COMMA:
        return StudyAction::stepBack;
    case VK_RIGHT:
        return StudyAction::nextSection;
    case VK_LEFT:
        return StudyAction::previousSection;
    case VK_HOME:
        return StudyAction::restart;
    case VK_F1:
    case 'I':
        return StudyAction::info;
    case 'G':
        return StudyAction::grid;
    case 'R':
        return StudyAction::reference;
    case 'S':
        return StudyAction::still;
    case VK_OEM_2:
        return StudyAction::help;
    default:
        return StudyAction::none;
    }
}

std::int64_t NextSection(const ShowSectionList& sections, std::int64_t frame) {
    const auto next = std::upper_bound(sections.starts.begin(), sections.starts.end(), frame);
    return next == sections.starts.end() ? frame : *next;
}

std::int64_t PreviousSection(const ShowSectionList& sections, std::int64_t frame) {
    const auto at = std::lower_bound(sections.starts.begin(), sections.starts.end(), frame);
    return at == sections.starts.begin() ? frame : *(at - 1);
}

} // namespace platform
