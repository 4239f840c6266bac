# The USB and UDP transports of the device link: against a simulated HID bus, real sockets on
# loopback (in a private network namespace) and the simulated network; the socket's promises
# against both sockets.
zr_add_test(link_transport_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/transport_usb_tests.cpp
        ${CMAKE_CURRENT_LIST_DIR}/transport_udp_tests.cpp
        ${CMAKE_CURRENT_LIST_DIR}/transport_udp_simulated_tests.cpp
        ${CMAKE_CURRENT_LIST_DIR}/socket_contract_tests.cpp
        ${CMAKE_CURRENT_LIST_DIR}/../support/SimulatedHid.cpp
        ${CMAKE_CURRENT_LIST_DIR}/../support/SimulatedNetwork.cpp
    LIBS zr_link)
