// What each program's backend does around WinMain; called by the entry point (entry_main.cpp).
//
//   PlatformStartup  runs first with the command line; sets the backend up (hooks, libraries).
//                    Returns -1 to go on to WinMain, or an exit code to end the program at once
//                    (e.g. when there is no display, or after --help).
//   PlatformFinish   runs after WinMain with its result and returns the process's exit code.
// Each program links exactly one definition of both, its backend's (the Windows build has none: the
// system calls its WinMain).
#ifndef ZARVO_PLATFORM_COMMON_PLATFORM_STARTUP_H
#define ZARVO_PLATFORM_COMMON_PLATFORM_STARTUP_H

int PlatformStartup(int argc, char** argv);
int PlatformFinish(int winMainResult);

#endif
