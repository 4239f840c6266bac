#include "UsbConnection.h"
#include "HidapiAccess.h"
#include "LinkMessage.h"
#include <algorithm>
#include <cstring>

namespace
{
    constexpr int searchPauseMs = 200;
    // A device that is attached but not wanted is opened and closed on every pass; the
    // pause keeps that from spinning while still finding it promptly once re-armed.
    constexpr int releasedPauseMs = 50;
    constexpr int readTimeoutMs = 5;
    constexpr int threadStopMs = 4000;
    constexpr int identityStringIndex = 4;
}

UsbConnection::UsbConnection (juce::MessageListener& hubToUse, int messageTag, std::unique_ptr<HidAccess> access)
    : LinkThread ("USB connection"),
      hub (hubToUse),
      tag (messageTag),
      hid (access != nullptr ? std::move (access) : std::make_unique<HidapiAccess>())
{
    startThread();
}

UsbConnection::~UsbConnection()
{
    stopPromptly (threadStopMs);
    hid->close();
}

bool UsbConnection::tryFillMailbox (const void* data, int length)
{
    const std::lock_guard<std::mutex> filler (fillLock);

    if (mailboxBusy())
        return false;

    // Oversized or empty payloads still go through the mailbox so the caller's accounting
    // stays the same; the thread discards them without writing.
    if (data != nullptr && length > 0 && length <= (int) outBuffer.size())
        std::memcpy (outBuffer.data(), data, (size_t) length);
    else if (length > 0)
        length = (int) outBuffer.size() + 1;

    outLength.store (length, std::memory_order_relaxed);
    outPending.store (true, std::memory_order_release);
    return true;
}

bool UsbConnection::mailboxBusy() const
{
    return ! hasDevice() || outPending.load (std::memory_order_acquire);
}

bool UsbConnection::frameReport (const void* payload, int length, std::uint8_t* report)
{
    if (payload == nullptr || length < 1 || length > maxPayload)
        return false;

    std::memset (report, 0, HidAccess::reportSize);
    report[1] = (std::uint8_t) length;
    std::memcpy (report + 2, payload, (size_t) length);
    return true;
}

int UsbConnection::acceptedPayloadLength (const std::uint8_t* report, int bytesRead)
{
    if (report == nullptr || bytesRead < 3 || bytesRead > HidAccess::reportSize)
        return -1;

    const int length = report[1];

    if (length < 1 || length > maxPayload || length % 4 != 0)
        return -1;

    if (2 + length > bytesRead || report[2] != '/')
        return -1;

    return length;
}

void UsbConnection::work()
{
    while (! threadShouldExit())
    {
        // Nothing that goes wrong in one pass may end the transport: the hub relies on
        // this thread for as long as the program runs.
        try
        {
            if (hasDevice())
                servicePass();
            else
                searchPass();
        }
        catch (...)
        {
            wait (readTimeoutMs);
        }
    }

    releaseDevice();
}

void UsbConnection::searchPass()
{
    // A device still held here was released by the hub; a payload left in the mailbox was
    // meant for it and must not reach whatever device is opened next.
    releaseDevice();
    {
        const std::lock_guard<std::mutex> filler (fillLock);
        outPending.store (false, std::memory_order_release);
    }

    const auto kind = openDevice();

    if (kind == DeviceFamily::none)
    {
        announce.store (true);
        wait (searchPauseMs);
        return;
    }

    if (announce.exchange (false))
    {
        openKind.store (kind);
        post (new osc::LinkMessage (osc::LinkEvent::usbOpened, kind, tag));
        return;
    }

    releaseDevice();
    wait (releasedPauseMs);
}

void UsbConnection::servicePass()
{
    if (outPending.load (std::memory_order_acquire))
    {
        writePendingPayload();
        outPending.store (false, std::memory_order_release);
    }

    readOnce();
}

DeviceFamily UsbConnection::openDevice()
{
    releaseDevice();

    if (findDevice (productFw, L"FW"))
        return DeviceFamily::zr;

    if (findDevice (productAp, L"AP"))
        return DeviceFamily::tarvo;

    return DeviceFamily::none;
}

bool UsbConnection::findDevice (int productId, const wchar_t* prefix)
{
    for (const auto& info : hid->enumerate (vendorId, productId))
    {
        if (threadShouldExit())
            return false;

        if (info.vendorId != vendorId || info.productId != productId || ! hid->open (info.path))
            continue;

        // Two characters and a terminator: only the prefix decides.
        std::wstring identity;
        if (hid->readIndexedString (identityStringIndex, identity, 2) && identity.size() >= 2
            && identity.compare (0, 2, prefix) == 0)
            return true;

        hid->close();
    }

    return false;
}

void UsbConnection::releaseDevice()
{
    if (hid->isOpen())
        hid->close();
}

void UsbConnection::deviceWentAway()
{
    // Whether or not the hub wanted it: when it comes back it is a new arrival.
    releaseDevice();
    announce.store (true);
    openKind.store (DeviceFamily::none);
    post (new osc::LinkMessage (osc::LinkEvent::usbRemoved, DeviceFamily::none, tag));

    // A device that opens but cannot be read would otherwise come and go without a pause.
    wait (searchPauseMs);
}

void UsbConnection::writePendingPayload()
{
    const int length = outLength.load (std::memory_order_relaxed);

    if (! hid->isOpen() || ! frameReport (outBuffer.data(), length, outReport.data()))
        return;

    // A write that never completes is dropped; the hub's retransmission covers it.  The
    // budget holds even when the device layer waits longer than it was asked to.
    const auto start = juce::Time::getMillisecondCounterHiRes();
    for (int attempt = 0; attempt < writeAttempts && ! threadShouldExit(); ++attempt)
    {
        const auto left = writeBudgetMs - (int) (juce::Time::getMillisecondCounterHiRes() - start);
        if (left <= 0 || hid->writeReport (outReport.data(), std::min (writeTimeoutMs, left)))
            return;
    }
}

void UsbConnection::readOnce()
{
    const int bytesRead = hid->readReport (inReport.data(), readTimeoutMs);

    if (bytesRead < 0)
    {
        deviceWentAway();
        return;
    }

    const int length = acceptedPayloadLength (inReport.data(), bytesRead);

    if (length < 0)
        return;

    juce::MemoryBlock block ((size_t) (packetPrefix + length), true);
    block.copyFrom (inReport.data() + 2, packetPrefix, (size_t) length);
    post (new osc::LinkMessage (osc::PacketSource::usb, std::move (block), tag));
}

void UsbConnection::post (osc::LinkMessage* message)
{
    hub.postMessage (message);
}
