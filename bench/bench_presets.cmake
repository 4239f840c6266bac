target_link_libraries(${name} PRIVATE zr_preset_text)
target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
