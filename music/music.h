// Music playback through the sound library, and the sync clock that drives the show.
#ifndef ZARVO_MUSIC_MUSIC_H
#define ZARVO_MUSIC_MUSIC_H

#include <midasdll.h>

// Starts the library (with the user's sound configuration), loads "Zarvo.xm", plays it looping
// in the background and installs MusicSyncCallback; musicStage records each step reached.
// Returns 1, or 0 after ErrorBox has reported the failing call. Called first by WinMain.
int InitMusic();

// Undoes what InitMusic reached, newest first, and sets musicStage to 0, so a second call makes
// no library call. Called only by Shutdown.
void ShutdownMusic();

// Pause and continue playback (and with it the sync callbacks, so the show stands still). They
// do nothing while musicStage is 0. Called by MainWndProc on activation changes.
void SuspendMusic();
void ResumeMusic();

// Runs on the library's playback thread once per sync command played: counts it in syncCount.
void MIDAS_CALL MusicSyncCallback(unsigned syncInfo, unsigned position, unsigned row);

#endif
