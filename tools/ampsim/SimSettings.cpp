#include "SimSettings.h"

#include <oscpack/osc/OscOutboundPacketStream.h>
#include <algorithm>
#include <cstring>
#include <stdexcept>

namespace
{
    /** Answers are at most 64 bytes, like every message the program may be sent. */
    constexpr std::size_t maxAnswerSize = 64;

    bool isAddressCharacter (char c) noexcept
    {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/';
    }

    const simparams::Message& messageAt (int index)
    {
        return simparams::messages().at ((std::size_t) index);
    }

    int indexOrThrow (const std::string& address)
    {
        const int index = simparams::find (address);
        if (index < 0)
            throw std::out_of_range ("no parameter message " + address);
        return index;
    }
}

SimSettings::SimSettings()
    : current (simparams::messages().size(), Steps {})
{
}

int SimSettings::lookUp (const char* address)
{
    if (address == nullptr)
        return -1;
    std::size_t length = 0;
    while (isAddressCharacter (address[length]))
        ++length;
    return simparams::find (std::string (address, length));
}

bool SimSettings::apply (int index, const osc::ReceivedMessage& request, std::string& why)
{
    const auto& message = messageAt (index);
    const char* tags = request.TypeTags();
    const std::string received = tags != nullptr ? std::string (tags, request.ArgumentCount()) : std::string();
    if (received != message.tags)
    {
        why = "type tags ," + received + " where " + message.address + " takes ," + message.tags;
        return false;
    }

    auto& steps = current[(std::size_t) index];
    auto arg = request.ArgumentsBegin();
    for (std::size_t i = 0; i < message.arguments.size(); ++i, ++arg)
    {
        const auto& argument = message.arguments[i];
        switch (argument.scale)
        {
            case simparams::Scale::label:
            {
                // A label the amplifier does not know leaves that setting as it was.
                const int found = argument.stepForLabel (arg->AsStringUnchecked());
                if (found >= 0)
                    steps[i] = found;
                break;
            }
            case simparams::Scale::integer: steps[i] = argument.stepForInteger (arg->AsInt32Unchecked()); break;
            case simparams::Scale::linear:
            case simparams::Scale::log: steps[i] = argument.stepForFloat (arg->AsFloatUnchecked()); break;
        }
    }
    return true;
}

bool SimSettings::encode (int index, const char* address, Datagram& out) const
{
    const auto& message = messageAt (index);
    const auto& steps = current[(std::size_t) index];

    alignas (8) char buffer[maxAnswerSize];
    osc::OutboundPacketStream stream (buffer, sizeof buffer);
    try
    {
        stream << osc::BeginMessage (address);
        for (std::size_t i = 0; i < message.arguments.size(); ++i)
        {
            const auto& argument = message.arguments[i];
            switch (argument.scale)
            {
                case simparams::Scale::label: stream << argument.labelAt (steps[i]); break;
                case simparams::Scale::integer: stream << (osc::int32) argument.integerAt (steps[i]); break;
                case simparams::Scale::linear:
                case simparams::Scale::log: stream << argument.floatAt (steps[i]); break;
            }
        }
        stream << osc::EndMessage;
    }
    catch (const osc::Exception&)
    {
        return false;
    }
    return out.assign (stream.Data(), stream.Size());
}

void SimSettings::setStep (int index, int argument, int step)
{
    const auto& kind = messageAt (index).arguments.at ((std::size_t) argument);
    current[(std::size_t) index][(std::size_t) argument] = std::clamp (step, 0, kind.highestStep());
}

int SimSettings::step (const std::string& address, int argument) const
{
    const int index = indexOrThrow (address);
    messageAt (index).arguments.at ((std::size_t) argument);   // range check
    return current[(std::size_t) index][(std::size_t) argument];
}

float SimSettings::floatValue (const std::string& address, int argument) const
{
    const int index = indexOrThrow (address);
    return messageAt (index).arguments.at ((std::size_t) argument).floatAt (step (address, argument));
}

std::int32_t SimSettings::integerValue (const std::string& address, int argument) const
{
    const int index = indexOrThrow (address);
    return messageAt (index).arguments.at ((std::size_t) argument).integerAt (step (address, argument));
}

std::string SimSettings::label (const std::string& address, int argument) const
{
    const int index = indexOrThrow (address);
    return messageAt (index).arguments.at ((std::size_t) argument).labelAt (step (address, argument));
}

SimSettings::PresetValues SimSettings::presetValues() const
{
    PresetValues values;
    const auto& table = simparams::messages();
    for (std::size_t i = 0; i < table.size(); ++i)
        if (table[i].inPresets)
            values.push_back (current[i]);
    return values;
}

void SimSettings::applyPresetValues (const PresetValues& values)
{
    const auto& table = simparams::messages();
    std::size_t next = 0;
    for (std::size_t i = 0; i < table.size() && next < values.size(); ++i)
        if (table[i].inPresets)
            current[i] = values[next++];
}
