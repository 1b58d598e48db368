// The streaming WAV writer: RIFF header, little-endian samples, sizes patched after every append.
#include "capture_wav_writer.h"

#include "capture_output_folder.h"
#include "capture_write_all.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace capture {

static constexpr int kChannels = 2;
static constexpr int kBytesPerSample = 2;
static constexpr int kFrameBytes = kChannels * kBytesPerSample;
// RIFF sizes are 32-bit; the data stops growing before they would overflow (about 6 h at 48 kHz).
static constexpr std::int64_t kMaxDataBytes = 0xFFFFFFFFll - kWavHeaderBytes;

static void Put16(std::uint8_t* out, std::uint32_t value) {
    out[0] = static_cast<std::uint8_t>(value);
    out[1] = static_cast<std::uint8_t>(value >> 8);
}

static void Put32(std::uint8_t* out, std::uint32_t value) {
    Put16(out, value & 0xFFFFu);
    Put16(out + 2, value >> 16);
}

WavWriter::~WavWriter() {
    Close();
}

bool WavWriter::Open(const std::string& path, int sampleRate, std::string& error) {
    return Open(AT_FDCWD, path, path, sampleRate, error);
}

bool WavWriter::Open(int folder, const std::string& name, const std::string& shown, int sampleRate,
                     std::string& error) {
    Close();
    fd_ = CreateFresh(folder, name, shown, error);
    if (fd_ < 0) {
        return false;
    }
    path_ = shown;
    sampleRate_ = sampleRate;
    frames_ = 0;
    return WriteHeader(error);
}

bool WavWriter::WriteHeader(std::string& error) {
    const auto dataBytes = static_cast<std::uint32_t>(frames_ * kFrameBytes);
    std::uint8_t header[kWavHeaderBytes];
    std::memcpy(header, "RIFF", 4);
    Put32(header + 4, dataBytes + kWavHeaderBytes - 8);
    std::memcpy(header + 8, "WAVEfmt ", 8);
    Put32(header + 16, 16); // the size of the PCM format record
    Put16(header + 20, 1);  // PCM
    Put16(header + 22, kChannels);
    Put32(header + 24, static_cast<std::uint32_t>(sampleRate_));
    Put32(header + 28, static_cast<std::uint32_t>(sampleRate_ * kFrameBytes));
    Put16(header + 32, kFrameBytes);
    Put16(header + 34, kBytesPerSample * 8);
    std::memcpy(header + 36, "data", 4);
    Put32(header + 40, dataBytes);
    if (!WriteAll(fd_, header, sizeof(header), 0)) {
        error = "cannot write '" + path_ + "': " + std::strerror(errno);
        return false;
    }
    return true;
}

bool WavWriter::Append(const std::int16_t* samples, std::size_t frames, std::string& error) {
    if (fd_ < 0) {
        error = "the audio file is not open";
        return false;
    }
    if ((frames_ + static_cast<std::int64_t>(frames)) * kFrameBytes > kMaxDataBytes) {
        error = "'" + path_ + "' has reached the largest size a WAV file can have";
        return false;
    }
    const off_t offset = kWavHeaderBytes + frames_ * kFrameBytes;
    if (!WriteSamples(samples, frames, frames_, error)) {
        // Whatever part of the samples reached the disk goes again; the header never counted it.
        if (ftruncate(fd_, offset) != 0) {
            error += std::string(" (and cannot cut it back: ") + std::strerror(errno) + ")";
        }
        return false;
    }
    frames_ += static_cast<std::int64_t>(frames);
    if (!WriteHeader(error)) {
        std::string ignored;
        Truncate(frames_ - static_cast<std::int64_t>(frames), ignored);
        return false;
    }
    return true;
}

bool WavWriter::Truncate(std::int64_t frames, std::string& error) {
    if (fd_ < 0) {
        error = "the audio file is not open";
        return false;
    }
    if (frames < 0 || frames > frames_) {
        error = "cannot cut '" + path_ + "' back to more samples than it has";
        return false;
    }
    if (ftruncate(fd_, kWavHeaderBytes + frames * kFrameBytes) != 0) {
        error = "cannot cut '" + path_ + "' back: " + std::strerror(errno);
        return false;
    }
    frames_ = frames;
    return WriteHeader(error);
}

bool WavWriter::RewriteEnd(const std::int16_t* samples, std::size_t frames, std::string& error) {
    if (fd_ < 0) {
        error = "the audio file is not open";
        return false;
    }
    if (static_cast<std::int64_t>(frames) > frames_) {
        error = "'" + path_ + "' holds fewer frames than are to be replaced";
        return false;
    }
    return WriteSamples(samples, frames, frames_ - static_cast<std::int64_t>(frames), error);
}

bool WavWriter::WriteSamples(const std::int16_t* samples, std::size_t frames,
                             std::int64_t firstFrame, std::string& error) {
    std::vector<std::uint8_t> bytes(frames * kFrameBytes);
    for (std::size_t i = 0; i < frames * kChannels; ++i) {
        Put16(bytes.data() + i * kBytesPerSample, static_cast<std::uint16_t>(samples[i]));
    }
    const off_t offset = kWavHeaderBytes + firstFrame * kFrameBytes;
    if (!WriteAll(fd_, bytes.data(), bytes.size(), offset)) {
        error = "cannot write '" + path_ + "': " + std::strerror(errno);
        return false;
    }
    return true;
}

void WavWriter::Close() {
    if (fd_ >= 0) {
        close(fd_);
        fd_ = -1;
    }
}

} // namespace capture
