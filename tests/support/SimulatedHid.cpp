#include "SimulatedHid.h"
#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

/** One opened-or-not handle on the bus, as a UsbConnection sees it. */
class SimulatedHid::Access : public HidAccess
{
public:
    explicit Access (SimulatedHid& busToUse)
        : bus (busToUse)
    {
    }
    ~Access() override { close(); }

    std::vector<DeviceInfo> enumerate (int vendorId, int productId) override
    {
        const std::lock_guard<std::mutex> l (bus.lock);
        ++bus.enumerations;
        std::vector<DeviceInfo> found;

        for (const auto& [path, slot] : bus.slots)
            if (slot.present && slot.device.vendorId == vendorId && slot.device.productId == productId)
                found.push_back ({ path, vendorId, productId });

        return found;
    }

    bool open (const std::string& path) override
    {
        close();
        const std::lock_guard<std::mutex> l (bus.lock);
        auto it = bus.slots.find (path);

        if (it == bus.slots.end() || ! it->second.present || it->second.held)
            return false;

        it->second.held = true;
        ++it->second.opens;
        openPath = path;
        return true;
    }

    bool readIndexedString (int index, std::wstring& text, int maxChars) override
    {
        text.clear();
        const std::lock_guard<std::mutex> l (bus.lock);
        auto* slot = heldSlot();

        if (slot == nullptr || index != 4 || ! slot->device.identityReadable)
            return false;

        text = slot->device.identity.substr (0, (size_t) maxChars);
        return true;
    }

    bool writeReport (const std::uint8_t* report, int timeoutMs) override
    {
        std::unique_lock<std::mutex> l (bus.lock);
        ++bus.writeCount;
        bus.timeoutsGiven.push_back (timeoutMs);

        if (const int stall = bus.writeStallMs; stall > 0)
        {
            l.unlock();
            std::this_thread::sleep_for (std::chrono::milliseconds (stall));
            return false;
        }

        auto* slot = heldSlot();

        if (slot == nullptr || ! slot->present)
            return false;

        if (bus.writesToFail > 0)
        {
            --bus.writesToFail;
            return false;
        }

        Report copy;
        std::memcpy (copy.data(), report, copy.size());
        slot->outbound.push_back (copy);
        return true;
    }

    int readReport (std::uint8_t* report, int timeoutMs) override
    {
        std::unique_lock<std::mutex> l (bus.lock);

        if (bus.readsHeld)
        {
            ++bus.readersHeld;
            bus.reportQueued.wait (l, [this] { return ! bus.readsHeld; });
            --bus.readersHeld;
        }

        const auto ready = [this]
        {
            auto* slot = heldSlot();
            return slot == nullptr || ! slot->present || ! slot->inbound.empty();
        };

        if (! bus.reportQueued.wait_for (l, std::chrono::milliseconds (timeoutMs), ready))
            return 0;

        auto* slot = heldSlot();
        if (slot == nullptr || ! slot->present)
            return -1;

        const auto [data, bytes] = slot->inbound.front();
        slot->inbound.pop_front();
        std::memcpy (report, data.data(), (size_t) bytes);
        return bytes;
    }

    void close() override
    {
        const std::lock_guard<std::mutex> l (bus.lock);
        if (auto* slot = heldSlot())
            slot->held = false;

        openPath.clear();
    }

    bool isOpen() const override
    {
        const std::lock_guard<std::mutex> l (bus.lock);
        return ! openPath.empty();
    }

private:
    Slot* heldSlot()
    {
        auto it = bus.slots.find (openPath);
        return openPath.empty() || it == bus.slots.end() ? nullptr : &it->second;
    }

    SimulatedHid& bus;
    std::string openPath;
};

SimulatedHid::SimulatedHid() = default;
SimulatedHid::~SimulatedHid() = default;

void SimulatedHid::attach (const Device& device)
{
    const std::lock_guard<std::mutex> l (lock);
    auto& slot = slots[device.path];
    slot.device = device;
    slot.present = true;
    slot.inbound.clear();
}

void SimulatedHid::detach (const std::string& path)
{
    {
        const std::lock_guard<std::mutex> l (lock);
        auto it = slots.find (path);
        if (it != slots.end())
            it->second.present = false;
    }
    reportQueued.notify_all();
}

void SimulatedHid::queueReport (const std::string& path, const Report& report, int bytes)
{
    {
        const std::lock_guard<std::mutex> l (lock);
        slots[path].inbound.emplace_back (report, bytes);
    }
    reportQueued.notify_all();
}

void SimulatedHid::queuePayload (const std::string& path, const std::string& payload)
{
    Report report {};
    report[1] = (std::uint8_t) payload.size();
    std::memcpy (report.data() + 2, payload.data(), std::min (payload.size(), report.size() - 2));
    queueReport (path, report);
}

std::vector<SimulatedHid::Report> SimulatedHid::written (const std::string& path) const
{
    const std::lock_guard<std::mutex> l (lock);
    auto it = slots.find (path);
    return it == slots.end() ? std::vector<Report>() : it->second.outbound;
}

void SimulatedHid::holdReads (bool hold)
{
    {
        const std::lock_guard<std::mutex> l (lock);
        readsHeld = hold;
    }
    reportQueued.notify_all();
}

int SimulatedHid::heldReaders() const
{
    const std::lock_guard<std::mutex> l (lock);
    return readersHeld;
}

void SimulatedHid::failWrites (int count)
{
    const std::lock_guard<std::mutex> l (lock);
    writesToFail = count;
}

void SimulatedHid::stallWrites (int milliseconds)
{
    const std::lock_guard<std::mutex> l (lock);
    writeStallMs = milliseconds;
}

int SimulatedHid::writeAttempts() const
{
    const std::lock_guard<std::mutex> l (lock);
    return writeCount;
}

std::vector<int> SimulatedHid::writeTimeouts() const
{
    const std::lock_guard<std::mutex> l (lock);
    return timeoutsGiven;
}

bool SimulatedHid::isHeld (const std::string& path) const
{
    const std::lock_guard<std::mutex> l (lock);
    auto it = slots.find (path);
    return it != slots.end() && it->second.held;
}

int SimulatedHid::openCount (const std::string& path) const
{
    const std::lock_guard<std::mutex> l (lock);
    auto it = slots.find (path);
    return it == slots.end() ? 0 : it->second.opens;
}

int SimulatedHid::enumerateCount() const
{
    const std::lock_guard<std::mutex> l (lock);
    return enumerations;
}

std::unique_ptr<HidAccess> SimulatedHid::makeAccess()
{
    return std::make_unique<Access> (*this);
}
