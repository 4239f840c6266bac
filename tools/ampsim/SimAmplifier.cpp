#include "SimAmplifier.h"
#include "SimParameterTable.h"
#include "SimPresetText.h"

#include <oscpack/osc/OscOutboundPacketStream.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

namespace
{
    constexpr int firstTarvoModel = 4;
    constexpr float lowestGainDb = -60.0f;
    constexpr float highestGainDb = 0.0f;
    constexpr std::size_t maxNameLength = 31;

    constexpr std::size_t maxMessageSize = 64;

    /** Builds one message into `out`; false when it does not fit 64 bytes. */
    template <typename Build>
    bool encode (Datagram& out, Build&& build)
    {
        alignas (8) char buffer[maxMessageSize];
        osc::OutboundPacketStream stream (buffer, sizeof buffer);
        try
        {
            build (stream);
        }
        catch (const osc::Exception&)
        {
            return false;
        }
        return out.assign (stream.Data(), stream.Size());
    }

    float clampGain (float db)
    {
        if (! std::isfinite (db))
            return lowestGainDb;
        // The panel's fader: -60 .. 0 dB in half-dB steps.
        return std::clamp (std::round (db * 2.0f) / 2.0f, lowestGainDb, highestGainDb);
    }

    std::string cutName (const char* text)
    {
        return std::string (text).substr (0, maxNameLength);
    }

    int defaultSpeakerValue (int model)
    {
        // The two constant-voltage models report a line voltage, the others a load in ohms.
        return model == 2 || model == 3 ? 100 : 8;
    }

    const int siggenIndex = simparams::find ("/siggen");

    /** The settings a new amplifier of `model` starts with: the factory preset, the
        generator off at 1 kHz and -20 dB, and the speaker setting of the model. */
    SimSettings factorySettings (int model)
    {
        SimSettings settings;
        simpreset::apply (simpreset::initData, settings);

        const auto& siggen = simparams::messages()[(std::size_t) siggenIndex].arguments;
        settings.setStep (siggenIndex, 1, siggen[1].stepForFloat (-20.0f));
        settings.setStep (siggenIndex, 2, siggen[2].stepForFloat (1000.0f));

        const int speaker = simparams::find ("/speaker");
        const auto& value = simparams::messages()[(std::size_t) speaker].arguments[0];
        settings.setStep (speaker, 0, value.stepForInteger (defaultSpeakerValue (model)));
        return settings;
    }
}

SimAmplifier::SimAmplifier (const SimOptions& options, SimLog& logTo)
    : log (logTo),
      firmware (options.firmware),
      model (options.model),
      replyDelayMs (options.replyDelayMs),
      meterPeriodMs (1000.0 / options.meterRate),
      lossPercent (options.lossPercent),
      values (factorySettings (model)),
      slots (values.presetValues()),
      meters (options.levels, options.moving),
      ampName (options.name.substr (0, maxNameLength)),
      random (options.seed)
{
}

SimAmplifier::~SimAmplifier() = default;

//==============================================================================
void SimAmplifier::receive (const void* data, std::size_t size, const Endpoint& from, double nowMs)
{
    Datagram datagram;
    const bool plausible = size >= 4 && size % 4 == 0 && datagram.assign (data, size);

    if (! powered || silent)
    {
        if (plausible)
            log.message (nowMs, powered ? "silent" : "off", from, datagram);
        return;
    }
    if (! plausible)
    {
        log.note (nowMs, "bad " + from.toString() + " datagram of " + std::to_string (size) + " bytes ignored");
        return;
    }
    if (from.isUnspecified())
    {
        log.message (nowMs, "bad", from, datagram);
        return;
    }
    if (lossPercent > 0.0 && std::uniform_real_distribution<double> (0.0, 100.0) (random) < lossPercent)
    {
        log.message (nowMs, "lost", from, datagram);
        return;
    }

    if (from == served)
        unattendedMeters = 0;

    try
    {
        const osc::ReceivedPacket packet (datagram.data(), (osc::osc_bundle_element_size_t) datagram.size);
        if (packet.IsBundle())
        {
            log.message (nowMs, "bad", from, datagram);
            return;
        }
        const osc::ReceivedMessage message (packet);
        log.message (nowMs, "recv", from, datagram);
        dispatch (message, from, nowMs);
    }
    catch (const osc::Exception& e)
    {
        // Malformed bytes, or arguments of the wrong number or kind: no answer, nothing changed.
        log.note (nowMs, std::string ("bad ") + from.toString() + " " + e.what() + ": no answer");
    }
}

void SimAmplifier::dispatch (const Message& message, const Endpoint& from, double nowMs)
{
    const char* address = message.AddressPattern();

    if (std::strcmp (address, "/info") == 0)
        handleInfo (message, from, nowMs);
    else if (std::strcmp (address, "/online") == 0)
        handleOnline (from, nowMs);
    else if (std::strcmp (address, "/offline") == 0)
        handleOffline (from, nowMs);
    else if (std::strcmp (address, "/gain") == 0)
        handleGain (message, from, nowMs);
    else if (std::strcmp (address, "/meter") == 0)
        handleMeter (message, from, nowMs);
    else if (std::strcmp (address, "/lock") == 0)
        handleLock (message, from, nowMs, false);
    else if (std::strcmp (address, "/unlock") == 0)
        handleLock (message, from, nowMs, true);
    else if (std::strcmp (address, "/ampname") == 0)
        handleAmpName (message, from, nowMs);
    else if (std::strcmp (address, "/preset/name") == 0)
        handlePresetName (message, from, nowMs);
    else if (std::strcmp (address, "/preset/load") == 0)
        handlePresetLoad (message, from, nowMs);
    else if (std::strcmp (address, "/preset/save") == 0)
        handlePresetSave (message, from, nowMs);
    else
    {
        const int index = SimSettings::lookUp (address);
        if (index < 0)
            log.note (nowMs, "unknown address: no answer");
        else if (index == siggenIndex && model >= firstTarvoModel)
            log.note (nowMs, "this model has no signal generator: no answer");
        else
            handleParameters (index, message, from, nowMs);
    }
}

//==============================================================================
void SimAmplifier::handleInfo (const Message& message, const Endpoint& from, double nowMs)
{
    if (message.ArgumentCount() != 0)
    {
        log.note (nowMs, "an answer, not a request: ignored");
        return;
    }
    Datagram answer;
    if (encode (answer,
                [this] (osc::OutboundPacketStream& s) {
                    s << osc::BeginMessage ("/info") << ampName.c_str() << firmware.c_str() << (osc::int32) model
                      << osc::EndMessage;
                }))
        enqueue (from, answer, answerTime (nowMs));
}

void SimAmplifier::handleOnline (const Endpoint& from, double nowMs)
{
    online = true;
    served = from;
    unattendedMeters = 0;
    lampsShown = {};   // the program's lamps start dark
    log.note (nowMs, "online, serving " + from.toString());
}

void SimAmplifier::handleOffline (const Endpoint& from, double nowMs)
{
    if (from != served)
    {
        log.note (nowMs, "offline from a program not served: ignored");
        return;
    }
    online = false;
    stopMeters (nowMs, "offline");
    log.note (nowMs, "offline");
}

void SimAmplifier::handleGain (const Message& message, const Endpoint& from, double nowMs)
{
    if (message.ArgumentCount() != 0)
    {
        float gainA = 0.0f, gainB = 0.0f;
        osc::int32 muteA = 0, muteB = 0;
        auto args = message.ArgumentStream();
        args >> gainA >> gainB >> muteA >> muteB >> osc::EndMessage;

        gains = { clampGain (gainA), clampGain (gainB) };
        mutes = { muteA > 0 ? 1 : 0, muteB > 0 ? 1 : 0 };
    }
    answerGains (from, answerTime (nowMs));
}

void SimAmplifier::handleMeter (const Message& message, const Endpoint& from, double nowMs)
{
    if (message.ArgumentCount() == 0)
    {
        // A plain query: one reading, no stream.
        const auto levels = meters.levelsAt (nowMs);
        Datagram answer;
        if (encode (answer,
                    [&levels] (osc::OutboundPacketStream& s) {
                        s << osc::BeginMessage ("/meter") << levels[0] << levels[1] << levels[2] << levels[3]
                          << osc::EndMessage;
                    }))
            enqueue (from, answer, answerTime (nowMs));
        return;
    }

    float requested = 0.0f;
    auto args = message.ArgumentStream();
    args >> requested >> osc::EndMessage;

    // The request's value is not a rate the program chooses: the stream runs at our own rate.
    served = from;
    meterRunning = true;
    unattendedMeters = 0;
    nextMeterMs = answerTime (nowMs);
}

void SimAmplifier::handleLock (const Message& message, const Endpoint& from, double nowMs, bool unlocking)
{
    if (message.ArgumentCount() != 0)
    {
        osc::int32 code = 0;
        auto args = message.ArgumentStream();
        args >> code >> osc::EndMessage;

        if (! unlocking)
            lock = code;
        else if (code == lock)
            lock = 0;
    }
    // "/unlock" is answered by "/lock" with the state that resulted.
    answerLock (from, answerTime (nowMs));
}

void SimAmplifier::handleAmpName (const Message& message, const Endpoint& from, double nowMs)
{
    if (message.ArgumentCount() != 0)
    {
        const char* newName = nullptr;
        auto args = message.ArgumentStream();
        args >> newName >> osc::EndMessage;

        // An amplifier always has a name: an empty one keeps the old name.
        if (newName[0] != '\0')
            ampName = cutName (newName);
    }
    Datagram answer;
    if (encode (answer, [this] (osc::OutboundPacketStream& s)
                { s << osc::BeginMessage ("/ampname") << ampName.c_str() << osc::EndMessage; }))
        enqueue (from, answer, answerTime (nowMs));
}

void SimAmplifier::readSlotRequest (const Message& message, int& slot, int& value, const char*& text) const
{
    osc::int32 slotArg = 0, valueArg = 0;
    auto args = message.ArgumentStream();
    args >> slotArg >> valueArg >> text >> osc::EndMessage;
    slot = slotArg;
    value = valueArg;
}

void SimAmplifier::handlePresetName (const Message& message, const Endpoint& from, double nowMs)
{
    int slot = 0, value = 0;
    const char* text = nullptr;
    readSlotRequest (message, slot, value, text);
    answerPreset ("/preset/name", slot, from, answerTime (nowMs));
}

void SimAmplifier::handlePresetLoad (const Message& message, const Endpoint& from, double nowMs)
{
    int slot = 0, value = 0;
    const char* text = nullptr;
    readSlotRequest (message, slot, value, text);

    const auto* stored = slots.find (slot);
    const bool loads = stored != nullptr && ! stored->isEmpty();
    if (loads)
    {
        values.applyPresetValues (stored->values);
        log.note (nowMs, "preset " + std::to_string (slot) + " loaded (" + std::to_string (stored->values.size())
                             + " blocks)");
    }
    else
    {
        log.note (nowMs, "preset " + std::to_string (slot) + " is empty or does not exist: nothing loaded");
    }

    answerPreset ("/preset/load", slot, from, answerTime (nowMs));
    // The program learns the new settings from the amplifier, as after any recall.
    if (loads)
        sendSettings (from, answerTime (nowMs));
}

void SimAmplifier::handlePresetSave (const Message& message, const Endpoint& from, double nowMs)
{
    int slot = 0, mode = 0;
    const char* text = nullptr;
    readSlotRequest (message, slot, mode, text);

    if (slots.store (slot, mode, text, values.presetValues()))
        log.note (nowMs, "preset " + std::to_string (slot) + " stored");
    else
        log.note (nowMs, "preset " + std::to_string (slot) + " is read-only or does not exist: nothing stored");

    // The answer tells what the slot holds now, stored or not.
    answerPreset ("/preset/save", slot, from, answerTime (nowMs));
}

void SimAmplifier::handleParameters (int index, const Message& message, const Endpoint& from, double nowMs)
{
    // Without arguments a query; with them, applied only when the type tags are exactly the
    // message's.  Anything else is ignored as a real amplifier ignores it: no answer.
    std::string why;
    if (message.ArgumentCount() != 0 && ! values.apply (index, message, why))
    {
        log.note (nowMs, "bad " + from.toString() + " " + why + ": no answer");
        return;
    }

    // Answered under the address it was asked with: the program matches answers by address.
    Datagram answer;
    if (values.encode (index, message.AddressPattern(), answer))
        enqueue (from, answer, answerTime (nowMs));
    else
        log.note (nowMs, "answer would not fit 64 bytes: no answer");
}

//==============================================================================
void SimAmplifier::answerPreset (const char* address, int slot, const Endpoint& to, double dueMs)
{
    const auto* stored = slots.find (slot);
    const int mode = stored != nullptr ? stored->mode : PresetSlots::noMode;
    const char* slotName = stored != nullptr ? stored->name.c_str() : "";

    Datagram answer;
    if (encode (answer,
                [&] (osc::OutboundPacketStream& s) {
                    s << osc::BeginMessage (address) << (osc::int32) slot << (osc::int32) mode << slotName
                      << osc::EndMessage;
                }))
        enqueue (to, answer, dueMs);
}

void SimAmplifier::answerGains (const Endpoint& to, double dueMs)
{
    Datagram answer;
    if (encode (answer,
                [this] (osc::OutboundPacketStream& s)
                {
                    s << osc::BeginMessage ("/gain") << gains[0] << gains[1] << (osc::int32) mutes[0]
                      << (osc::int32) mutes[1] << osc::EndMessage;
                }))
        enqueue (to, answer, dueMs);
}

void SimAmplifier::answerLock (const Endpoint& to, double dueMs)
{
    Datagram answer;
    if (encode (answer, [this] (osc::OutboundPacketStream& s)
                { s << osc::BeginMessage ("/lock") << (osc::int32) lock << osc::EndMessage; }))
        enqueue (to, answer, dueMs);
}

void SimAmplifier::sendSettings (const Endpoint& to, double dueMs)
{
    // The 39 preset blocks, in the order of the table (the program's tree order).
    const auto& table = simparams::messages();
    for (std::size_t i = 0; i < table.size(); ++i)
    {
        Datagram message;
        if (table[i].inPresets && values.encode ((int) i, table[i].address.c_str(), message))
            enqueue (to, message, dueMs);
    }
}

void SimAmplifier::enqueue (const Endpoint& to, const Datagram& datagram, double dueMs)
{
    // A flood of requests under a long reply delay must not grow without limit.
    if (outbox.size() >= maxQueued)
    {
        if (! queueWasFull)
            log.note (dueMs, "answer queue full: answers dropped until it drains");
        queueWasFull = true;
        return;
    }
    queueWasFull = false;

    // Kept in order of due time; equal times keep the order they were made in.
    const auto later = std::upper_bound (outbox.begin(), outbox.end(), dueMs,
                                         [] (double due, const Outgoing& o) { return due < o.dueMs; });
    outbox.insert (later, Outgoing { to, datagram, dueMs });
}

//==============================================================================
void SimAmplifier::tick (double nowMs)
{
    if (! powered)
        return;

    if (meterRunning && nowMs >= nextMeterMs)
    {
        if (! silent)
            sendMeter (nowMs);

        nextMeterMs += meterPeriodMs;
        if (nextMeterMs <= nowMs)
            nextMeterMs = nowMs + meterPeriodMs;   // fell behind (a stalled process): no burst

        // A program that vanished without "/offline" is not streamed to for ever.
        if (meterRunning && ++unattendedMeters > unattendedMeterLimit)
            stopMeters (nowMs, "nothing heard from " + served.toString() + " for "
                                   + std::to_string (unattendedMeterLimit) + " meter messages");
    }

    if (isServing() && ! silent)
        watchLamps (nowMs);
}

void SimAmplifier::sendMeter (double nowMs)
{
    const auto levels = meters.levelsAt (nowMs);
    Datagram message;
    if (encode (message,
                [&levels] (osc::OutboundPacketStream& s) {
                    s << osc::BeginMessage ("/meter") << levels[0] << levels[1] << levels[2] << levels[3]
                      << osc::EndMessage;
                }))
        enqueue (served, message, nowMs);
}

void SimAmplifier::watchLamps (double nowMs)
{
    const auto lamps = meters.lampsAt (nowMs);
    if (lamps == lampsShown)
        return;

    Datagram message;
    if (encode (message,
                [&lamps] (osc::OutboundPacketStream& s)
                {
                    s << osc::BeginMessage ("/peaklimit") << (osc::int32) lamps[0] << (osc::int32) lamps[1]
                      << (osc::int32) lamps[2] << (osc::int32) lamps[3] << osc::EndMessage;
                }))
    {
        enqueue (served, message, nowMs);
        lampsShown = lamps;
    }
}

void SimAmplifier::stopMeters (double nowMs, const std::string& why)
{
    if (! meterRunning)
        return;
    meterRunning = false;
    log.note (nowMs, "meter stream stopped: " + why);
}

double SimAmplifier::nextDueMs() const
{
    double due = std::numeric_limits<double>::infinity();
    if (! outbox.empty())
        due = outbox.front().dueMs;
    if (powered && meterRunning)
        due = std::min (due, nextMeterMs);
    return due;
}

std::vector<SimAmplifier::Outgoing> SimAmplifier::takeDue (double nowMs)
{
    std::vector<Outgoing> due;
    while (! outbox.empty() && outbox.front().dueMs <= nowMs)
    {
        if (silent)
            log.message (nowMs, "silent", outbox.front().to, outbox.front().datagram);
        else
            due.push_back (std::move (outbox.front()));
        outbox.pop_front();
    }
    return due;
}

//==============================================================================
void SimAmplifier::setSilent (bool shouldBeSilent, double nowMs)
{
    silent = shouldBeSilent;
    log.note (nowMs, silent ? "silent: hearing and answering nothing" : "answering again");
}

void SimAmplifier::powerOff (double nowMs)
{
    if (! powered)
        return;

    // Whatever was still to be said is lost with the power; the last word is "OFF".
    outbox.clear();
    if (isServing())
    {
        Datagram message;
        if (encode (message, [] (osc::OutboundPacketStream& s)
                    { s << osc::BeginMessage ("/power") << "OFF" << osc::EndMessage; }))
            enqueue (served, message, nowMs);
    }
    stopMeters (nowMs, "power off");
    online = false;
    powered = false;
    log.note (nowMs, "power off");
}

void SimAmplifier::powerOn (double nowMs)
{
    if (powered)
        return;
    powered = true;
    log.note (nowMs, "power on");
}

int SimAmplifier::applyPresetText (const std::string& text)
{
    return simpreset::apply (text, values);
}

std::string SimAmplifier::status() const
{
    const auto levels = meters.baseLevels();
    const auto lamps = meters.forcedLamps();
    char numbers[200];
    std::snprintf (numbers, sizeof numbers,
                   "lock %d, gains %g / %g dB, mutes %d %d, levels %g %g %g %g, forced lamps %d %d %d %d, mode ", lock,
                   (double) gains[0], (double) gains[1], mutes[0], mutes[1], (double) levels[0], (double) levels[1],
                   (double) levels[2], (double) levels[3], lamps[0], lamps[1], lamps[2], lamps[3]);

    return "name " + SimLog::quote (ampName.c_str()) + ", model " + std::to_string (model) + ", "
           + (powered ? "on" : "off") + (silent ? ", silent" : "")
           + (online ? ", online with " + served.toString() : ", offline") + (meterRunning ? ", meters streaming" : "")
           + "\n" + numbers + values.label ("/ampmode", 0) + "\n";
}
