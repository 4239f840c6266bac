#pragma once

#include "DeviceFamily.h"
#include "HidAccess.h"
#include "LinkThread.h"
#include <juce_events/juce_events.h>
#include <array>
#include <atomic>
#include <memory>
#include <mutex>

namespace osc
{
    class LinkMessage;
}

/** The USB transport: a thread that finds and opens the amplifier, writes the mailbox's
    payload as a 64-byte report, reads reports and posts every valid payload, every
    announced arrival and every departure to the hub as an osc::LinkMessage.

    Reports: byte 0 report ID 0, byte 1 payload length N (1..62), payload from byte 2.
    Devices: vendor 0x2F17; a ZR amplifier is product 0x1102 whose indexed string 4 begins
    with "FW", a TARVO amplifier product 0x1101 with "AP"; ZR is preferred when both are
    present.

    States: searching (no device, announcement armed; looks every 200 ms), released (no
    device, announcement not armed: an attached amplifier is opened and closed again every
    50 ms, never held or announced), open (reports flow, no pause between reads).  A read
    that fails outright (the amplifier was unplugged) lets the device go, goes back to
    searching with the announcement armed, and posts LinkEvent::usbRemoved.
*/
class UsbConnection : public LinkThread
{
public:
    static constexpr int vendorId = 0x2F17;
    static constexpr int productFw = 0x1102;
    static constexpr int productAp = 0x1101;
    static constexpr int maxPayload = 62;
    static constexpr int packetPrefix = 4;

    /** One payload's write attempts: each waits at most writeTimeoutMs, and together they
        stop once writeBudgetMs have passed (a device layer may overrun its time-out), so
        that the thread can always stop well within the 4000 ms it is given. */
    static constexpr int writeTimeoutMs = 200;
    static constexpr int writeAttempts = 5;
    static constexpr int writeBudgetMs = 1000;

    /** Starts the "USB connection" thread at once.  Messages carrying `messageTag` go to
        `hub`.  `access` is the device layer; null means the real one (HidapiAccess). */
    UsbConnection (juce::MessageListener& hub, int messageTag, std::unique_ptr<HidAccess> access = nullptr);

    /** Stops the thread (waiting up to 4000 ms) and releases the device. */
    ~UsbConnection() override;

    /** The family of the amplifier held open, or DeviceFamily::none.  Any thread. */
    DeviceFamily openDeviceKind() const { return openKind.load(); }
    bool hasDevice() const { return openDeviceKind() != DeviceFamily::none; }

    /** Lets the open amplifier go: the thread closes it on its next pass and does not
        announce it again until rearmAnnouncement().  Any thread. */
    void release() { openKind.store (DeviceFamily::none); }

    /** Makes the next opening be announced (a search, or after a release).  Any thread. */
    void rearmAnnouncement() { announce.store (true); }
    bool isAnnouncementArmed() const { return announce.load(); }

    /** Hands one OSC payload (bytes, 0..64) to the thread for sending.  Returns false and
        stores nothing when the mailbox is busy: no device open, or the previous payload not
        yet taken.  Payloads that do not fit one report (over 62 bytes) are accepted and
        then discarded by the thread, as no device could take them.  Any thread; fillers
        are serialised, but the link protocol has only one at a time anyway. */
    bool tryFillMailbox (const void* data, int length);

    /** True while tryFillMailbox() would refuse (no device open, or a payload pending). */
    bool mailboxBusy() const;

    /** Frames `length` payload bytes into a 64-byte report (ID 0, length byte, payload,
        zeros after).  False, leaving `report` untouched, for lengths outside 1..62. */
    static bool frameReport (const void* payload, int length, std::uint8_t* report);

    /** Checks an input report of which `bytesRead` bytes arrived: returns the payload length
        when it is usable (1..62, a multiple of 4, fully received, starting with '/'),
        otherwise -1.  Every byte is treated as untrusted. */
    static int acceptedPayloadLength (const std::uint8_t* report, int bytesRead);

private:
    void work() override;
    void searchPass();
    void servicePass();
    DeviceFamily openDevice();
    bool findDevice (int productId, const wchar_t* prefix);
    void releaseDevice();
    void deviceWentAway();
    void writePendingPayload();
    void readOnce();
    void post (osc::LinkMessage* message);

    juce::MessageListener& hub;
    const int tag;
    std::unique_ptr<HidAccess> hid;

    std::atomic<DeviceFamily> openKind { DeviceFamily::none };
    std::atomic<bool> announce { true };

    std::atomic<bool> outPending { false };
    std::atomic<int> outLength { 0 };
    std::array<std::uint8_t, HidAccess::reportSize> outBuffer {};
    std::mutex fillLock;

    std::array<std::uint8_t, HidAccess::reportSize> inReport {};
    std::array<std::uint8_t, HidAccess::reportSize> outReport {};

    JUCE_DECLARE_NON_COPYABLE (UsbConnection)
};
