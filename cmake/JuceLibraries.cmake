# JUCE 7 from Debian's juce-modules-source, compiled as two static libraries of our own:
#   zr_juce_base: core, events, data_structures (no window system; the model and link use it)
#   zr_juce_gui:  graphics, gui_basics, gui_extra (the window, the pages, the preset document)
# Building them from the module sources directly keeps each module compiled once, and keeps
# the windowless libraries free of any GUI code.
set(ZR_JUCE_MODULES "/usr/share/juce/modules" CACHE PATH "JUCE modules folder")
if(NOT EXISTS "${ZR_JUCE_MODULES}/juce_core/juce_core.h")
    message(FATAL_ERROR "JUCE modules not found in ${ZR_JUCE_MODULES} (install juce-modules-source)")
endif()

set(ZR_JUCE_DEFINITIONS
    JUCE_GLOBAL_MODULE_SETTINGS_INCLUDED=1
    JUCE_STANDALONE_APPLICATION=1
    JUCE_DISPLAY_SPLASH_SCREEN=0
    JUCE_USE_CURL=0
    JUCE_WEB_BROWSER=0
    JUCE_MODAL_LOOPS_PERMITTED=0
    JUCE_STRICT_REFCOUNTEDPOINTER=1
    JUCE_MODULE_AVAILABLE_juce_core=1
    JUCE_MODULE_AVAILABLE_juce_events=1
    JUCE_MODULE_AVAILABLE_juce_data_structures=1
    $<$<CONFIG:Debug>:DEBUG=1 _DEBUG=1>
    $<$<NOT:$<CONFIG:Debug>>:NDEBUG=1>)

add_library(zr_juce_base STATIC
    ${ZR_JUCE_MODULES}/juce_core/juce_core.cpp
    ${ZR_JUCE_MODULES}/juce_events/juce_events.cpp
    ${ZR_JUCE_MODULES}/juce_data_structures/juce_data_structures.cpp)
target_include_directories(zr_juce_base SYSTEM PUBLIC ${ZR_JUCE_MODULES})
target_compile_definitions(zr_juce_base PUBLIC ${ZR_JUCE_DEFINITIONS})
target_compile_options(zr_juce_base PRIVATE -w)
pkg_check_modules(ZLIB_PC REQUIRED IMPORTED_TARGET zlib)
target_link_libraries(zr_juce_base PUBLIC Threads::Threads ${CMAKE_DL_LIBS} rt PkgConfig::ZLIB_PC)

if(ZR_GUI)
    pkg_check_modules(JUCE_GUI_DEPS REQUIRED IMPORTED_TARGET freetype2 libpng libjpeg)
    add_library(zr_juce_gui STATIC
        ${ZR_JUCE_MODULES}/juce_graphics/juce_graphics.cpp
        ${ZR_JUCE_MODULES}/juce_gui_basics/juce_gui_basics.cpp
        ${ZR_JUCE_MODULES}/juce_gui_extra/juce_gui_extra.cpp)
    target_compile_definitions(zr_juce_gui PUBLIC
        JUCE_MODULE_AVAILABLE_juce_graphics=1
        JUCE_MODULE_AVAILABLE_juce_gui_basics=1
        JUCE_MODULE_AVAILABLE_juce_gui_extra=1)
    target_compile_options(zr_juce_gui PRIVATE -w)
    target_link_libraries(zr_juce_gui PUBLIC zr_juce_base PkgConfig::JUCE_GUI_DEPS)
endif()
