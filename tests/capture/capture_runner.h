// Running the real zarvo-capture as a user would, and reading back what it wrote.
//
//   TempFolder     a fresh folder under /tmp, removed with everything in it (temp_folder.h)
//   RunCapture     runs the program in a working directory (the build folder holds Zarvo.xm)
//                  and waits; its standard error and output are kept
//   InterruptCapture  runs it until its output folder holds some frames, then presses Ctrl+C
//                  (once or more, 50 ms apart) as at a terminal, and waits
//   ExpectFilesAgree  checks that the files of a capture that ended, however it ended, agree:
//                  one CSV row per frame file, the sound of exactly those frames, no partial
//                  file anywhere; returns the number of rows
//   ReadCsv        frames.csv as rows; fails the test on a malformed line
//   ReadWavInfo    the header of audio.wav, checked against the file's size
//   ReadWavSamples its 16-bit samples, interleaved as stored (empty when the file is not whole)
//   Probe          ffprobe's stream fields ("0.width" ... "1.sample_rate") of a video, and
//                  "format_name" of its container
//   DecodeRgb      a video's frames as 8-bit RGB bytes, one string per frame
#ifndef ZARVO_TESTS_CAPTURE_CAPTURE_RUNNER_H
#define ZARVO_TESTS_CAPTURE_CAPTURE_RUNNER_H

#include "temp_folder.h"

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace capturetest {

struct RunResult {
    int exitCode = -1; // -1 when the program did not exit normally
    std::string errors;
    std::string output; // standard output (RunCapture only)
};

RunResult RunCapture(const std::vector<std::string>& args, const std::string& workDir);
// `args` write into `out`; its standard error goes to out/stderr.txt. Waits at most 90 s for
// `frames` PNG frames.
RunResult InterruptCapture(const std::vector<std::string>& args, const std::string& workDir,
                           const std::string& out, int frames, int presses);

struct CsvRow {
    std::int64_t frame = 0;
    std::uint32_t syncCount = 0;
    std::string phase;
};

std::vector<CsvRow> ReadCsv(const std::string& path);

struct WavInfo {
    bool valid = false;
    int channels = 0;
    int sampleRate = 0;
    int bits = 0;
    std::int64_t frames = 0; // stereo sample frames in the data chunk
};

WavInfo ReadWavInfo(const std::string& path);
std::vector<std::int16_t> ReadWavSamples(const std::string& path);

// `fps` is the capture's (whole) frame rate at 48 kHz; `frames`: whether PNG frames were asked for.
std::size_t ExpectFilesAgree(const std::string& out, std::int64_t fps, bool frames);

int CountFiles(const std::string& folder, const std::string& suffix);
std::string ReadBytes(const std::string& path);

bool ProgramAvailable(const char* name);
std::map<std::string, std::string> Probe(const std::string& video);
std::vector<std::string> DecodeRgb(const std::string& video, int width, int height);

// Where the tests find the program and the module (set by CMake).
std::string CaptureProgram();
std::string BuildFolder();

} // namespace capturetest

#endif
