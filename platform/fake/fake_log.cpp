// The double's call log, scripted results, hooks, call budget and Reset.
#include <cstdio>

#include "platform/fake/fake_state.h"

namespace fake {

State& S() {
    static State state;
    return state;
}

std::string Call::Text() const {
    std::string text = object.empty() ? name : object + "->" + name;
    return text + "(" + args + ")";
}

void Reset() {
    // Objects are dropped only here, so that no pointer the intro still holds dangles mid-test.
    S() = State();
}

void ClearLog() {
    S().calls.clear();
    S().counts.clear();
}

const std::vector<Call>& Calls() {
    return S().calls;
}

std::vector<std::string> CallNames() {
    std::vector<std::string> names;
    for (const Call& call : S().calls) {
        names.push_back(call.name);
    }
    return names;
}

std::vector<std::string> CallTexts() {
    std::vector<std::string> texts;
    for (const Call& call : S().calls) {
        texts.push_back(call.Text());
    }
    return texts;
}

int CountCalls(const std::string& name) {
    auto found = S().counts.find(name);
    return found == S().counts.end() ? 0 : found->second;
}

int IndexOf(const std::string& name, int nth) {
    const std::vector<Call>& calls = S().calls;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].name == name && --nth == 0) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

int LastIndexOf(const std::string& name) {
    const std::vector<Call>& calls = S().calls;
    for (size_t i = calls.size(); i > 0; --i) {
        if (calls[i - 1].name == name) {
            return static_cast<int>(i - 1);
        }
    }
    return -1;
}

void Script(const std::string& name, int nth, long long result) {
    S().scripts[name][nth] = result;
}

void ScriptAlways(const std::string& name, long long result) {
    S().always[name] = result;
}

void OnCall(const std::string& name, std::function<void(int)> hook) {
    S().hooks[name] = std::move(hook);
}

const std::vector<std::string>& Violations() {
    return S().violations;
}

void Violation(const std::string& what) {
    S().violations.push_back(what);
}

long long Enter(const std::string& object, const std::string& name, const std::string& args,
                long long fallback) {
    State& state = S();
    if (static_cast<long long>(state.calls.size()) >= state.budget) {
        throw Stalled("fake: call budget exhausted at " + name);
    }
    state.calls.push_back(Call{object, name, args});
    const int nth = ++state.counts[name];

    // Copy the hook: it may replace itself.
    auto hook = state.hooks.find(name);
    if (hook != state.hooks.end()) {
        std::function<void(int)> run = hook->second;
        run(nth);
    }

    auto perName = state.scripts.find(name);
    if (perName != state.scripts.end()) {
        auto perCall = perName->second.find(nth);
        if (perCall != perName->second.end()) {
            return perCall->second;
        }
    }
    auto always = state.always.find(name);
    if (always != state.always.end()) {
        return always->second;
    }
    return fallback;
}

std::string Hex(unsigned long value, int digits) {
    char text[32];
    std::snprintf(text, sizeof(text), "0x%0*lX", digits, value);
    return text;
}

std::string Quote(const char* text, int length) {
    if (text == nullptr) {
        return "NULL";
    }
    return "\"" + std::string(text, static_cast<size_t>(length < 0 ? 0 : length)) + "\"";
}

} // namespace fake
