#pragma once

#include <string>
#include <utility>
#include <vector>

/** What the kernel lists as hidraw devices: the entries of /sys/class/hidraw, by name and
    inode, so that a device unplugged and another plugged in under the same name still reads
    as a change.

    Reading it costs a few system calls, where a hidapi enumeration scans every HID device
    through udev; the USB search asks for one only when this listing changed.  Any thread,
    one object per thread.
*/
class HidrawListing
{
public:
    /** `directory`: where the kernel lists the hidraw devices; tests point it elsewhere. */
    explicit HidrawListing (std::string directory = "/sys/class/hidraw");

    /** Reads the listing again; true when it is the same as at the previous call (never at
        the first).  A directory that cannot be read lists nothing. */
    bool unchangedSinceLastLook();

private:
    using Entry = std::pair<std::string, unsigned long>;
    std::vector<Entry> read() const;

    std::string directory;
    std::vector<Entry> previous;
    bool lookedBefore = false;
};
