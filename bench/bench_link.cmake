# The hub and its transports (and zr-ctl's pull over them) against a zr-ampsim process; the simulator's runner and the
# stand-ins for the panel and the Setup page come from the tests' support folder.
target_sources(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support/AmpSimProcess.cpp)
target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
target_link_libraries(${name} PRIVATE zr_link zr_ctl_core)
target_compile_definitions(${name} PRIVATE ZR_AMPSIM="$<TARGET_FILE:zr-ampsim>")
add_dependencies(${name} zr-ampsim)
