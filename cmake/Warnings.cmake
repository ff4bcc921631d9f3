# Common warning set for our own targets.
function(tessarin_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor
    -Wcast-align -Woverloaded-virtual -Wimplicit-fallthrough)
  if(TESSARIN_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
