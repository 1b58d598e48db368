# The data a cross build takes from a build of this project for the host: the icon drawn by
# zarvo-make-icon and the module composed by zarvo-compose.
#
#   zarvo_host_data(TARGET ICON_FILE SCRIPT [OUTPUT...])
# makes TARGET, built by default, which draws ICON_FILE, copies Zarvo.xm to the build folder's top
# and also depends on the other OUTPUTs of custom commands in the calling folder. The host build
# is the cache entry ZARVO_HOST_BUILD; SCRIPT, the tool that makes one, is named when it is
# missing.
function(zarvo_host_data target icon script)
  set(ZARVO_HOST_BUILD "" CACHE PATH "A host build of this project holding zarvo-make-icon and Zarvo.xm")
  if(NOT EXISTS ${ZARVO_HOST_BUILD}/zarvo-make-icon OR NOT EXISTS ${ZARVO_HOST_BUILD}/Zarvo.xm)
    message(FATAL_ERROR "ZARVO_HOST_BUILD ('${ZARVO_HOST_BUILD}') holds no zarvo-make-icon and "
      "Zarvo.xm: build the host targets first (${script} does it all)")
  endif()
  add_custom_command(
    OUTPUT ${icon}
    COMMAND ${ZARVO_HOST_BUILD}/zarvo-make-icon ${icon}
    DEPENDS ${ZARVO_HOST_BUILD}/zarvo-make-icon
    COMMENT "Drawing zarvo.ico"
    VERBATIM)
  add_custom_command(
    OUTPUT ${CMAKE_BINARY_DIR}/Zarvo.xm
    COMMAND ${CMAKE_COMMAND} -E copy ${ZARVO_HOST_BUILD}/Zarvo.xm ${CMAKE_BINARY_DIR}/Zarvo.xm
    DEPENDS ${ZARVO_HOST_BUILD}/Zarvo.xm
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${icon} ${CMAKE_BINARY_DIR}/Zarvo.xm ${ARGN})
endfunction()
