// Instrument synthesis: turns an instrument's description into 16-bit sample data with its
// relative note and finetune, deterministically (det_math only).
#ifndef ZARVO_TOOLS_COMPOSER_SYNTH_H
#define ZARVO_TOOLS_COMPOSER_SYNTH_H

#include "song.h"

#include <cstdint>
#include <vector>

namespace compose {

struct SampleData {
    std::vector<int16_t> frames;
    uint32_t loopStart = 0;  // frames
    uint32_t loopLength = 0; // frames; 0 = one-shot
    int relativeNote = 0;
    int finetune = 0; // a multiple of 8, so every player rounds it alike
};

// Peak of a synthesized sample, as a fraction of 16-bit full scale.
constexpr double kSamplePeak = 0.94;

// Relative note and finetune that make data meant for `rate` frames per second sound at that
// rate when pattern note `note` is played (1 = C-0, 49 = C-4).
void TuneForRate(double rate, int note, int& relativeNote, int& finetune);

// Equal-tempered pitch of a pattern note with A-4 (note 58) at 440 Hz.
double NoteHz(int note);

SampleData Synthesize(const Instrument& instrument);

} // namespace compose

#endif
