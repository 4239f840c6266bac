// Input reports from a USB device are untrusted: whatever bytes arrive, the check must
// either refuse them or name a payload that lies inside what was delivered and looks
// like an OSC message; and every payload it would accept must survive our own framing.

#include "UsbConnection.h"
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    if (size < 1)
        return 0;

    // First byte: how many bytes the device claims to have delivered (-1..64 and beyond).
    const int bytesRead = (int) data[0] - 1;
    std::uint8_t report[HidAccess::reportSize];
    std::memset (report, 0xAA, sizeof report);
    std::memcpy (report, data + 1, std::min (size - 1, sizeof report));

    const int length = UsbConnection::acceptedPayloadLength (report, bytesRead);

    if (length < 0)
        return 0;

    if (length > UsbConnection::maxPayload || length % 4 != 0 || 2 + length > bytesRead
        || bytesRead > HidAccess::reportSize || report[2] != '/')
        std::abort();

    std::uint8_t framed[HidAccess::reportSize];
    if (! UsbConnection::frameReport (report + 2, length, framed)
        || UsbConnection::acceptedPayloadLength (framed, HidAccess::reportSize) != length
        || std::memcmp (framed + 2, report + 2, (std::size_t) length) != 0)
        std::abort();

    return 0;
}
