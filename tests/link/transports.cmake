# The USB and UDP transports of the device link: against a simulated HID bus, real sockets on
# loopback (in a private network namespace) and the simulated network; the socket's promises
# against both sockets; stopping the link's threads.
zr_add_test(link_transport_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/TransportUsbTests.cpp
        ${CMAKE_CURRENT_LIST_DIR}/TransportUdpTests.cpp
        ${CMAKE_CURRENT_LIST_DIR}/TransportUdpSimulatedTests.cpp
        ${CMAKE_CURRENT_LIST_DIR}/SocketContractTests.cpp
        ${CMAKE_CURRENT_LIST_DIR}/LinkThreadTests.cpp
        ${CMAKE_CURRENT_LIST_DIR}/../support/SimulatedHid.cpp
        ${CMAKE_CURRENT_LIST_DIR}/../support/SimulatedNetwork.cpp
    LIBS zr_link)
