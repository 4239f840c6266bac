#pragma once

#include "Datagram.h"
#include "Endpoint.h"
#include "MeterLevels.h"
#include "PresetSlots.h"
#include "SimLog.h"
#include "SimOptions.h"
#include "SimSettings.h"

#include <oscpack/osc/OscReceivedElements.h>
#include <array>
#include <deque>
#include <random>
#include <string>
#include <vector>

/** One simulated amplifier: everything it knows and every answer it gives, without sockets.

    Datagrams go in through receive() with the sender and the time; answers come out of
    takeDue() with their destination once their reply delay has passed.  tick() runs the
    meter stream and sends "/peaklimit" when a lamp changes.  The settings are the
    simulator's own (SimSettings, after the table in SimParameterTable.h): a parameter
    message is applied only when its type tags are exactly those of the protocol, its values
    are clamped and snapped to the amplifier's own steps, and the answer carries the values
    applied.  A request that does not fit gets no answer, as a real amplifier ignores it.

    Times are milliseconds on any steady clock.  Single-threaded: one caller at a time.
*/
class SimAmplifier
{
public:
    struct Outgoing
    {
        Endpoint to;
        Datagram datagram;
        double dueMs = 0.0;
    };

    SimAmplifier (const SimOptions& options, SimLog& log);
    ~SimAmplifier();

    SimAmplifier (const SimAmplifier&) = delete;
    SimAmplifier& operator= (const SimAmplifier&) = delete;

    /** A datagram of `size` bytes arrived from `from`.  Bytes are only read when the size is
        plausible (4..128, a multiple of 4); anything else is logged and dropped. */
    void receive (const void* data, std::size_t size, const Endpoint& from, double nowMs);

    /** Runs the meter stream and the lamp watch up to `nowMs`. */
    void tick (double nowMs);

    /** The earliest time at which tick() or takeDue() has work (infinity when none). */
    double nextDueMs() const;

    /** Removes and returns, in order, every message due at `nowMs`.  While silent they are
        dropped (and logged) instead. */
    std::vector<Outgoing> takeDue (double nowMs);

    // Control commands.
    void setSilent (bool shouldBeSilent, double nowMs);
    /** Sends "/power" "OFF" to the program being served, then hears and sends nothing. */
    void powerOff (double nowMs);
    void powerOn (double nowMs);
    void setLevels (const MeterLevels::Levels& levels) { meters.setLevels (levels); }
    void forceLamps (const MeterLevels::Lamps& lamps) { meters.forceLamps (lamps); }

    /** Applies preset text (BEGIN_OSC_DATA ... END_OSC_DATA, read by SimPresetText.h) to the
        settings; returns the number of block lines that applied. */
    int applyPresetText (const std::string& text);

    /** A few lines describing the state, for the "status" command. */
    std::string status() const;

    // State, for tests and status.
    const SimSettings& settings() const noexcept { return values; }
    const PresetSlots& presetSlots() const noexcept { return slots; }
    const std::string& name() const noexcept { return ampName; }
    int lockCode() const noexcept { return lock; }
    bool isOnline() const noexcept { return online; }
    bool isStreaming() const noexcept { return meterRunning; }
    bool isPowered() const noexcept { return powered; }
    bool isSilent() const noexcept { return silent; }
    const Endpoint& client() const noexcept { return served; }

    /** Meter messages sent without a word from the program before the stream stops by itself. */
    static constexpr int unattendedMeterLimit = 1000;

    /** Messages waiting for their time at most; more are dropped. */
    static constexpr std::size_t maxQueued = 4096;

private:
    using Message = osc::ReceivedMessage;

    void dispatch (const Message& message, const Endpoint& from, double nowMs);
    void handleInfo (const Message& message, const Endpoint& from, double nowMs);
    void handleOnline (const Endpoint& from, double nowMs);
    void handleOffline (const Endpoint& from, double nowMs);
    void handleGain (const Message& message, const Endpoint& from, double nowMs);
    void handleMeter (const Message& message, const Endpoint& from, double nowMs);
    void handleLock (const Message& message, const Endpoint& from, double nowMs, bool unlocking);
    void handleAmpName (const Message& message, const Endpoint& from, double nowMs);
    void handlePresetName (const Message& message, const Endpoint& from, double nowMs);
    void handlePresetLoad (const Message& message, const Endpoint& from, double nowMs);
    void handlePresetSave (const Message& message, const Endpoint& from, double nowMs);
    void handleParameters (int index, const Message& message, const Endpoint& from, double nowMs);

    void readSlotRequest (const Message& message, int& slot, int& value, const char*& text) const;

    void answerPreset (const char* address, int slot, const Endpoint& to, double dueMs);
    void answerGains (const Endpoint& to, double dueMs);
    void answerLock (const Endpoint& to, double dueMs);
    void sendSettings (const Endpoint& to, double dueMs);
    void sendMeter (double nowMs);
    void watchLamps (double nowMs);
    void stopMeters (double nowMs, const std::string& why);

    void enqueue (const Endpoint& to, const Datagram& datagram, double dueMs);
    double answerTime (double nowMs) const { return nowMs + replyDelayMs; }
    bool isServing() const noexcept { return online || meterRunning; }

    SimLog& log;
    const std::string firmware;
    const int model;
    const double replyDelayMs;
    const double meterPeriodMs;
    const double lossPercent;

    SimSettings values;
    PresetSlots slots;
    MeterLevels meters;

    std::string ampName;
    int lock = 0;
    std::array<float, 2> gains { 0.0f, 0.0f };
    std::array<int, 2> mutes { 0, 0 };

    bool powered = true;
    bool silent = false;
    bool online = false;
    Endpoint served;
    bool meterRunning = false;
    double nextMeterMs = 0.0;
    int unattendedMeters = 0;
    MeterLevels::Lamps lampsShown {};

    std::mt19937 random;
    std::deque<Outgoing> outbox;
    bool queueWasFull = false;
};
