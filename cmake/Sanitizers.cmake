# Sanitizer builds: the flags go on every target, JUCE included, so that one
# instrumented copy of each object exists.
if(ZR_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "ZR_FUZZ needs clang: configure with CC=clang CXX=clang++")
    endif()
    set(ZR_GUI OFF CACHE BOOL "" FORCE)
    if(NOT ZR_SANITIZE)
        set(ZR_SANITIZE "address,undefined")
    endif()
    # Every compiled object gets coverage for libFuzzer; only the fuzz targets link its main().
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(ZR_SANITIZE)
    add_compile_options(-fsanitize=${ZR_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=${ZR_SANITIZE})
endif()
