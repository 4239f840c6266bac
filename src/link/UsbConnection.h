#pragma once

#include "HidAccess.h"
#include <juce_events/juce_events.h>
#include <array>
#include <atomic>
#include <memory>
#include <mutex>

/** The USB transport: a thread that finds and opens the amplifier, writes the mailbox's
    payload as a 64-byte report, reads reports and posts every valid payload and every
    announced arrival to the hub as an osc::LinkMessage.

    Reports: byte 0 report ID 0, byte 1 payload length N (1..62), payload from byte 2.
    Devices: vendor 0x2F17; kind 1 is product 0x1102 whose indexed string 4 begins with
    "FW", kind 2 is product 0x1101 with "AP"; kind 1 is preferred when both are present.

    States: searching (deviceState -1, announce set; polls every 200 ms), released
    (deviceState -1, announce clear; an attached device is opened and closed again, never
    held or announced), open (deviceState 1 or 2; reports flow, no pause between reads).
*/
class UsbConnection : public juce::Thread
{
public:
    static constexpr int vendorId = 0x2F17;
    static constexpr int productFw = 0x1102;
    static constexpr int productAp = 0x1101;
    static constexpr int maxPayload = 62;
    static constexpr int packetPrefix = 4;

    /** Starts the "USB connection" thread at once.  Messages carrying `messageTag` go to
        `hub`.  `access` is the device layer; null means the real one (HidapiAccess). */
    UsbConnection (juce::MessageListener& hub, int messageTag, std::unique_ptr<HidAccess> access = nullptr);

    /** Stops the thread (waiting up to 4000 ms) and releases the device. */
    ~UsbConnection() override;

    /** -1 while no device is open, else the open device's kind (1 or 2).  The hub writes -1
        to release the device: the thread closes it on its next pass. */
    std::atomic<int> deviceState { -1 };

    /** When true the next opening is posted as (tag, LinkEvent, kind).  The hub sets it to
        re-arm after a release; the thread sets it when no device is present. */
    std::atomic<bool> announce { true };

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
    void run() override;
    void searchPass();
    void servicePass();
    int openDevice();
    bool findDevice (int productId, const wchar_t* prefix);
    void releaseDevice();
    void writePendingPayload();
    void readOnce();
    void post (int kind, int code, juce::MemoryBlock block = {});

    juce::MessageListener& hub;
    const int tag;
    std::unique_ptr<HidAccess> hid;

    std::atomic<bool> outPending { false };
    std::atomic<int> outLength { 0 };
    std::array<std::uint8_t, HidAccess::reportSize> outBuffer {};
    std::mutex fillLock;

    std::array<std::uint8_t, HidAccess::reportSize> inReport {};
    std::array<std::uint8_t, HidAccess::reportSize> outReport {};

    JUCE_DECLARE_NON_COPYABLE (UsbConnection)
};
