// The module file's opening, on every system: where a module named by the intro is looked for,
// and a bounded read.
//
// The intro asks for its module by a bare name ("Zarvo.xm"). Such a name is looked for in the
// working directory, then in the installed data folder (where the build names one; the Windows
// build keeps its module beside the program), then in the executable's own folder; the first
// place where something of that name exists is the one used, even if it then turns out not to be
// a module. A name with a folder in it is opened as given. An override, when set, replaces
// whatever name is asked for (one module per program).
//
// ReadModuleFile refuses at once what no module can be, before reading it: anything but a
// regular file (a FIFO is opened without blocking, a device or folder is never read), a file
// larger than kModuleFileLimit, and one whose head no module format has. The file is then read
// whole, never past the size it had when opened, so a file that grows while it is read cannot
// grow memory, and no module costs more than the limit. On failure `error` names the file as it
// was asked for (ModuleFileLabel), and the reason; a bare name found nowhere also lists the
// places it was looked for in. No exception escapes.
//
// With an override the user asked for a file of their own: every message names that file, not
// the name the intro asked for. The intro's own message quotes its name, so a backend passes the
// text of its message boxes through ModuleMessageText.
#ifndef ZARVO_PLATFORM_COMMON_MODULE_FILE_H
#define ZARVO_PLATFORM_COMMON_MODULE_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Well above the size of any XM module made to be played (large ones run to a few tens of MiB).
constexpr std::uint64_t kModuleFileLimit = std::uint64_t{64} << 20;

// Every later module load reads `path` in place of the name it is given; empty clears it.
void SetModuleFileOverride(const std::string& path);

// The folders searched for a bare module name, in order.
std::vector<std::string> ModuleSearchFolders();

// Where a load of `name` reads from: the override, the first search folder that holds `name`,
// or `name` itself when nothing is found (so the error names it).
std::string ResolveModuleFile(const std::string& name);

// Opens the module the intro calls `name` (resolved as above), checks it as above and reads it
// whole into `bytes`; on failure `bytes` is empty and `error` says why.
bool ReadModuleFile(const std::string& name, std::vector<std::uint8_t>& bytes, std::string& error);

// The file a load of `name` reads, quoted, as messages name it: the override, or `name` (with the
// place it was found in, when that is not the name itself).
std::string ModuleFileLabel(const std::string& name);

// A message about the module as the user should read it: while an override is set, the name the
// intro last asked for, where the text quotes it ('Zarvo.xm'), becomes the overriding file.
// Without an override (or before any load) the text comes back unchanged.
std::string ModuleMessageText(const std::string& text);

} // namespace platform

#endif
