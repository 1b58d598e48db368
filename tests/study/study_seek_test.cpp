// The study mode's seeks against zarvo-capture: the frames' sync counts and phases over the
// whole show, the sections, and the pictures the show draws from a replayed state.
#include "capture_png_writer.h"
#include "study_keys.h"
#include "study_replay.h"
#include "study_show.h"
#include "study_timeline.h"
#include "temp_folder.h"

#include "raytrace/primary_rays.h"
#include "raytrace/render_frame.h"
#include "raytrace/scene.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

using platform::Phase;

struct CsvRow {
    std::uint32_t clock = 0;
    std::string phase;
};

// Runs zarvo-capture in `dir` with `args` (from the build folder, where Zarvo.xm lies) and reads
// its frames.csv.
std::vector<CsvRow> Capture(const std::string& dir, const std::string& args) {
    const std::string command = std::string("cd '") + ZARVO_BUILD_DIR + "' && '" +
                                ZARVO_CAPTURE_PATH + "' --out '" + dir + "/out' --quiet " + args +
                                " >/dev/null 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0) << command;
    std::ifstream csv(dir + "/out/frames.csv");
    std::string line;
    std::getline(csv, line);
    std::vector<CsvRow> rows;
    while (std::getline(csv, line)) {
        std::istringstream fields(line);
        std::string frame;
        std::string clock;
        CsvRow row;
        std::getline(fields, frame, ',');
        std::getline(fields, clock, ',');
        std::getline(fields, row.phase, ',');
        row.clock = static_cast<std::uint32_t>(std::stoul(clock));
        rows.push_back(row);
    }
    return rows;
}

platform::StudyTimeline Timeline() {
    platform::StudyTimeline timeline;
    std::string error;
    EXPECT_TRUE(
        platform::BuildStudyTimeline(ZARVO_BUILD_DIR "/Zarvo.xm", 60, 48000, timeline, error))
        << error;
    return timeline;
}

class StudySeek : public capturetest::TempFolderTest {};

// Every frame of the capture's whole show: the count it is drawn at and its phase, as the
// replay works them out without rendering; the show ends where the capture's did; the sections
// land where the captions, the last main frame and the fade begin.
TEST_F(StudySeek, ReplaysTheCapturesWholeShow) {
    const std::vector<CsvRow> rows = Capture(dir_, "--no-frames");
    ASSERT_GT(rows.size(), 1000u);
    const platform::StudyTimeline timeline = Timeline();
    ASSERT_GT(timeline.Frames(), static_cast<std::int64_t>(rows.size()));

    platform::StudyShowState state = platform::InitialShowState();
    std::uint32_t turns = 0;
    for (std::size_t n = 0; n < rows.size(); ++n) {
        ASSERT_EQ(timeline.clocks[n], rows[n].clock) << "frame " << n;
        const Phase phase =
            platform::ReplayFrame(state, timeline.clocks[n], timeline.clocks[n + 1]);
        ASSERT_FALSE(state.ended) << "frame " << n;
        ASSERT_EQ(platform::PhaseName(phase), rows[n].phase) << "frame " << n;
        turns += phase == Phase::opening ? 0 : 1;
    }
    EXPECT_EQ(state.lightTurns, turns);
    platform::ReplayFrame(state, timeline.clocks[rows.size()], timeline.clocks[rows.size() + 1]);
    EXPECT_TRUE(state.ended);

    const platform::ShowSectionList sections = platform::ShowSections(timeline);
    EXPECT_EQ(sections.lastFrame, static_cast<std::int64_t>(rows.size()) - 1);
    ASSERT_GE(sections.starts.size(), 5u);
    EXPECT_EQ(sections.starts.front(), 0);
    // The captions: each the first frame of a new 128-count window.
    for (std::size_t i = 1; i + 2 < sections.starts.size(); ++i) {
        const std::int64_t start = sections.starts[i];
        EXPECT_LT(rows[start - 1].clock >> 7, rows[start].clock >> 7) << "section " << i;
    }
    // The third caption is the fifth window's ("And yes, that is raytracing.").
    EXPECT_EQ(rows[sections.starts[3]].clock >> 7, 4u);
    const std::int64_t lastMain = sections.starts[sections.starts.size() - 2];
    EXPECT_EQ(rows[lastMain].phase, "main");
    EXPECT_EQ(rows[lastMain + 1].phase, "fade");
    EXPECT_EQ(sections.starts.back(), lastMain + 1);

    // Right from the start visits every section in order, Left from the end every one back.
    std::int64_t frame = 0;
    for (std::size_t i = 1; i < sections.starts.size(); ++i) {
        frame = platform::NextSection(sections, frame);
        EXPECT_EQ(frame, sections.starts[i]);
    }
    EXPECT_EQ(platform::NextSection(sections, frame), frame);
    frame = sections.lastFrame;
    for (std::size_t i = sections.starts.size(); i-- > 0;) {
        frame = platform::PreviousSection(sections, frame);
        EXPECT_EQ(frame, sections.starts[i]);
    }
}

// The show's scene put into the replayed state of a frame, rendered as the show renders it, is
// the capture's picture of that frame: a main frame with no text on it, the next one (a step)
// and a frame of the fade, where the lights have dimmed; the reference tracer's cells of the
// same state are within one step of it.
TEST_F(StudySeek, ReplayedStatesDrawTheCapturesPictures) {
    const platform::StudyTimeline timeline = Timeline();
    const platform::ShowSectionList sections = platform::ShowSections(timeline);
    InitPrimaryRays();
    ASSERT_EQ(InitScene(), 1);
    // Counts 640 to 767 have no caption, and the title has gone.
    const std::int64_t plain = platform::TimelineFrameAt(timeline, 700);
    for (const std::int64_t frame : {plain, plain + 1, plain + 2, sections.starts.back() + 3}) {
        // Half a frame early: the capture begins with the first frame at or after --start.
        char args[96];
        std::snprintf(args, sizeof(args), "--start %.9f --max-seconds 0.01",
                      (static_cast<double>(frame) - 0.5) / 60.0);
        const std::vector<CsvRow> rows = Capture(dir_, args);
        ASSERT_EQ(rows.size(), 1u);
        ASSERT_EQ(rows[0].clock, timeline.clocks[frame]) << "frame " << frame;
        std::vector<std::uint32_t> expected;
        int width = 0;
        int height = 0;
        std::string error;
        ASSERT_TRUE(
            capture::ReadPng(dir_ + "/out/frames/000000.png", expected, width, height, error))
            << error;
        ASSERT_EQ(width * height, 320 * 200);

        platform::SetShowState(
            platform::DrawnState(platform::ReplayTo(timeline, frame), timeline.clocks[frame]),
            timeline.clocks[frame]);
        std::vector<std::uint32_t> picture(320 * 200, 0);
        RenderFrame(picture.data(), 320 * 4);
        int differing = 0;
        for (std::size_t i = 0; i < picture.size(); ++i) {
            differing += (picture[i] & 0xFFFFFF) != (expected[i] & 0xFFFFFF) ? 1 : 0;
        }
        EXPECT_EQ(differing, 0) << "frame " << frame << " (" << rows[0].phase << ")";

        // The reference tracer's frame ('r') of the same state: each traced cell (the pixel the
        // enlargement puts it at) within one step of 255.
        // The show's own scene elsewhere meanwhile, and left there.
        std::vector<std::uint32_t> reference(320 * 200, 0);
        const platform::StudyShowState start = platform::InitialShowState();
        platform::SetShowState(start, 0);
        platform::TraceReference(
            platform::DrawnState(platform::ReplayTo(timeline, frame), timeline.clocks[frame]),
            reference.data());
        int worst = 0;
        for (std::size_t i = 0; i < reference.size(); ++i) {
            if (i % 320 % 4 != 0 || i / 320 % 4 != 0) {
                continue;
            }
            for (int shift : {0, 8, 16}) {
                const int a = static_cast<int>((reference[i] >> shift) & 0xFF);
                const int b = static_cast<int>((expected[i] >> shift) & 0xFF);
                worst = std::max(worst, std::abs(a - b));
            }
        }
        EXPECT_LE(worst, 1) << "frame " << frame;
        EXPECT_EQ(platform::ReadShowState().sphere.z, start.sphere.z);
        EXPECT_EQ(platform::ReadShowState().light1.x, start.light1.x);
        std::remove((dir_ + "/out/frames/000000.png").c_str());
    }
}

} // namespace
