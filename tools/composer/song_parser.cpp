// The song language parser: one line at a time, top-level keywords at column 0, the lines of a
// block indented below its keyword.
#include "song_parser.h"

#include "parser_state.h"

#include <sstream>

namespace compose {
namespace parsing {

namespace {

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

} // namespace

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

} // namespace parsing

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
    parsing::Parser parser;
    parser.fileName = fileName;
    parser.Run(parsing::SplitLines(text));
    return parser.song;
}

} // namespace compose
