// The song as the composer understands it: instruments with their synthesis parameters, phrases
// (short lines of cells for one channel), sections that place phrases on channels, and the order.
#ifndef ZARVO_TOOLS_COMPOSER_SONG_H
#define ZARVO_TOOLS_COMPOSER_SONG_H

#include <cstdint>
#include <string>
#include <vector>

namespace compose {

// One pattern cell, with the values the XM file stores.
struct Cell {
    uint8_t note = 0;       // 0 none, 1..96 C-0..B-7, 97 key-off
    uint8_t instrument = 0; // 0 none, 1..128
    uint8_t volume = 0;     // volume column byte (0x10..0x50 sets volume 0..64)
    uint8_t effect = 0;     // effect type byte
    uint8_t parameter = 0;  // effect parameter
    bool operator==(const Cell& other) const {
        return note == other.note && instrument == other.instrument && volume == other.volume &&
               effect == other.effect && parameter == other.parameter;
    }
};

constexpr uint8_t kKeyOff = 97;
constexpr uint8_t kEffectSync = 0x20; // W

enum class Shape { Sine, Saw, Square, Triangle, Pulse };

// One oscillator of a looped (tonal) instrument, built additively so that it stays band-limited.
struct Voice {
    Shape shape = Shape::Sine;
    int level = 100;    // percent of full scale before the instrument is normalised
    int harmonics = 64; // highest harmonic kept (further limited by the sample's Nyquist rate)
    int ratioNum = 1;   // frequency relative to the fundamental, as a fraction
    int ratioDen = 1;
    int detune = 0; // extra cycles over the whole loop: a slow, perfectly looping beat
    int duty = 50;  // pulse width in percent, for Shape::Pulse
};

// A pitched component of a one-shot (drum) instrument: a sine that sweeps down and decays.
struct Tone {
    int fromHz = 0;
    int toHz = 0;
    int sweepMs = 1; // time constant of the pitch sweep
    int decayMs = 1; // time constant of the amplitude decay
    int level = 0;
};

// A noise component of a one-shot instrument, shaped by a low-pass and a high-pass filter.
struct NoiseBurst {
    int level = 0;
    int decayMs = 1;
    int lowpassHz = 0;  // 0: no low-pass
    int highpassHz = 0; // 0: no high-pass
    int attackMs = 0;
};

struct EnvelopePoint {
    int tick = 0;
    int value = 0; // 0..64
};

struct Instrument {
    std::string name;
    int line = 0; // where it was declared, for messages
    bool drum = false;
    // Tonal: cycle frames at the base note and cycles in the loop.
    int cycleFrames = 64;
    int loopCycles = 64;
    std::vector<Voice> voices;
    // Drum: sample rate and length.
    int rate = 22050;
    int lengthMs = 200;
    std::vector<Tone> tones;
    std::vector<NoiseBurst> noises;
    int drive = 100; // percent; above 100 soft-saturates the drum before normalising
    // Common.
    int baseNote = 49; // the pattern note at which the sample sounds at its own pitch (C-4)
    int volume = 64;
    int pan = 128;
    std::vector<EnvelopePoint> envelope;
    int sustainPoint = -1;
    int loopStart = -1;
    int loopEnd = -1;
    int fadeout = 0;
    int vibratoType = 0;
    int vibratoSweep = 0;
    int vibratoDepth = 0;
    int vibratoRate = 0;
};

// A line of cells for one channel. Its length is its cell count; placed in a section it repeats
// to fill the section.
struct Phrase {
    std::string name;
    int line = 0;
    std::vector<Cell> cells;
};

// One use of a phrase on a channel: transposed by some semitones, turned by some rows, made
// quieter, played `repeat` times. Written name[+N|-N][>ROWS][=VV][*R], VV in hex.
struct PhraseUse {
    int phrase = 0;
    int transpose = 0;
    int repeat = 1;
    int delay = 0;   // rows the phrase is turned right by (its tail wraps to the front): echoes
    int volume = -1; // 0..64: scales every note's volume (64 = as written); -1 leaves them
};

struct Section {
    std::string name;
    int line = 0;
    // Per channel (index as in Song::channels); an empty list leaves the channel silent.
    std::vector<std::vector<PhraseUse>> channels;
};

struct Song {
    std::string title = "Untitled";
    int speed = 6;
    int bpm = 125;
    int rows = 64;                     // rows of every section
    int restart = 0;                   // order index where the song continues after its end
    std::vector<std::string> channels; // named music channels; the sync channel comes after them
    std::vector<Instrument> instruments;
    std::vector<Phrase> phrases;
    std::vector<Section> sections;
    std::vector<int> order; // section indices
};

} // namespace compose

#endif
