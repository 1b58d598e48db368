// The song parser: phrase tokens, section lines, and the references resolved at the end.
#include "parser_state.h"

namespace compose {
namespace parsing {

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

} // namespace parsing
} // namespace compose
