#include "NoUsbDevices.h"

std::vector<HidAccess::DeviceInfo> NoUsbDevices::enumerate (int, int)
{
    return {};
}

bool NoUsbDevices::open (const std::string&)
{
    return false;
}

bool NoUsbDevices::readIndexedString (int, std::wstring& text, int)
{
    text.clear();
    return false;
}

bool NoUsbDevices::writeReport (const std::uint8_t*, int)
{
    return false;
}

int NoUsbDevices::readReport (std::uint8_t*, int)
{
    return -1;
}

void NoUsbDevices::close() {}

bool NoUsbDevices::isOpen() const
{
    return false;
}
