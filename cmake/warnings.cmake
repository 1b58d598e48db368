# Compiler warnings and sanitizers, applied per target so third-party code is left alone.

if(ZARVO_SANITIZE STREQUAL "address")
  add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=address,undefined)
elseif(ZARVO_SANITIZE STREQUAL "thread")
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

function(zarvo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra)
  if(ZARVO_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
