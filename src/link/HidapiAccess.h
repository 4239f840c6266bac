#pragma once

#include "HidAccess.h"
#include "HidrawListing.h"

#include <set>
#include <utility>

struct hid_device_;

/** HidAccess over hidapi (the Linux hidraw backend in our build).

    Linux differences, hidden from the transport:
    - hidraw delivers input reports without the report ID byte when the device uses none;
      readReport() puts the 0 back in front so callers always see the 64-byte layout.
    - hidraw cannot read arbitrary string descriptors.  readIndexedString() tries hidapi
      first, then asks the USB device node itself for the descriptor (usbfs control
      transfer; the udev rule in packaging/udev grants access), and as a last resort
      answers index 4 with the product string.  The amplifier matching rules stay those of
      the transport: vendor, product and the string's first two characters.
    - A hidraw write is synchronous and bounded by the kernel's own USB time-out (about 5 s),
      so the `timeoutMs` of writeReport() is a ceiling the kernel may exceed when a device
      hangs.  The transport then tries that payload no more, but the one write still lasts.
    - hidapi enumerates through udev, which scans every HID device of the system: several
      times a second while the search waits for an amplifier, the largest cost of the program
      at rest.  A search that found nothing is answered again without scanning until the
      kernel's hidraw listing changes (a device plugged in or out).
*/
class HidapiAccess : public HidAccess
{
public:
    /** `hidrawDirectory`: where the kernel lists hidraw devices; tests point it elsewhere. */
    explicit HidapiAccess (std::string hidrawDirectory = "/sys/class/hidraw");
    ~HidapiAccess() override;

    std::vector<DeviceInfo> enumerate (int vendorId, int productId) override;
    bool open (const std::string& path) override;
    bool readIndexedString (int index, std::wstring& text, int maxChars) override;
    bool writeReport (const std::uint8_t* report, int timeoutMs) override;
    int readReport (std::uint8_t* report, int timeoutMs) override;
    void close() override;
    bool isOpen() const override;

private:
    bool readStringFromUsbNode (int index, std::wstring& text, int maxChars) const;

    hid_device_* device = nullptr;
    std::string openPath;

    // The searches (vendor, product) that found nothing since the hidraw listing last changed.
    HidrawListing hidraw;
    std::set<std::pair<int, int>> foundNothing;
};
