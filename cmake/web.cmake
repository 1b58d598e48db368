# The web build (Emscripten, through emcmake): where the libraries built for it are found, and how
# its programs run on the build machine.
#
# ZARVO_WEB_PREFIX holds libopenmpt and FreeType built for WebAssembly
# (tools/build-web-libs.sh). pkg-config must look only there, or it hands out the host's headers;
# CMake's library search is rooted there too, or the link finds nothing. Test programs run under
# Node.js, whose fetch would stand in for Emscripten's file reading. Debian's emcc finds its
# JavaScript parser among Debian's node modules, which a Node.js from elsewhere does not search.
set(ZARVO_WEB_PREFIX "" CACHE PATH "Where libopenmpt and FreeType for WebAssembly are installed")
if(NOT EXISTS ${ZARVO_WEB_PREFIX}/lib/pkgconfig/libopenmpt.pc OR
   NOT EXISTS ${ZARVO_WEB_PREFIX}/lib/pkgconfig/freetype2.pc)
  message(FATAL_ERROR "libopenmpt and FreeType for WebAssembly not found in '${ZARVO_WEB_PREFIX}': "
    "run tools/build-web-libs.sh and pass its prefix as ZARVO_WEB_PREFIX (tools/build-web.sh does both)")
endif()
set(ENV{PKG_CONFIG_LIBDIR} ${ZARVO_WEB_PREFIX}/lib/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")
list(APPEND CMAKE_FIND_ROOT_PATH ${ZARVO_WEB_PREFIX})
set(CMAKE_CROSSCOMPILING_EMULATOR "node;--no-experimental-fetch")
set(ZARVO_WEB_NODE_PATH "/usr/share/nodejs" CACHE PATH "Node.js modules emcc needs (acorn)")
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env "NODE_PATH=${ZARVO_WEB_NODE_PATH}")
