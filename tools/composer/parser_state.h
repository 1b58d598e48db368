// The song parser's working state, shared by the files that read the different kinds of line.
#ifndef ZARVO_TOOLS_COMPOSER_PARSER_STATE_H
#define ZARVO_TOOLS_COMPOSER_PARSER_STATE_H

#include "song.h"
#include "song_parser.h"

#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

namespace compose {
namespace parsing {

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

} // namespace parsing
} // namespace compose

#endif
