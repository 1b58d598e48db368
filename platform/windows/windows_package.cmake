# The zip of the Windows build (cpack in build-win32/, as tools/build-windows.sh does): one folder
# holding zarvo.exe, its module Zarvo.xm beside it, where the program looks for it, and a short
# read-me with the licence, in Windows' line endings. Nothing of the Linux install goes in.
configure_file(windows_readme.txt ${CMAKE_CURRENT_BINARY_DIR}/README.txt @ONLY NEWLINE_STYLE CRLF)

install(TARGETS zarvo RUNTIME DESTINATION .)
install(FILES ${CMAKE_BINARY_DIR}/Zarvo.xm ${CMAKE_CURRENT_BINARY_DIR}/README.txt DESTINATION .)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME zarvo)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME zarvo-${PROJECT_VERSION}-windows-x86)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
set(CPACK_STRIP_FILES ON)
include(CPack)
