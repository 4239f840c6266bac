#include "HidapiAccess.h"
#include <hidapi.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <linux/usbdevice_fs.h>
#include <mutex>
#include <sys/ioctl.h>
#include <unistd.h>

namespace
{
    constexpr int identityStringIndex = 4;
    constexpr unsigned controlTimeoutMs = 200;

    void initialiseOnce()
    {
        static std::once_flag once;
        std::call_once (once, [] { hid_init(); });
    }

    /** Reads a small decimal number from a sysfs file; -1 when absent or not a number. */
    int readSysfsNumber (const std::string& file)
    {
        std::FILE* f = std::fopen (file.c_str(), "r");
        if (f == nullptr)
            return -1;

        int value = -1;
        if (std::fscanf (f, "%d", &value) != 1)
            value = -1;

        std::fclose (f);
        return value;
    }

    /** The usbfs node of the USB device behind a hidraw path ("/dev/hidrawN"), or "". */
    std::string usbNodeForHidraw (const std::string& hidrawPath)
    {
        const auto slash = hidrawPath.find_last_of ('/');
        const auto name = hidrawPath.substr (slash == std::string::npos ? 0 : slash + 1);

        if (name.size() <= 6 || name.compare (0, 6, "hidraw") != 0
            || ! std::all_of (name.begin() + 6, name.end(), [] (char c) { return c >= '0' && c <= '9'; }))
            return {};

        char resolved[4096];
        const auto link = "/sys/class/hidraw/" + name + "/device";
        if (realpath (link.c_str(), resolved) == nullptr)
            return {};

        // Walk up from the HID device to the USB device, the first level with a bus number.
        std::string dir (resolved);
        for (int level = 0; level < 4 && dir.size() > 1; ++level)
        {
            const int bus = readSysfsNumber (dir + "/busnum");
            const int dev = readSysfsNumber (dir + "/devnum");

            if (bus > 0 && bus < 1000 && dev > 0 && dev < 1000)
            {
                char node[64];
                std::snprintf (node, sizeof node, "/dev/bus/usb/%03d/%03d", bus, dev);
                return node;
            }

            dir.erase (dir.find_last_of ('/'));
        }

        return {};
    }

    /** One GET_DESCRIPTOR (string) control transfer; returns the bytes received or -1. */
    int getStringDescriptor (int fd, int index, int langId, unsigned char* data, int size)
    {
        usbdevfs_ctrltransfer transfer {};
        transfer.bRequestType = 0x80;   // device to host, standard, device
        transfer.bRequest = 0x06;       // GET_DESCRIPTOR
        transfer.wValue = (unsigned short) (0x0300 | (index & 0xff));
        transfer.wIndex = (unsigned short) langId;
        transfer.wLength = (unsigned short) size;
        transfer.timeout = controlTimeoutMs;
        transfer.data = data;

        const int received = ioctl (fd, USBDEVFS_CONTROL, &transfer);
        if (received < 2 || received > size || data[1] != 0x03)
            return -1;

        return std::min (received, (int) data[0]);
    }
}

HidapiAccess::HidapiAccess (std::string hidrawDirectory)
    : hidraw (std::move (hidrawDirectory))
{
    initialiseOnce();
}

HidapiAccess::~HidapiAccess()
{
    close();
}

std::vector<HidAccess::DeviceInfo> HidapiAccess::enumerate (int vendorId, int productId)
{
    // Read before the scan: a device that appears during it changes the next listing.
    if (! hidraw.unchangedSinceLastLook())
        foundNothing.clear();
    const auto search = std::make_pair (vendorId, productId);
    if (foundNothing.count (search) > 0)
        return {};

    std::vector<DeviceInfo> found;
    auto* list = hid_enumerate ((unsigned short) vendorId, (unsigned short) productId);

    for (auto* d = list; d != nullptr; d = d->next)
        if (d->path != nullptr)
            found.push_back ({ d->path, d->vendor_id, d->product_id });

    hid_free_enumeration (list);

    std::sort (found.begin(), found.end(), [] (const DeviceInfo& a, const DeviceInfo& b) { return a.path < b.path; });
    if (found.empty())
        foundNothing.insert (search);
    return found;
}

bool HidapiAccess::open (const std::string& path)
{
    close();
    device = hid_open_path (path.c_str());

    if (device == nullptr)
        return false;

    openPath = path;
    return true;
}

bool HidapiAccess::readIndexedString (int index, std::wstring& text, int maxChars)
{
    text.clear();

    if (device == nullptr || maxChars < 1 || maxChars > 255)
        return false;

    std::vector<wchar_t> buffer ((size_t) maxChars + 1, 0);

    if (hid_get_indexed_string (device, index, buffer.data(), buffer.size()) == 0)
    {
        text.assign (buffer.data(), wcsnlen (buffer.data(), (size_t) maxChars));
        return true;
    }

    if (readStringFromUsbNode (index, text, maxChars))
        return true;

    // Last resort where neither the HID layer nor the USB node can give the descriptor.
    if (index == identityStringIndex && hid_get_product_string (device, buffer.data(), buffer.size()) == 0)
    {
        text.assign (buffer.data(), wcsnlen (buffer.data(), (size_t) maxChars));
        return true;
    }

    return false;
}

bool HidapiAccess::readStringFromUsbNode (int index, std::wstring& text, int maxChars) const
{
    const auto node = usbNodeForHidraw (openPath);
    if (node.empty())
        return false;

    int fd = ::open (node.c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0)
        fd = ::open (node.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;

    unsigned char data[255] {};
    int langId = 0x0409;

    const int languages = getStringDescriptor (fd, 0, 0, data, (int) sizeof data);
    if (languages >= 4)
        langId = data[2] | (data[3] << 8);

    std::memset (data, 0, sizeof data);
    const int length = getStringDescriptor (fd, index, langId, data, (int) sizeof data);
    ::close (fd);

    if (length < 2)
        return false;

    // UTF-16LE code units after the two header bytes; the prefix check needs nothing more.
    for (int i = 2; i + 1 < length && (int) text.size() < maxChars; i += 2)
        text.push_back ((wchar_t) (data[i] | (data[i + 1] << 8)));

    return true;
}

bool HidapiAccess::writeReport (const std::uint8_t* report, int timeoutMs)
{
    (void) timeoutMs;   // hidraw writes are synchronous (see the header)

    if (device == nullptr)
        return false;

    // hidraw strips the leading report ID 0 and may count it or not.
    return hid_write (device, report, (size_t) reportSize) >= reportSize - 1;
}

int HidapiAccess::readReport (std::uint8_t* report, int timeoutMs)
{
    if (device == nullptr)
        return -1;

    // The device numbers no reports, so hidraw hands over the data without the ID byte.
    unsigned char data[reportSize - 1];
    const int received = hid_read_timeout (device, data, sizeof data, timeoutMs);

    if (received <= 0)
        return received < 0 ? -1 : 0;

    report[0] = 0;
    std::memcpy (report + 1, data, (size_t) received);
    return received + 1;
}

void HidapiAccess::close()
{
    if (device != nullptr)
        hid_close (device);

    device = nullptr;
    openPath.clear();
}

bool HidapiAccess::isOpen() const
{
    return device != nullptr;
}
