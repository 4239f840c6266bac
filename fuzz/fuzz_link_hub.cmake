target_link_libraries(${name} PRIVATE zr_link zr_warnings)
# The model, panel, Setup page and dialog fakes of the tests stand behind the dispatch.
target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
