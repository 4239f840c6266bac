# Our own code builds clean with -Wall -Wextra, and warnings are errors.  JUCE's
# module sources are compiled without these (they are not ours to fix).
add_library(zr_warnings INTERFACE)
target_compile_options(zr_warnings INTERFACE -Wall -Wextra -Werror -Wno-error=deprecated-declarations)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    # JUCE's own headers trip these under GCC 12 inside code that includes them.
    target_compile_options(zr_warnings INTERFACE -Wno-dangling-pointer -Wno-array-bounds -Wno-stringop-overflow)
endif()
