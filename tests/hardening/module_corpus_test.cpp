// The module path's seed corpus: modules from the composer and the test writer, their
// truncations and mutated headers, each driven through load, start and rendering at every rate;
// the corpus is written out for the fuzzer (ZARVO_FUZZ_CORPUS, else the build's fuzz-corpus).
#include "compose.h"
#include "module_path.h"
#include "xm_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Seed {
    std::string name;
    Bytes bytes;
};

// Two small songs in the composer's language: one section looping from its start, and two
// sections with a restart into the second, with effects and a key-off.
const char kSongOne[] = R"(title "seed one"
speed 3
bpm 150
rows 16
channels lead
instrument lead
  tonal cycle=64 loop=16
  voice square level=80 harmonics=9
  envelope 0:64 4:40 sustain=1
  volume 40
phrase tune ins=lead step=4
  C-4 E-4 G-4 ^
section a
  lead: tune
order a a
)";

const char kSongTwo[] = R"(title "seed two"
speed 2
bpm 200
rows 32
channels kick lead
instrument kick
  drum rate=22050 length=60
  tone from=190 to=46 sweep=28 decay=40 level=100
  volume 50
instrument lead
  tonal cycle=32 loop=8
  voice saw level=70 harmonics=5
  vibrato sweep=4 depth=3 rate=10
  volume 44
phrase beat ins=kick step=8
  C-4 . C-4 C-4
phrase line ins=lead step=2
  A-4!037 . C-5:20 . E-5!A04 . ^ . G-4 . . . . . . .
section a
  kick: beat
section b
  kick: beat
  lead: line+3
order a b b
restart 1
)";

void Put16(Bytes& bytes, std::size_t at, unsigned value) {
    if (at + 1 < bytes.size()) {
        bytes[at] = static_cast<std::uint8_t>(value & 0xFF);
        bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
    }
}

void Put32(Bytes& bytes, std::size_t at, std::uint32_t value) {
    Put16(bytes, at, value & 0xFFFF);
    Put16(bytes, at + 2, value >> 16);
}

// Test-writer songs with what moves a player's position: loops, jumps, delays, tempo changes.
std::vector<Seed> WriterSeeds() {
    std::vector<Seed> seeds;
    xmtest::Song loops;
    loops.patterns.push_back(xmtest::PatternWithSyncs(8, {0, 1, 2, 3, 4, 5, 6, 7}));
    loops.patterns[0].cells[1][0].effect = xmtest::kEffectExtended;
    loops.patterns[0].cells[1][0].parameter = 0x60; // loop start
    loops.patterns[0].cells[4][0].effect = xmtest::kEffectExtended;
    loops.patterns[0].cells[4][0].parameter = 0x62; // loop twice
    loops.patterns[0].cells[5][0].effect = xmtest::kEffectExtended;
    loops.patterns[0].cells[5][0].parameter = 0xE3; // pattern delay
    seeds.push_back({"writer-loops", xmtest::BuildXm(loops)});

    xmtest::Song jumps;
    jumps.speed = 1;
    jumps.bpm = 255;
    jumps.orders = {0, 1, 0};
    jumps.patterns.push_back(xmtest::PatternWithSyncs(4, {0, 3}));
    jumps.patterns.push_back(xmtest::PatternWithSyncs(64, {0, 10}));
    jumps.patterns[0].cells[3][0].effect = xmtest::kEffectJump;
    jumps.patterns[0].cells[3][0].parameter = 2;
    jumps.patterns[1].cells[10][0].effect = xmtest::kEffectBreak;
    jumps.patterns[1].cells[10][0].parameter = 0x05;
    jumps.patterns[1].cells[2][0].effect = xmtest::kEffectSpeedTempo;
    jumps.patterns[1].cells[2][0].parameter = 0x1F;
    seeds.push_back({"writer-jumps", xmtest::BuildXm(jumps)});
    return seeds;
}

// Cuts inside the header, the order table, the first pattern and the last byte; and headers
// whose counts and sizes are zero, one past their limits, or far out.
std::vector<Seed> DamagedSeeds(const Seed& module) {
    std::vector<Seed> seeds;
    const Bytes& bytes = module.bytes;
    for (std::size_t cut : {std::size_t{17}, std::size_t{64}, std::size_t{81}, std::size_t{340},
                            bytes.size() / 2, bytes.size() - 1}) {
        if (cut < bytes.size()) {
            seeds.push_back({module.name + "-cut" + std::to_string(cut),
                             Bytes(bytes.begin(), bytes.begin() + static_cast<long>(cut))});
        }
    }
    const std::pair<const char*, void (*)(Bytes&)> mutations[] = {
        {"header-size-0", [](Bytes& b) { Put32(b, 60, 0); }},
        {"header-size-huge", [](Bytes& b) { Put32(b, 60, 0xFFFFFFF0u); }},
        {"orders-0", [](Bytes& b) { Put16(b, 64, 0); }},
        {"orders-257", [](Bytes& b) { Put16(b, 64, 257); }},
        {"restart-far", [](Bytes& b) { Put16(b, 66, 0xFFFF); }},
        {"channels-0", [](Bytes& b) { Put16(b, 68, 0); }},
        {"channels-255", [](Bytes& b) { Put16(b, 68, 255); }},
        {"patterns-257", [](Bytes& b) { Put16(b, 70, 257); }},
        {"instruments-255", [](Bytes& b) { Put16(b, 72, 255); }},
        {"speed-0-bpm-0", [](Bytes& b) { Put32(b, 76, 0); }},
        {"bpm-huge", [](Bytes& b) { Put16(b, 78, 0xFFFF); }},
        {"orders-to-missing-patterns", [](Bytes& b) { Put32(b, 80, 0xFEFDFCFBu); }},
        {"pattern-rows-0", [](Bytes& b) { Put16(b, 341, 0); }},
        {"pattern-rows-huge", [](Bytes& b) { Put16(b, 341, 0xFFFF); }},
        {"pattern-size-huge", [](Bytes& b) { Put16(b, 343, 0xFFFF); }},
    };
    for (const auto& [name, mutate] : mutations) {
        Bytes changed = bytes;
        mutate(changed);
        seeds.push_back({module.name + "-" + name, std::move(changed)});
    }
    return seeds;
}

TEST(ModuleCorpus, EverySeedLoadsOrIsRefusedAndPlaysWithinThePlayersContracts) {
    std::vector<Seed> valid = WriterSeeds();
    valid.push_back({"composed-one", compose::ComposeModule(kSongOne, "seed-one.xm")});
    valid.push_back({"composed-two", compose::ComposeModule(kSongTwo, "seed-two.xm")});
    std::vector<Seed> all = valid;
    for (const Seed& module : valid) {
        const hardening::PathResult result =
            hardening::ExerciseModulePath(module.bytes.data(), module.bytes.size());
        ASSERT_TRUE(result.loaded) << module.name << ": " << result.error;
        EXPECT_EQ(result.violation, "") << module.name;
        // Four rates, a twentieth of a second each, every start reporting its first row's W.
        EXPECT_GT(result.musicFrames, 4 * 8000u / 20) << module.name;
        EXPECT_GE(result.syncs, 4u) << module.name;
        const std::vector<Seed> damaged = DamagedSeeds(module);
        all.insert(all.end(), damaged.begin(), damaged.end());
    }
    int refused = 0;
    for (const Seed& seed : all) {
        const hardening::PathResult result =
            hardening::ExerciseModulePath(seed.bytes.data(), seed.bytes.size());
        EXPECT_EQ(result.violation, "") << seed.name;
        if (!result.loaded) {
            ++refused;
            EXPECT_NE(result.error, "") << seed.name;
        }
        if (seed.name.find("-cut17") != std::string::npos ||
            seed.name.find("-cut64") != std::string::npos) {
            EXPECT_FALSE(result.loaded) << seed.name << ": a header cut short is no module";
        }
    }
    EXPECT_GE(refused, 8);

    const char* folder = std::getenv("ZARVO_FUZZ_CORPUS");
    const std::string corpus = folder != nullptr ? folder : ZARVO_FUZZ_CORPUS_DIR;
    mkdir(corpus.c_str(), 0755);
    for (const Seed& seed : all) {
        FILE* file = std::fopen((corpus + "/" + seed.name + ".xm").c_str(), "wb");
        ASSERT_NE(file, nullptr) << corpus;
        EXPECT_EQ(std::fwrite(seed.bytes.data(), 1, seed.bytes.size(), file), seed.bytes.size());
        EXPECT_EQ(std::fclose(file), 0);
    }
}

} // namespace
