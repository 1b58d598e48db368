// Every pitched instrument of the song, played through libopenmpt at A-4, sounds at 440 Hz:
// its relative note and finetune are right for the way its sample was synthesized.
#include "compose.h"
#include "rendered_module.h"
#include "song_parser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <string>

namespace musictest {
namespace {

// Pitch of a mono signal near `expectedHz`, by the peak of its normalised autocorrelation
// within a semitone of the expected period, refined by a parabola through the peak.
double MeasurePitch(const std::vector<double>& x, double expectedHz) {
    const double period = kRenderRate / expectedHz;
    const int low = static_cast<int>(period / 1.06);
    const int high = static_cast<int>(period * 1.06) + 1;
    const size_t n = x.size() - static_cast<size_t>(high) - 1;
    std::vector<double> r(static_cast<size_t>(high + 2), 0.0);
    for (int lag = low - 1; lag <= high + 1; ++lag) {
        double xy = 0.0;
        double xx = 0.0;
        double yy = 0.0;
        for (size_t i = 0; i < n; ++i) {
            xy += x[i] * x[i + static_cast<size_t>(lag)];
            xx += x[i] * x[i];
            yy += x[i + static_cast<size_t>(lag)] * x[i + static_cast<size_t>(lag)];
        }
        r[static_cast<size_t>(lag)] = xy / std::sqrt(xx * yy + 1e-30);
    }
    int best = low;
    for (int lag = low; lag <= high; ++lag) {
        if (r[static_cast<size_t>(lag)] > r[static_cast<size_t>(best)]) {
            best = lag;
        }
    }
    double a = r[static_cast<size_t>(best - 1)];
    double b = r[static_cast<size_t>(best)];
    double c = r[static_cast<size_t>(best + 1)];
    double offset = 0.5 * (a - c) / (a - 2.0 * b + c);
    return kRenderRate / (best + offset);
}

TEST(Tuning, EveryPitchedInstrumentPlaysA4At440Hz) {
    std::vector<uint8_t> bytes = ReadFile(ZARVO_SONG_PATH);
    std::string text(bytes.begin(), bytes.end());
    compose::Song song = compose::ParseSong(text, "zarvo.song");
    // The song's own header and instruments, then one A-4 per pitched instrument.
    std::string probe = text.substr(0, text.find("\nphrase ") + 1);
    std::vector<std::string> tested;
    std::vector<double> fundamental;
    std::string order = "order";
    for (const compose::Instrument& ins : song.instruments) {
        // Voices at whole multiples or whole fractions of the note share one fundamental;
        // chord samples (6/5, 5/4) have no single pitch and are left out.
        bool harmonic = !ins.drum;
        int lowest = 1;
        for (const compose::Voice& v : ins.voices) {
            harmonic = harmonic && (v.ratioNum == 1 || v.ratioDen == 1);
            lowest = std::max(lowest, v.ratioNum == 1 ? v.ratioDen : 1);
        }
        if (!harmonic) {
            continue;
        }
        fundamental.push_back(440.0 / lowest);
        probe += "phrase probe_" + ins.name + " ins=" + ins.name + " step=128\n  A-4\n";
        probe +=
            "section at_" + ins.name + "\n  " + song.channels[0] + ": probe_" + ins.name + "\n";
        order += " at_" + ins.name;
        tested.push_back(ins.name);
    }
    ASSERT_GE(tested.size(), 3u);
    probe += order + "\n";
    openmpt::module m(compose::ComposeModule(probe, "probe.song"));
    m.set_repeat_count(0);
    const size_t sectionFrames = static_cast<size_t>(kSectionSeconds * kRenderRate);
    std::vector<float> audio(2 * sectionFrames);
    for (size_t t = 0; t < tested.size(); ++t) {
        const std::string& name = tested[t];
        size_t got = 0;
        while (got < sectionFrames) {
            size_t frames =
                m.read_interleaved_stereo(kRenderRate, sectionFrames - got, audio.data() + 2 * got);
            ASSERT_GT(frames, 0u);
            got += frames;
        }
        // 0.1 s to 0.4 s: past the attack, before a decaying instrument has died away and
        // while an auto-vibrato is still sweeping in.
        std::vector<double> mono;
        for (size_t i = kRenderRate / 10; i < kRenderRate * 4 / 10; ++i) {
            mono.push_back(audio[2 * i] + audio[2 * i + 1]);
        }
        double hz = MeasurePitch(mono, fundamental[t]);
        double cents = 1200.0 * std::log2(hz / fundamental[t]);
        std::printf("%-8s A-4, fundamental %.2f Hz (%+.1f cents)\n", name.c_str(), hz, cents);
        EXPECT_LT(std::fabs(cents), 5.0) << name << " plays A-4 at " << hz << " Hz";
    }
}

} // namespace
} // namespace musictest
