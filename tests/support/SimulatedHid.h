#pragma once

#include "HidAccess.h"
#include <array>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

/** A simulated USB bus with HID amplifiers on it, for transport tests.

    Tests attach and detach devices, queue input reports and read back what was written;
    makeAccess() gives the HidAccess that a UsbConnection drives.  The bus must outlive
    every access made from it.  All operations are thread-safe.
*/
class SimulatedHid
{
public:
    using Report = std::array<std::uint8_t, HidAccess::reportSize>;

    struct Device
    {
        std::string path;
        int vendorId = 0x2F17;
        int productId = 0x1102;
        std::wstring identity = L"FW01";   // indexed string 4
        bool identityReadable = true;
    };

    SimulatedHid();
    ~SimulatedHid();

    /** Plugs a device in (replacing one with the same path). */
    void attach (const Device& device);
    /** Unplugs a device; an access holding it gets errors from then on. */
    void detach (const std::string& path);

    /** Queues an input report; `bytes` is how much of it the device delivers (1..64). */
    void queueReport (const std::string& path, const Report& report, int bytes = HidAccess::reportSize);
    /** Queues a report carrying `payload` framed as the amplifier frames it. */
    void queuePayload (const std::string& path, const std::string& payload);

    /** The reports written to a device so far, oldest first. */
    std::vector<Report> written (const std::string& path) const;
    /** Makes the next `count` writes to any device time out. */
    void failWrites (int count);
    /** From now on every write blocks for `milliseconds` whatever time-out it was given,
        then fails: a device that takes no reports, behind a layer that overruns its
        time-outs.  0 ends it. */
    void stallWrites (int milliseconds);
    int writeAttempts() const;
    /** The time-out each write was given, oldest first. */
    std::vector<int> writeTimeouts() const;

    /** While held, reads block (ignoring their time-out) until released; lets a test
        change shared state while the transport thread is known to be inside a read. */
    void holdReads (bool hold);
    /** How many readers are blocked by holdReads() right now. */
    int heldReaders() const;

    /** True while an access holds the device open. */
    bool isHeld (const std::string& path) const;
    /** How many times the device was opened. */
    int openCount (const std::string& path) const;
    int enumerateCount() const;

    /** The device layer for one UsbConnection. */
    std::unique_ptr<HidAccess> makeAccess();

private:
    class Access;
    struct Slot
    {
        Device device;
        bool present = false;
        bool held = false;
        int opens = 0;
        std::deque<std::pair<Report, int>> inbound;
        std::vector<Report> outbound;
    };

    mutable std::mutex lock;
    std::condition_variable reportQueued;
    std::map<std::string, Slot> slots;
    int writesToFail = 0;
    int writeStallMs = 0;
    int writeCount = 0;
    std::vector<int> timeoutsGiven;
    int enumerations = 0;
    bool readsHeld = false;
    int readersHeld = 0;
};
