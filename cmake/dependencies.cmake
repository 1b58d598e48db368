# What the build takes from the system: a missing library or program stops the configuration
# and says which Debian package brings it, rather than leaving parts of the build or the tests
# out without a word.
#
#   zarvo_require_modules(NAME PACKAGES MODULE...)
# finds the pkg-config MODULEs as the imported target PkgConfig::NAME.
#   zarvo_require_program(VARIABLE PROGRAM PACKAGES)
# finds the program PROGRAM and sets the cache variable VARIABLE to its path.
# PACKAGES is one or more Debian package names (a semicolon list) named in the message.
# ZARVO_DEPENDENCY_HINT is the command that installs them all for this kind of build.
if(WIN32)
  set(ZARVO_DEPENDENCY_HINT "tools/install-deps.sh --windows")
elseif(EMSCRIPTEN)
  set(ZARVO_DEPENDENCY_HINT "tools/install-deps.sh --web")
else()
  set(ZARVO_DEPENDENCY_HINT "tools/install-deps.sh")
endif()

function(zarvo_missing what packages)
  list(JOIN packages ", " names)
  message(FATAL_ERROR "Missing: ${what} (Debian: ${names}). Run ${ZARVO_DEPENDENCY_HINT}.")
endfunction()

find_package(PkgConfig QUIET)
if(NOT PKG_CONFIG_FOUND)
  zarvo_missing("the program pkg-config" pkg-config)
endif()

function(zarvo_require_modules name packages)
  pkg_check_modules(${name} QUIET IMPORTED_TARGET ${ARGN})
  if(NOT ${name}_FOUND)
    list(JOIN ARGN " or " modules)
    zarvo_missing("the library ${modules}" "${packages}")
  endif()
endfunction()

function(zarvo_require_program variable program packages)
  find_program(${variable} ${program})
  if(NOT ${variable})
    zarvo_missing("the program ${program}" "${packages}")
  endif()
endfunction()
