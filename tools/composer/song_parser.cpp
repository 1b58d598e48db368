// The song language parser: one line at a time, top-level keywords at column 0, the lines of a
// block indented below its keyword.
#include "song_parser.h"

#include <cstdlib>
#include <map>
#include <sstream>
#include <vector>

namespace compose {

namespace {

struct Line {
    int number = 0;
    bool indented = false;
    std::vector<std::string> words;
};

struct Parser {
    std::string fileName;
    Song song;
    std::map<std::string, int> instrumentIndex;
    std::map<std::string, int> phraseIndex;
    std::map<std::string, int> sectionIndex;
    // Section references are resolved after every phrase is known.
    struct PendingUse {
        int section;
        int channel;
        std::string ref;
        int line;
    };
    std::vector<PendingUse> pendingUses;
    std::vector<std::pair<std::string, int>> pendingOrder;
    int pendingRestart = -1;
    int restartLine = 0;

    [[noreturn]] void Fail(int line, const std::string& message) const {
        throw SongError(fileName + ":" + std::to_string(line) + ": " + message);
    }

    int Number(const std::string& text, int line, int low, int high) const {
        if (text.empty()) {
            Fail(line, "a number is missing");
        }
        char* end = nullptr;
        long value = std::strtol(text.c_str(), &end, 10);
        if (*end != '\0') {
            Fail(line, "'" + text + "' is not a whole number");
        }
        if (value < low || value > high) {
            Fail(line,
                 "'" + text + "' is outside " + std::to_string(low) + ".." + std::to_string(high));
        }
        return static_cast<int>(value);
    }

    int Hex(const std::string& text, int line, int high) const {
        char* end = nullptr;
        long value = std::strtol(text.c_str(), &end, 16);
        if (text.empty() || *end != '\0' || value < 0 || value > high) {
            Fail(line, "'" + text + "' is not a hex number up to " + std::to_string(high));
        }
        return static_cast<int>(value);
    }

    // Splits "key=value"; a word without '=' gives an empty value.
    static std::pair<std::string, std::string> KeyValue(const std::string& word) {
        size_t eq = word.find('=');
        if (eq == std::string::npos) {
            return {word, ""};
        }
        return {word.substr(0, eq), word.substr(eq + 1)};
    }

    void ParseInstrumentLine(Instrument& ins, const Line& l);
    void ParseVoice(Instrument& ins, const Line& l);
    void ParseEnvelope(Instrument& ins, const Line& l);
    void ParsePhraseTokens(Phrase& phrase, const Line& l, int instrument, int step, bool sticky,
                           Cell& stickyEffect);
    Cell ParseToken(const std::string& token, int line, int defaultInstrument);
    void ParseSectionLine(int section, const Line& l);
    void Resolve();
    void Run(const std::vector<Line>& lines);
};

std::vector<Line> SplitLines(const std::string& text) {
    std::vector<Line> lines;
    std::istringstream in(text);
    std::string raw;
    int number = 0;
    while (std::getline(in, raw)) {
        ++number;
        size_t hash = raw.find('#');
        // A '#' right after a note letter is a sharp (C#4); a comment '#' starts a word.
        while (hash != std::string::npos && hash > 0 && raw[hash - 1] != ' ' &&
               raw[hash - 1] != '\t') {
            hash = raw.find('#', hash + 1);
        }
        if (hash != std::string::npos) {
            raw.erase(hash);
        }
        Line line;
        line.number = number;
        line.indented = !raw.empty() && (raw[0] == ' ' || raw[0] == '\t');
        std::istringstream words(raw);
        std::string word;
        while (words >> word) {
            line.words.push_back(word);
        }
        if (!line.words.empty()) {
            lines.push_back(line);
        }
    }
    return lines;
}

Shape ShapeNamed(const std::string& name, bool& ok) {
    ok = true;
    if (name == "sine") {
        return Shape::Sine;
    }
    if (name == "saw") {
        return Shape::Saw;
    }
    if (name == "square") {
        return Shape::Square;
    }
    if (name == "triangle") {
        return Shape::Triangle;
    }
    if (name == "pulse") {
        return Shape::Pulse;
    }
    ok = false;
    return Shape::Sine;
}

void Parser::ParseVoice(Instrument& ins, const Line& l) {
    if (l.words.size() < 2) {
        Fail(l.number, "voice needs a shape (sine, saw, square, triangle, pulse)");
    }
    Voice v;
    bool ok = false;
    v.shape = ShapeNamed(l.words[1], ok);
    if (!ok) {
        Fail(l.number, "unknown shape '" + l.words[1] + "'");
    }
    for (size_t i = 2; i < l.words.size(); ++i) {
        auto [key, value] = KeyValue(l.words[i]);
        if (key == "level") {
            v.level = Number(value, l.number, 0, 100);
        } else if (key == "harmonics") {
            v.harmonics = Number(value, l.number, 1, 512);
        } else if (key == "detune") {
            v.detune = Number(value, l.number, -64, 64);
        } else if (key == "duty") {
            v.duty = Number(value, l.number, 1, 99);
        } else if (key == "ratio") {
            size_t slash = value.find('/');
            v.ratioNum = Number(value.substr(0, slash), l.number, 1, 64);
            v.ratioDen =
                slash == std::string::npos ? 1 : Number(value.substr(slash + 1), l.number, 1, 64);
        } else {
            Fail(l.number, "unknown voice setting '" + key + "'");
        }
    }
    ins.voices.push_back(v);
}

void Parser::ParseEnvelope(Instrument& ins, const Line& l) {
    for (size_t i = 1; i < l.words.size(); ++i) {
        const std::string& w = l.words[i];
        auto [key, value] = KeyValue(w);
        if (key == "sustain") {
            ins.sustainPoint = Number(value, l.number, 0, 11);
        } else if (key == "loop") {
            size_t dash = value.find('-');
            if (dash == std::string::npos) {
                Fail(l.number, "loop wants two points, as loop=1-3");
            }
            ins.loopStart = Number(value.substr(0, dash), l.number, 0, 11);
            ins.loopEnd = Number(value.substr(dash + 1), l.number, 0, 11);
        } else {
            size_t colon = w.find(':');
            if (colon == std::string::npos) {
                Fail(l.number, "envelope points are written tick:level, not '" + w + "'");
            }
            EnvelopePoint p;
            p.tick = Number(w.substr(0, colon), l.number, 0, 65535);
            p.value = Number(w.substr(colon + 1), l.number, 0, 64);
            if (!ins.envelope.empty() && p.tick <= ins.envelope.back().tick) {
                Fail(l.number, "envelope ticks must rise");
            }
            ins.envelope.push_back(p);
        }
    }
    int points = static_cast<int>(ins.envelope.size());
    if (points > 12) {
        Fail(l.number, "an envelope has at most 12 points");
    }
    if (ins.sustainPoint >= points || ins.loopEnd >= points || ins.loopStart > ins.loopEnd) {
        Fail(l.number, "sustain or loop point outside the envelope");
    }
}

void Parser::ParseInstrumentLine(Instrument& ins, const Line& l) {
    const std::string& key = l.words[0];
    auto settings = [&](auto&& apply) {
        for (size_t i = 1; i < l.words.size(); ++i) {
            auto [k, v] = KeyValue(l.words[i]);
            if (!apply(k, v)) {
                Fail(l.number, "unknown " + key + " setting '" + k + "'");
            }
        }
    };
    if (key == "tonal") {
        ins.drum = false;
        settings([&](const std::string& k, const std::string& v) {
            if (k == "cycle") {
                ins.cycleFrames = Number(v, l.number, 8, 1024);
            } else if (k == "loop") {
                ins.loopCycles = Number(v, l.number, 1, 4096);
            } else {
                return false;
            }
            return true;
        });
    } else if (key == "drum") {
        ins.drum = true;
        settings([&](const std::string& k, const std::string& v) {
            if (k == "rate") {
                ins.rate = Number(v, l.number, 4000, 96000);
            } else if (k == "length") {
                ins.lengthMs = Number(v, l.number, 1, 5000);
            } else {
                return false;
            }
            return true;
        });
    } else if (key == "voice") {
        ParseVoice(ins, l);
    } else if (key == "tone") {
        Tone t;
        settings([&](const std::string& k, const std::string& v) {
            if (k == "from") {
                t.fromHz = Number(v, l.number, 1, 20000);
            } else if (k == "to") {
                t.toHz = Number(v, l.number, 1, 20000);
            } else if (k == "sweep") {
                t.sweepMs = Number(v, l.number, 1, 5000);
            } else if (k == "decay") {
                t.decayMs = Number(v, l.number, 1, 5000);
            } else if (k == "level") {
                t.level = Number(v, l.number, 0, 100);
            } else {
                return false;
            }
            return true;
        });
        ins.tones.push_back(t);
    } else if (key == "noise") {
        NoiseBurst n;
        settings([&](const std::string& k, const std::string& v) {
            if (k == "level") {
                n.level = Number(v, l.number, 0, 100);
            } else if (k == "decay") {
                n.decayMs = Number(v, l.number, 1, 5000);
            } else if (k == "lowpass") {
                n.lowpassHz = Number(v, l.number, 0, 20000);
            } else if (k == "highpass") {
                n.highpassHz = Number(v, l.number, 0, 20000);
            } else if (k == "attack") {
                n.attackMs = Number(v, l.number, 0, 1000);
            } else {
                return false;
            }
            return true;
        });
        ins.noises.push_back(n);
    } else if (key == "drive") {
        ins.drive = Number(l.words.size() > 1 ? l.words[1] : "", l.number, 100, 1000);
    } else if (key == "note") {
        ins.baseNote = ParseNoteName(l.words.size() > 1 ? l.words[1] : "");
        if (ins.baseNote == 0 || ins.baseNote == kKeyOff) {
            Fail(l.number, "note wants a note name such as C-4");
        }
    } else if (key == "volume") {
        ins.volume = Number(l.words.size() > 1 ? l.words[1] : "", l.number, 0, 64);
    } else if (key == "pan") {
        ins.pan = Number(l.words.size() > 1 ? l.words[1] : "", l.number, 0, 255);
    } else if (key == "envelope") {
        ParseEnvelope(ins, l);
    } else if (key == "fadeout") {
        ins.fadeout = Number(l.words.size() > 1 ? l.words[1] : "", l.number, 0, 4095);
    } else if (key == "vibrato") {
        settings([&](const std::string& k, const std::string& v) {
            if (k == "sweep") {
                ins.vibratoSweep = Number(v, l.number, 0, 255);
            } else if (k == "depth") {
                ins.vibratoDepth = Number(v, l.number, 0, 15);
            } else if (k == "rate") {
                ins.vibratoRate = Number(v, l.number, 0, 63);
            } else {
                return false;
            }
            return true;
        });
    } else {
        Fail(l.number, "unknown instrument setting '" + key + "'");
    }
}

Cell Parser::ParseToken(const std::string& token, int line, int defaultInstrument) {
    // note-or-dot, then any of :VV (volume, hex 00..40), !Exx (effect), @instrument.
    Cell cell;
    size_t end = token.find_first_of(":!@");
    std::string head = token.substr(0, end);
    if (head != ".") {
        int note = ParseNoteName(head);
        if (note == 0) {
            Fail(line, "'" + head + "' is not a note, '.' or '^'");
        }
        cell.note = static_cast<uint8_t>(note);
        if (note != kKeyOff) {
            cell.instrument = static_cast<uint8_t>(defaultInstrument);
        }
    }
    while (end != std::string::npos) {
        char mark = token[end];
        size_t next = token.find_first_of(":!@", end + 1);
        std::string arg =
            token.substr(end + 1, next == std::string::npos ? std::string::npos : next - end - 1);
        if (mark == ':') {
            cell.volume = static_cast<uint8_t>(0x10 + Hex(arg, line, 0x40));
        } else if (mark == '!') {
            if (arg.size() != 3) {
                Fail(line, "effects are written !Exx, e.g. !037 or !A04");
            }
            char letter = arg[0];
            int type = letter >= '0' && letter <= '9'   ? letter - '0'
                       : letter >= 'A' && letter <= 'Z' ? letter - 'A' + 10
                                                        : -1;
            cell.effect = static_cast<uint8_t>(type);
            cell.parameter = static_cast<uint8_t>(Hex(arg.substr(1), line, 0xFF));
            // The rows are the show's clock: W belongs to the composer, and nothing may change
            // the speed (F), jump (B, D), loop (E6y) or stretch a row (EEy).
            int sub = cell.parameter >> 4;
            if (type < 0 || type == kEffectSync || type == 0x0F || type == 0x0B || type == 0x0D ||
                (type == 0x0E && (sub == 0x6 || sub == 0xE))) {
                Fail(line, "effect '" + arg + "' would disturb the row clock, or is not an effect");
            }
        } else {
            auto found = instrumentIndex.find(arg);
            if (found == instrumentIndex.end()) {
                Fail(line, "no instrument named '" + arg + "'");
            }
            cell.instrument = static_cast<uint8_t>(found->second + 1);
        }
        end = next;
    }
    return cell;
}

void Parser::ParsePhraseTokens(Phrase& phrase, const Line& l, int instrument, int step, bool sticky,
                               Cell& stickyEffect) {
    for (const std::string& token : l.words) {
        if (token == "|") {
            continue;
        }
        Cell cell = ParseToken(token, l.number, instrument);
        bool hasEffect = token.find('!') != std::string::npos;
        if (sticky && hasEffect) {
            stickyEffect = cell;
        }
        for (int r = 0; r < step; ++r) {
            Cell written = r == 0 ? cell : Cell{};
            if (sticky && written.effect == 0 && written.parameter == 0) {
                written.effect = stickyEffect.effect;
                written.parameter = stickyEffect.parameter;
            }
            phrase.cells.push_back(written);
        }
    }
}

void Parser::ParseSectionLine(int section, const Line& l) {
    std::string channel = l.words[0];
    if (channel.size() < 2 || channel.back() != ':') {
        Fail(l.number, "section lines read 'channel: phrase phrase ...'");
    }
    channel.pop_back();
    int index = -1;
    for (size_t c = 0; c < song.channels.size(); ++c) {
        if (song.channels[c] == channel) {
            index = static_cast<int>(c);
        }
    }
    if (index < 0) {
        Fail(l.number, "no channel named '" + channel + "'");
    }
    if (!song.sections[section].channels[index].empty()) {
        Fail(l.number, "channel '" + channel + "' is given twice in this section");
    }
    for (size_t i = 1; i < l.words.size(); ++i) {
        pendingUses.push_back({section, index, l.words[i], l.number});
    }
}

void Parser::Resolve() {
    for (const PendingUse& p : pendingUses) {
        // name[+N|-N][>ROWS][=VV][*R]; the marked parts may come in any order.
        std::string ref = p.ref;
        PhraseUse use;
        size_t nameEnd = ref.find_first_of("+->=*", 1);
        std::string name = ref.substr(0, nameEnd);
        size_t at = nameEnd;
        while (at != std::string::npos) {
            char mark = ref[at];
            size_t next = ref.find_first_of("+->=*", at + 1);
            std::string arg = ref.substr(at + 1, next == std::string::npos ? next : next - at - 1);
            if (mark == '*') {
                use.repeat = Number(arg, p.line, 1, 256);
            } else if (mark == '=') {
                use.volume = Hex(arg, p.line, 0x40);
            } else if (mark == '>') {
                use.delay = Number(arg, p.line, 0, 255);
            } else {
                int semitones = Number(arg, p.line, 0, 48);
                use.transpose = mark == '+' ? semitones : -semitones;
            }
            at = next;
        }
        ref = name;
        auto found = phraseIndex.find(ref);
        if (found == phraseIndex.end()) {
            Fail(p.line, "no phrase named '" + ref + "'");
        }
        use.phrase = found->second;
        song.sections[p.section].channels[p.channel].push_back(use);
    }
    for (Section& s : song.sections) {
        for (auto& uses : s.channels) {
            size_t rows = 0;
            for (const PhraseUse& u : uses) {
                rows += song.phrases[u.phrase].cells.size() * u.repeat;
            }
            if (rows > static_cast<size_t>(song.rows)) {
                Fail(s.line, "section '" + s.name + "' has a channel longer than " +
                                 std::to_string(song.rows) + " rows");
            }
        }
    }
    for (const auto& [name, line] : pendingOrder) {
        auto found = sectionIndex.find(name);
        if (found == sectionIndex.end()) {
            Fail(line, "no section named '" + name + "'");
        }
        song.order.push_back(found->second);
    }
    if (song.order.empty() || song.order.size() > 256) {
        Fail(0, "the order must list 1..256 sections");
    }
    if (pendingRestart >= 0) {
        if (pendingRestart >= static_cast<int>(song.order.size())) {
            Fail(restartLine, "restart lies beyond the end of the order");
        }
        song.restart = pendingRestart;
    }
}

void Parser::Run(const std::vector<Line>& lines) {
    enum class Block { None, Instrument, Phrase, Section } block = Block::None;
    int phraseInstrument = 0;
    int phraseStep = 1;
    bool phraseSticky = false;
    Cell stickyEffect;
    for (const Line& l : lines) {
        const std::string& key = l.words[0];
        if (l.indented) {
            switch (block) {
            case Block::Instrument:
                ParseInstrumentLine(song.instruments.back(), l);
                break;
            case Block::Phrase:
                ParsePhraseTokens(song.phrases.back(), l, phraseInstrument, phraseStep,
                                  phraseSticky, stickyEffect);
                break;
            case Block::Section:
                ParseSectionLine(static_cast<int>(song.sections.size()) - 1, l);
                break;
            case Block::None:
                Fail(l.number, "an indented line outside any instrument, phrase or section");
            }
            continue;
        }
        block = Block::None;
        std::string arg = l.words.size() > 1 ? l.words[1] : "";
        if (key == "title") {
            size_t open = l.words.size();
            std::string title;
            for (size_t i = 1; i < open; ++i) {
                title += (i > 1 ? " " : "") + l.words[i];
            }
            if (title.size() >= 2 && title.front() == '"' && title.back() == '"') {
                title = title.substr(1, title.size() - 2);
            }
            if (title.size() > 20) {
                Fail(l.number, "the title has at most 20 characters");
            }
            song.title = title;
        } else if (key == "speed") {
            song.speed = Number(arg, l.number, 1, 31);
        } else if (key == "bpm") {
            song.bpm = Number(arg, l.number, 32, 255);
        } else if (key == "rows") {
            song.rows = Number(arg, l.number, 1, 256);
        } else if (key == "restart") {
            pendingRestart = Number(arg, l.number, 0, 255);
            restartLine = l.number;
        } else if (key == "channels") {
            if (!song.channels.empty() || !song.sections.empty()) {
                Fail(l.number, "channels are named once, before the first section");
            }
            song.channels.assign(l.words.begin() + 1, l.words.end());
            if (song.channels.empty() || song.channels.size() > 31) {
                Fail(l.number, "between 1 and 31 music channels");
            }
        } else if (key == "instrument") {
            if (arg.empty() || instrumentIndex.count(arg) || l.words.size() != 2) {
                Fail(l.number, "instrument wants one new name");
            }
            if (song.instruments.size() >= 128) {
                Fail(l.number, "at most 128 instruments");
            }
            instrumentIndex[arg] = static_cast<int>(song.instruments.size());
            song.instruments.emplace_back();
            song.instruments.back().name = arg;
            song.instruments.back().line = l.number;
            block = Block::Instrument;
        } else if (key == "phrase") {
            if (arg.empty() || phraseIndex.count(arg)) {
                Fail(l.number, "phrase wants a new name");
            }
            phraseIndex[arg] = static_cast<int>(song.phrases.size());
            song.phrases.emplace_back();
            song.phrases.back().name = arg;
            song.phrases.back().line = l.number;
            phraseInstrument = 0;
            phraseStep = 1;
            phraseSticky = false;
            stickyEffect = Cell{};
            for (size_t i = 2; i < l.words.size(); ++i) {
                auto [k, v] = KeyValue(l.words[i]);
                if (k == "ins") {
                    auto found = instrumentIndex.find(v);
                    if (found == instrumentIndex.end()) {
                        Fail(l.number, "no instrument named '" + v + "'");
                    }
                    phraseInstrument = found->second + 1;
                } else if (k == "step") {
                    phraseStep = Number(v, l.number, 1, 256);
                } else if (k == "sticky" && v.empty()) {
                    phraseSticky = true;
                } else {
                    Fail(l.number, "unknown phrase setting '" + k + "'");
                }
            }
            block = Block::Phrase;
        } else if (key == "section") {
            if (song.channels.empty()) {
                Fail(l.number, "name the channels before the first section");
            }
            if (arg.empty() || sectionIndex.count(arg) || l.words.size() != 2) {
                Fail(l.number, "section wants one new name");
            }
            sectionIndex[arg] = static_cast<int>(song.sections.size());
            song.sections.emplace_back();
            song.sections.back().name = arg;
            song.sections.back().line = l.number;
            song.sections.back().channels.resize(song.channels.size());
            block = Block::Section;
        } else if (key == "order") {
            for (size_t i = 1; i < l.words.size(); ++i) {
                pendingOrder.emplace_back(l.words[i], l.number);
            }
        } else {
            Fail(l.number, "unknown keyword '" + key + "'");
        }
    }
    Resolve();
}

} // namespace

int ParseNoteName(const std::string& token) {
    if (token == "^") {
        return kKeyOff;
    }
    if (token.size() != 3) {
        return 0;
    }
    static const char* const kLetters = "C-C#D-D#E-F-F#G-G#A-A#B-";
    int semitone = -1;
    for (int s = 0; s < 12; ++s) {
        if (token[0] == kLetters[2 * s] && token[1] == kLetters[2 * s + 1]) {
            semitone = s;
        }
    }
    if (semitone < 0 || token[2] < '0' || token[2] > '7') {
        return 0;
    }
    return 1 + (token[2] - '0') * 12 + semitone;
}

Song ParseSong(const std::string& text, const std::string& fileName) {
    Parser parser;
    parser.fileName = fileName;
    parser.Run(SplitLines(text));
    return parser.song;
}

} // namespace compose
