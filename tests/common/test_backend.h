// The backend of the common tests: no display, no input and no sound device, and the font face
// the build's backends name (gdi_font.h).
//
//   TestBackend  that record; it is installed before the tests run, and a test that installs
//                tables of its own starts from it and puts it back afterwards
#ifndef ZARVO_TESTS_COMMON_TEST_BACKEND_H
#define ZARVO_TESTS_COMMON_TEST_BACKEND_H

#include "backend.h"

namespace commontest {

platform::Backend TestBackend();

} // namespace commontest

#endif
