# The panel with its remote, and phones as plain WebSocket clients (tests/remote); into a
# private network namespace as the tests that open sockets.
target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests/support ${CMAKE_SOURCE_DIR}/tests/remote)
target_link_libraries(${name} PRIVATE zr_shell)
