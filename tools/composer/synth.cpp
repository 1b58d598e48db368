// Instrument synthesis. Tonal instruments are additive sums of band-limited harmonics over a loop
// that holds a whole number of cycles of every partial, so the loop point is seamless. Drums are
// one-shot sweeps and filtered noise bursts.
#include "synth.h"

#include "det_math.h"

#include <cstdlib>

namespace compose {

namespace {

constexpr double kFullScale = 32767.0;

// Harmonic k's amplitude and phase offset (in turns) for a shape; amplitude 0 skips it.
struct Partial {
    double amplitude;
    double phase;
};

Partial PartialOf(const Voice& v, int k) {
    switch (v.shape) {
    case Shape::Sine:
        return {k == 1 ? 1.0 : 0.0, 0.0};
    case Shape::Saw:
        return {1.0 / k, 0.0};
    case Shape::Square:
        return {k % 2 == 1 ? 1.0 / k : 0.0, 0.0};
    case Shape::Triangle:
        return {k % 2 == 1 ? 1.0 / (static_cast<double>(k) * k) : 0.0, k % 4 == 3 ? 0.5 : 0.0};
    case Shape::Pulse: {
        // A pulse is a saw minus the same saw delayed by the duty: harmonic k gets
        // 2 sin(pi k d)/k, shifted by a quarter turn minus half the delay.
        double d = v.duty / 100.0;
        double a = 2.0 * SineTurns(0.5 * k * d) / k;
        return {a, 0.25 - 0.5 * k * d};
    }
    }
    return {0.0, 0.0};
}

std::vector<double> TonalWave(const Instrument& ins) {
    const int64_t n = static_cast<int64_t>(ins.cycleFrames) * ins.loopCycles;
    std::vector<double> wave(static_cast<size_t>(n), 0.0);
    for (const Voice& v : ins.voices) {
        // Cycles of this voice in the loop: the nearest whole number, so the loop stays seamless.
        int64_t cycles = (static_cast<int64_t>(ins.loopCycles) * v.ratioNum * 2 + v.ratioDen) /
                             (2 * v.ratioDen) +
                         v.detune;
        if (cycles <= 0) {
            continue;
        }
        double level = v.level / 100.0;
        for (int k = 1; k <= v.harmonics; ++k) {
            // Keep every partial below 0.45 of the sample's own rate.
            if (static_cast<double>(k) * cycles / n >= 0.45) {
                break;
            }
            Partial p = PartialOf(v, k);
            if (p.amplitude == 0.0) {
                continue;
            }
            int64_t step = (k * cycles) % n;
            int64_t position = 0;
            for (int64_t i = 0; i < n; ++i) {
                double turns = static_cast<double>(position) / static_cast<double>(n) + p.phase;
                wave[static_cast<size_t>(i)] += level * p.amplitude * SineTurns(turns);
                position += step;
                if (position >= n) {
                    position -= n;
                }
            }
        }
    }
    return wave;
}

// exp(-1 / (ms * rate / 1000)): the per-frame factor of a decay with time constant `ms`.
double DecayFactor(int ms, int rate) {
    return Exp(-1000.0 / (static_cast<double>(ms) * rate));
}

// One-pole low-pass coefficient for a corner at `hz`.
double OnePole(int hz, int rate) {
    return 1.0 - Exp(-2.0 * kPi * hz / rate);
}

std::vector<double> DrumWave(const Instrument& ins) {
    const int64_t n = static_cast<int64_t>(ins.rate) * ins.lengthMs / 1000;
    std::vector<double> wave(static_cast<size_t>(n), 0.0);
    for (const Tone& t : ins.tones) {
        double sweep = DecayFactor(t.sweepMs, ins.rate);
        double decay = DecayFactor(t.decayMs, ins.rate);
        double excess = t.fromHz - t.toHz; // shrinks by `sweep` every frame
        double amplitude = t.level / 100.0;
        double phase = 0.0;
        for (int64_t i = 0; i < n; ++i) {
            wave[static_cast<size_t>(i)] += amplitude * SineTurns(phase);
            phase += (t.toHz + excess) / ins.rate;
            if (phase >= 1.0) {
                phase -= 1.0;
            }
            excess *= sweep;
            amplitude *= decay;
        }
    }
    Noise noise;
    for (const NoiseBurst& b : ins.noises) {
        double decay = DecayFactor(b.decayMs, ins.rate);
        double low = b.lowpassHz > 0 ? OnePole(b.lowpassHz, ins.rate) : 1.0;
        double high = b.highpassHz > 0 ? OnePole(b.highpassHz, ins.rate) : 0.0;
        int64_t attack = static_cast<int64_t>(b.attackMs) * ins.rate / 1000;
        double amplitude = b.level / 100.0;
        double lowState = 0.0;
        double highState = 0.0;
        for (int64_t i = 0; i < n; ++i) {
            lowState += low * (noise.Next() - lowState);
            highState += high * (lowState - highState);
            double shaped = lowState - highState;
            double ramp = i < attack ? static_cast<double>(i) / attack : 1.0;
            wave[static_cast<size_t>(i)] += amplitude * ramp * shaped;
            if (i >= attack) {
                amplitude *= decay;
            }
        }
    }
    if (ins.drive > 100) {
        double gain = ins.drive / 100.0;
        for (double& x : wave) {
            double y = x * gain;
            x = y / (1.0 + (y < 0.0 ? -y : y));
        }
    }
    // A 3 ms fade at the end, so a sample cut off while still sounding does not click.
    int64_t tail = ins.rate * 3 / 1000;
    for (int64_t i = 0; i < tail && i < n; ++i) {
        wave[static_cast<size_t>(n - 1 - i)] *= static_cast<double>(i) / tail;
    }
    return wave;
}

std::vector<int16_t> Normalise(const std::vector<double>& wave) {
    double peak = 0.0;
    for (double x : wave) {
        double a = x < 0.0 ? -x : x;
        if (a > peak) {
            peak = a;
        }
    }
    double gain = peak > 0.0 ? kSamplePeak * kFullScale / peak : 0.0;
    std::vector<int16_t> frames(wave.size());
    for (size_t i = 0; i < wave.size(); ++i) {
        frames[i] = static_cast<int16_t>(RoundToInt(wave[i] * gain));
    }
    return frames;
}

} // namespace

double NoteHz(int note) {
    return 440.0 * Exp2((note - 58) / 12.0);
}

void TuneForRate(double rate, int note, int& relativeNote, int& finetune) {
    double s = 12.0 * Log2(rate / 8363.0) - (note - 49);
    relativeNote = static_cast<int>(RoundToInt(s));
    finetune = 8 * static_cast<int>(RoundToInt(16.0 * (s - relativeNote)));
    if (finetune > 120) { // FT2 keeps finetune within -128..127
        finetune -= 128;
        relativeNote += 1;
    }
}

SampleData Synthesize(const Instrument& ins) {
    SampleData sample;
    if (ins.drum) {
        sample.frames = Normalise(DrumWave(ins));
        TuneForRate(ins.rate, ins.baseNote, sample.relativeNote, sample.finetune);
    } else {
        sample.frames = Normalise(TonalWave(ins));
        sample.loopStart = 0;
        sample.loopLength = static_cast<uint32_t>(sample.frames.size());
        TuneForRate(NoteHz(ins.baseNote) * ins.cycleFrames, ins.baseNote, sample.relativeNote,
                    sample.finetune);
    }
    return sample;
}

} // namespace compose
