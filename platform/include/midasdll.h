// The MIDAS sound library names the intro uses, for the backends that stand in for the library.
//
// The library's published interface: functions return a truth value or a handle, zero meaning
// failure; MIDASgetLastError and MIDASgetErrorMessage describe the last failure. The sync
// callback has the library's form, three unsigned arguments, and runs on the playback thread.
// Implemented by the backend a program links with.
#ifndef ZARVO_PLATFORM_MIDASDLL_H
#define ZARVO_PLATFORM_MIDASDLL_H

#include <windows.h>

#define MIDAS_CALL

typedef void* MIDASmodule;
typedef DWORD MIDASmodulePlayHandle;

typedef void(MIDAS_CALL* MIDASsyncCallback)(unsigned syncInfo, unsigned position, unsigned row);

BOOL MIDAS_CALL MIDASstartup(void);
BOOL MIDAS_CALL MIDASconfig(void);
BOOL MIDAS_CALL MIDASinit(void);
BOOL MIDAS_CALL MIDASclose(void);
BOOL MIDAS_CALL MIDASstartBackgroundPlay(DWORD pollRate);
BOOL MIDAS_CALL MIDASstopBackgroundPlay(void);
BOOL MIDAS_CALL MIDASsuspend(void);
BOOL MIDAS_CALL MIDASresume(void);
int MIDAS_CALL MIDASgetLastError(void);
char* MIDAS_CALL MIDASgetErrorMessage(int errorCode);

MIDASmodule MIDAS_CALL MIDASloadModule(char* fileName);
BOOL MIDAS_CALL MIDASfreeModule(MIDASmodule module);
MIDASmodulePlayHandle MIDAS_CALL MIDASplayModule(MIDASmodule module, BOOL loopSong);
BOOL MIDAS_CALL MIDASstopModule(MIDASmodulePlayHandle playHandle);
BOOL MIDAS_CALL MIDASsetMusicSyncCallback(MIDASmodulePlayHandle playHandle,
                                          MIDASsyncCallback callback);

#endif
