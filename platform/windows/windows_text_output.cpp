// The program's words on the standard streams, the parent's console, or a message box.
#include "windows_text_output.h"

#include <windows.h>

namespace windows {

static bool WriteAll(HANDLE handle, const std::string& text) {
    DWORD written = 0;
    return WriteFile(handle, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
           written == text.size();
}

// A handle that leads somewhere: Windows gives a windowed program none unless its streams were
// redirected; Wine gives it those of the terminal it was started from.
static bool Usable(HANDLE handle) {
    return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
           GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// The console takes "\r\n"; files and pipes get the text as it is.
static std::string WithCarriageReturns(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\n') {
            out += '\r';
        }
        out += c;
    }
    return out;
}

// A box has no fixed-width font to keep columns in: an option's description, continued on
// indented lines for a console, becomes one line after a tab.
static std::string ForBox(const std::string& text) {
    std::string out;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        const std::size_t first = line.find_first_not_of(' ');
        if (first == std::string::npos || first == 0) {
            out += line + "\r\n";
            continue;
        }
        const std::size_t gap = line.find("  ", first);
        if (line.compare(first, 2, "--") == 0 && gap != std::string::npos) {
            out += line.substr(first, gap - first) + "\t" +
                   line.substr(line.find_first_not_of(' ', gap)) + "\r\n";
        } else if (out.size() >= 2) {
            out.resize(out.size() - 2); // a continued description
            out += " " + line.substr(first) + "\r\n";
        } else {
            out += line + "\r\n";
        }
    }
    return out;
}

void ShowText(const std::string& text, bool error) {
    HANDLE stream = GetStdHandle(error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE);
    if (Usable(stream) && WriteAll(stream, text)) {
        return;
    }
    // Started from a command prompt: its console is the parent's. The prompt does not wait for a
    // windowed program, so the text comes after the prompt it already printed.
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        HANDLE console = CreateFileA("CONOUT$", GENERIC_WRITE, FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr);
        const bool shown = console != INVALID_HANDLE_VALUE &&
                           WriteAll(console, "\r\n" + WithCarriageReturns(text));
        if (console != INVALID_HANDLE_VALUE) {
            CloseHandle(console);
        }
        FreeConsole();
        if (shown) {
            return;
        }
    }
    MessageBoxA(nullptr, ForBox(text).c_str(), "Zarvo",
                MB_OK | (error ? MB_ICONERROR : MB_ICONINFORMATION));
}

} // namespace windows
