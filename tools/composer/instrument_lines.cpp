// The song parser: the lines of an instrument block (synthesis, envelope, vibrato, mix).
#include "parser_state.h"

namespace compose {
namespace parsing {

namespace {

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

} // namespace

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

} // namespace parsing
} // namespace compose
