# The project's own targets build with these warnings; VARNEX_WERROR (on in CI and
# scripts/test.sh) turns them into errors.
option(VARNEX_WERROR "Treat warnings of the project's own targets as errors" OFF)

function(varnex_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic)
  # Some tests silence a g++-only false alarm by pragma; clang does not know its name.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    target_compile_options(${target} PRIVATE -Wno-unknown-warning-option)
  endif()
  if(VARNEX_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()
