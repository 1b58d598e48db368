// The XM file writer. Every byte is written explicitly, so the output is the same on every run.
#include "xm_writer.h"

#include "song_parser.h"

#include <string>

namespace compose {

namespace {

struct Bytes {
    std::vector<uint8_t> data;
    void U8(int v) {
        data.push_back(static_cast<uint8_t>(v & 0xFF));
    }
    void U16(uint32_t v) {
        U8(static_cast<int>(v & 0xFF));
        U8(static_cast<int>((v >> 8) & 0xFF));
    }
    void U32(uint32_t v) {
        U16(v & 0xFFFF);
        U16(v >> 16);
    }
    // A text field of fixed width, cut or padded with `pad`.
    void Text(const std::string& s, size_t width, char pad) {
        for (size_t i = 0; i < width; ++i) {
            U8(i < s.size() ? static_cast<unsigned char>(s[i]) : static_cast<unsigned char>(pad));
        }
    }
    void Zeros(size_t count) {
        data.insert(data.end(), count, 0);
    }
};

constexpr uint32_t kHeaderSize = 276;
constexpr uint32_t kPatternHeaderSize = 9;
constexpr uint32_t kInstrumentHeaderSize = 263;
constexpr uint32_t kSampleHeaderSize = 40;

void WriteInstrument(Bytes& out, const Instrument& ins, const SampleData& s) {
    size_t start = out.data.size();
    out.U32(kInstrumentHeaderSize);
    out.Text(ins.name, 22, '\0');
    out.U8(0);  // type
    out.U16(1); // one sample
    out.U32(kSampleHeaderSize);
    out.Zeros(96); // every note plays sample 0
    for (size_t p = 0; p < 12; ++p) {
        bool used = p < ins.envelope.size();
        out.U16(used ? static_cast<uint32_t>(ins.envelope[p].tick) : 0);
        out.U16(used ? static_cast<uint32_t>(ins.envelope[p].value) : 0);
    }
    out.Zeros(48); // panning envelope
    out.U8(static_cast<int>(ins.envelope.size()));
    out.U8(0);
    out.U8(ins.sustainPoint < 0 ? 0 : ins.sustainPoint);
    out.U8(ins.loopStart < 0 ? 0 : ins.loopStart);
    out.U8(ins.loopEnd < 0 ? 0 : ins.loopEnd);
    out.Zeros(3); // panning sustain and loop points
    int volumeType = 0;
    if (!ins.envelope.empty()) {
        volumeType = 1 | (ins.sustainPoint >= 0 ? 2 : 0) | (ins.loopStart >= 0 ? 4 : 0);
    }
    out.U8(volumeType);
    out.U8(0); // panning envelope off
    out.U8(ins.vibratoType);
    out.U8(ins.vibratoSweep);
    out.U8(ins.vibratoDepth);
    out.U8(ins.vibratoRate);
    out.U16(static_cast<uint32_t>(ins.fadeout));
    out.Zeros(kInstrumentHeaderSize - (out.data.size() - start)); // reserved

    uint32_t bytes = static_cast<uint32_t>(s.frames.size() * 2);
    out.U32(bytes);
    out.U32(s.loopStart * 2);
    out.U32(s.loopLength * 2);
    out.U8(ins.volume);
    out.U8(s.finetune & 0xFF);
    out.U8(0x10 | (s.loopLength > 0 ? 1 : 0)); // 16-bit, forward loop when looped
    out.U8(ins.pan);
    out.U8(s.relativeNote & 0xFF);
    out.U8(0); // reserved: 0 means plain delta-coded data
    out.Text(ins.name, 22, '\0');

    int16_t previous = 0;
    for (int16_t v : s.frames) {
        out.U16(static_cast<uint16_t>(static_cast<uint16_t>(v) - static_cast<uint16_t>(previous)));
        previous = v;
    }
}

} // namespace

void PackCell(const Cell& cell, std::vector<uint8_t>& out) {
    if (cell.note != 0 && cell.instrument != 0 && cell.volume != 0 && cell.effect != 0) {
        out.insert(out.end(),
                   {cell.note, cell.instrument, cell.volume, cell.effect, cell.parameter});
        return;
    }
    uint8_t flags = 0x80;
    flags |= cell.note != 0 ? 0x01 : 0;
    flags |= cell.instrument != 0 ? 0x02 : 0;
    flags |= cell.volume != 0 ? 0x04 : 0;
    flags |= cell.effect != 0 ? 0x08 : 0;
    flags |= cell.parameter != 0 ? 0x10 : 0;
    out.push_back(flags);
    for (uint8_t field : {cell.note, cell.instrument, cell.volume, cell.effect, cell.parameter}) {
        if (field != 0) {
            out.push_back(field);
        }
    }
}

std::vector<uint8_t> PackPattern(const Pattern& pattern) {
    std::vector<uint8_t> out;
    bool blank = true;
    for (const Cell& cell : pattern.cells) {
        PackCell(cell, out);
        blank = blank && cell == Cell{};
    }
    if (blank) {
        out.clear();
    }
    return out;
}

std::vector<uint8_t> WriteXm(const Song& song, const Arrangement& a,
                             const std::vector<SampleData>& samples) {
    Bytes out;
    out.Text("Extended Module: ", 17, ' ');
    out.Text(song.title, 20, ' ');
    out.U8(0x1A);
    out.Text("zarvo-compose", 20, ' ');
    out.U16(0x0104);
    out.U32(kHeaderSize);
    out.U16(static_cast<uint32_t>(a.order.size()));
    out.U16(static_cast<uint32_t>(song.restart));
    out.U16(static_cast<uint32_t>(a.channels));
    out.U16(static_cast<uint32_t>(a.patterns.size()));
    out.U16(static_cast<uint32_t>(song.instruments.size()));
    out.U16(1); // linear frequency table
    out.U16(static_cast<uint32_t>(song.speed));
    out.U16(static_cast<uint32_t>(song.bpm));
    for (size_t i = 0; i < 256; ++i) {
        out.U8(i < a.order.size() ? a.order[i] : 0);
    }
    for (const Pattern& p : a.patterns) {
        std::vector<uint8_t> packed = PackPattern(p);
        if (packed.size() > 65535) {
            throw SongError("a pattern packs to more than 65535 bytes");
        }
        out.U32(kPatternHeaderSize);
        out.U8(0);
        out.U16(static_cast<uint32_t>(p.rows));
        out.U16(static_cast<uint32_t>(packed.size()));
        out.data.insert(out.data.end(), packed.begin(), packed.end());
    }
    for (size_t i = 0; i < song.instruments.size(); ++i) {
        WriteInstrument(out, song.instruments[i], samples[i]);
    }
    return out.data;
}

} // namespace compose
