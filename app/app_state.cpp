// The one instance of the shell's global state.
#include "app/app_state.h"

AppState appState{};
