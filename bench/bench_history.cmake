target_link_libraries(${name} PRIVATE zr_shell)
# The same way into a private network namespace as the tests that open sockets.
target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support)
