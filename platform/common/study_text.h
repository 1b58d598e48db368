// The study's text where the stand-in's font is (study_mode.h's drawText), and its keys taken
// from the stand-in's message queue (study_mode.h's siftKeys).
//
//   DrawStudyText         lines of text in the system font (gdi_font.h) on a dark box,
//                         top-left at (x, y); nothing when there is no font
//   SiftQueuedStudyKeys   the study's keys taken out of the message queue (message_queue.h)
#ifndef ZARVO_PLATFORM_COMMON_STUDY_TEXT_H
#define ZARVO_PLATFORM_COMMON_STUDY_TEXT_H

#include "study_picture.h"

#include <string>
#include <vector>

namespace platform {

void DrawStudyText(StudyPicture& picture, int x, int y, const std::vector<std::string>& lines);
bool SiftQueuedStudyKeys();

} // namespace platform

#endif
