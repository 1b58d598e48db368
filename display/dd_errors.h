// Descriptions of DirectDraw result codes, for failure messages.
#ifndef ZARVO_DISPLAY_DD_ERRORS_H
#define ZARVO_DISPLAY_DD_ERRORS_H

#include <windows.h>

struct DDErrorEntry {
    HRESULT code;
    const char* text;
};

// DD_OK first, then every DirectDraw error in the order of its name.
extern const DDErrorEntry DDErrorTable[111];

// The description of a result code, compared on all 32 bits; "( Unknown Error )" for a code that
// is not in the table. Never null; the text lives as long as the process.
const char* DDErrorString(HRESULT code);

#endif
