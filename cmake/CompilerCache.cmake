# ccache, when present, makes the JUCE modules compile once for every build folder:
# their sources and flags do not depend on the folder, and the folder is left out of the hash.
# Paths below the source tree are hashed relative to it, so another checkout of the same
# code (a fresh clone, a second work tree) finds its objects in the cache too.
find_program(ZR_CCACHE ccache)
if(ZR_CCACHE)
    set(_launcher ${CMAKE_COMMAND} -E env CCACHE_NOHASHDIR=true CCACHE_SLOPPINESS=time_macros
                  CCACHE_BASEDIR=${CMAKE_SOURCE_DIR} ${ZR_CCACHE})
    set(CMAKE_C_COMPILER_LAUNCHER ${_launcher})
    set(CMAKE_CXX_COMPILER_LAUNCHER ${_launcher})
endif()
