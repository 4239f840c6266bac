#pragma once

#include <cstdint>
#include <string>
#include <vector>

/** The small device-access layer under the USB transport.

    One object serves one transport thread and holds at most one open device; it is used
    from that thread only (construction and destruction may happen elsewhere).  The real
    one is HidapiAccess; tests plug in a simulated amplifier.

    Reports are always 64 bytes in the wire layout the amplifier uses: byte 0 is the report
    ID (always 0), then 63 bytes of report data.  A backend whose platform strips or adds
    the report ID byte must hide that here.
*/
class HidAccess
{
public:
    /** One present HID device of the wanted vendor and product. */
    struct DeviceInfo
    {
        std::string path;   // backend-specific, passed back to open()
        int vendorId = 0;
        int productId = 0;
    };

    static constexpr int reportSize = 64;

    virtual ~HidAccess() = default;

    /** Lists the present HID devices with this vendor and product ID, in a stable order.
        Empty when there are none or the platform cannot enumerate.  Never blocks for long. */
    virtual std::vector<DeviceInfo> enumerate (int vendorId, int productId) = 0;

    /** Opens the device at `path` for reading and writing, closing any device held before.
        Returns false (and holds nothing) when it cannot be opened. */
    virtual bool open (const std::string& path) = 0;

    /** Reads USB string descriptor `index` of the open device into `text`, at most
        `maxChars` characters.  Returns false when there is no open device or the string
        cannot be read; `text` is then empty. */
    virtual bool readIndexedString (int index, std::wstring& text, int maxChars) = 0;

    /** Writes one 64-byte report (byte 0 the report ID) to the open device, waiting at most
        about `timeoutMs` ms.  Returns true when the whole report was handed to the device;
        false on time-out, error or no open device (the caller may try again).  A backend
        that cannot keep the time-out must say so; the transport stops trying one payload
        after UsbConnection::writeBudgetMs in any case. */
    virtual bool writeReport (const std::uint8_t* report, int timeoutMs) = 0;

    /** Reads one input report into `report` (64 bytes, byte 0 the report ID), waiting at
        most `timeoutMs` ms.  Returns the number of meaningful bytes (1..64, counting the ID
        byte), 0 on time-out, -1 on error or with no open device.  Bytes beyond the count
        are left as they were. */
    virtual int readReport (std::uint8_t* report, int timeoutMs) = 0;

    /** Releases the open device, if any.  Safe to call at any time. */
    virtual void close() = 0;

    /** True while a device is open. */
    virtual bool isOpen() const = 0;
};
