// Text over the picture: the opening title, the program title and the caption timetable.
#ifndef ZARVO_SHOW_OVERLAYS_H
#define ZARVO_SHOW_OVERLAYS_H

// Each draws through its own BeginText/EndText on the back surface (not locked) and returns 1,
// or 0 on failure: a failed BeginText or EndText has been reported, a failed text measurement
// ends the show without a message. Called by ShowFrame only.

// "Quillmoor presents...", white on a black box, centred on the 320x200 picture.
int DrawOpeningTitle();

// "Zarvo!", white over the picture, centred.
int DrawTitle();

// Caption `index`, white over the picture at the top-left corner. An index outside the table or
// an empty entry draws nothing and returns 1.
int DrawCaption(int index);

// Entry i is due while syncCount >> 7 equals i; nullptr is an empty entry.
extern const char* const captionTable[35];

#endif
