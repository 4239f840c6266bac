# The USB and UDP transports of the device link, against a simulated HID bus and loopback.
zr_add_test(link_transport_tests
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/transport_usb_tests.cpp
        ${CMAKE_CURRENT_LIST_DIR}/transport_udp_tests.cpp
        ${CMAKE_CURRENT_LIST_DIR}/../support/SimulatedHid.cpp
    LIBS zr_link)
