// The MIDAS sound library names the intro uses, for Linux.
//
// The library's published interface: functions return a truth value or a handle, zero meaning
// failure; MIDASgetLastError and MIDASgetErrorMessage describe the last failure. The sync
// callback has the library's form, three unsigned arguments, and runs on the playback thread.
// Implemented by the backend a program links with.
#ifndef ZARVO_PLATFORM_INCLUDE_MIDASDLL_H
#define ZARVO_PLATFORM_INCLUDE_MIDASDLL_H

#include "windows.h"

#define MIDAS_CALL

typedef void* MIDASmodule;
typedef DWORD MIDASmodulePlayHandle;

typedef void(MIDAS_CALL* MIDASsyncCallback)(unsigned syncInfo, unsigned position, unsigned row);

// Resets the library's state; always succeeds. First of all calls.
BOOL MIDAS_CALL MIDASstartup(void);
// Asks the user for the sound output (default device or no sound); FALSE when cancelled.
BOOL MIDAS_CALL MIDASconfig(void);
// Opens the chosen output (with no device, a timer paces playback silently); FALSE on failure.
BOOL MIDAS_CALL MIDASinit(void);
// Closes the output and everything started; always succeeds.
BOOL MIDAS_CALL MIDASclose(void);
// Starts the playback thread (pollRate is not used: the output pulls the sound); after MIDASinit.
BOOL MIDAS_CALL MIDASstartBackgroundPlay(DWORD pollRate);
// Stops the playback thread; FALSE when it is not running.
BOOL MIDAS_CALL MIDASstopBackgroundPlay(void);
// Pauses sound and sync callbacks together; FALSE without background play.
BOOL MIDAS_CALL MIDASsuspend(void);
// Goes on where MIDASsuspend stopped; FALSE without background play.
BOOL MIDAS_CALL MIDASresume(void);
// The code of the last failure.
int MIDAS_CALL MIDASgetLastError(void);
// The text of a code (for the last failure, its own detail); the library keeps the buffer.
char* MIDAS_CALL MIDASgetErrorMessage(int errorCode);

// Loads an XM module file by name (the backend says where a bare name is looked for); null on
// failure.
MIDASmodule MIDAS_CALL MIDASloadModule(char* fileName);
// Frees a loaded module; a module still playing is silenced first.
BOOL MIDAS_CALL MIDASfreeModule(MIDASmodule module);
// Plays the module from its start, from the beginning again at its end when loopSong; one
// module plays at a time. 0 on failure.
MIDASmodulePlayHandle MIDAS_CALL MIDASplayModule(MIDASmodule module, BOOL loopSong);
// Stops the playing module.
BOOL MIDAS_CALL MIDASstopModule(MIDASmodulePlayHandle playHandle);
// Sets (or with null removes) the function called once for every W command as its row plays,
// on the playback thread, with the command's value, the order position and the row.
BOOL MIDAS_CALL MIDASsetMusicSyncCallback(MIDASmodulePlayHandle playHandle,
                                          MIDASsyncCallback callback);

#endif
