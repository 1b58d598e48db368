# Cross-compiling for 32-bit Windows with mingw-w64 (posix threads variant, for std::thread).
#
# The programs are linked statically, so zarvo.exe needs no DLL beside the system's. Arithmetic
# goes through SSE2 rather than the x87 unit, so floats round as on the other builds.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(ZARVO_MINGW_HOST i686-w64-mingw32)
set(CMAKE_C_COMPILER ${ZARVO_MINGW_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZARVO_MINGW_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${ZARVO_MINGW_HOST}-windres)

set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Libraries and headers of the target come from the mingw sysroot and the prefix given in
# CMAKE_PREFIX_PATH (the cross-built libopenmpt); programs run during the build are the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${ZARVO_MINGW_HOST})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
