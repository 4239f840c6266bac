#pragma once

#include "HidAccess.h"

/** A USB bus with nothing on it.  zr-ctl gives it to the hub for a command aimed at network
    hosts, so that no amplifier on USB is opened (and held) while the tool talks to others
    and no time goes into scanning for one; benchmarks and fuzz targets give it so that they
    never touch a real device. */
class NoUsbDevices : public HidAccess
{
public:
    std::vector<DeviceInfo> enumerate (int vendorId, int productId) override;
    bool open (const std::string& path) override;
    bool readIndexedString (int index, std::wstring& text, int maxChars) override;
    bool writeReport (const std::uint8_t* report, int timeoutMs) override;
    int readReport (std::uint8_t* report, int timeoutMs) override;
    void close() override;
    bool isOpen() const override;
};
