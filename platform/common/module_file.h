// The module file's opening: where a module named by the intro is looked for, and a bounded read.
//
// The intro asks for its module by a bare name ("Zarvo.xm"). Such a name is looked for in the
// working directory, then in the installed data folder, then in the executable's own folder;
// the first place where something of that name exists is the one used, even if it then turns
// out not to be a module. A name with a folder in it is opened as given. An override, when set,
// replaces whatever name is asked for (one module per program).
//
// ReadModuleFile refuses at once what no module can be, before reading it: anything but a
// regular file (a FIFO is opened without blocking, a device or folder is never read) and a
// file larger than kModuleFileLimit. The read itself stops at the limit, so a file that grows
// while it is read cannot grow memory either. On failure `error` names the file as it was asked
// for, the place it was found when that differs, and the reason; no exception escapes.
#ifndef ZARVO_PLATFORM_COMMON_MODULE_FILE_H
#define ZARVO_PLATFORM_COMMON_MODULE_FILE_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Far above any real XM module (the format's own limits put a large one at a few MiB).
constexpr std::size_t kModuleFileLimit = std::size_t{64} << 20;

// Every later module load reads `path` in place of the name it is given; empty clears it.
void SetModuleFileOverride(const std::string& path);

// The folders searched for a bare module name, in order.
std::vector<std::string> ModuleSearchFolders();

// Where a load of `name` reads from: the override, the first search folder that holds `name`,
// or `name` itself when nothing is found (so the error names it).
std::string ResolveModuleFile(const std::string& name);

// Reads the module the intro calls `name` (resolved as above) whole into `data`.
bool ReadModuleFile(const std::string& name, std::vector<std::uint8_t>& data, std::string& error);

} // namespace platform

#endif
