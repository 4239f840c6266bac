// Whatever an amplifier answers, reading it must neither crash nor read outside it, and what
// the readers return must be fit to show: finite levels that are not negative, a known model,
// a preset kind that matches the address.  The gains request, read back, keeps its values.

#include "DeviceCodec.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace codec = osc::codec;

namespace
{
    void readEverything (const osc::ReceivedMessage& message)
    {
        if (const auto meters = codec::readMeters (message))
            for (float level : meters->levels)
                if (! std::isfinite (level) || level < 0.0f)
                    std::abort();

        if (const auto gains = codec::readGains (message))
            if (! std::isfinite (gains->gainA) || ! std::isfinite (gains->gainB))
                std::abort();

        if (const auto info = codec::readInfo (message))
            if (info->model < 0 || info->model > 7)
                std::abort();

        if (const auto preset = codec::readPreset (message))
        {
            static const char* const addresses[] = { "/preset/name", "/preset/load", "/preset/save" };
            if (std::strcmp (message.AddressPattern(), addresses[(int) preset->kind]) != 0)
                std::abort();
        }

        (void) codec::readLamps (message);
        (void) codec::readLockCode (message);
        (void) codec::readAmpName (message);
        (void) codec::readPowerOff (message);
    }

    void gainsSurviveTheirOwnEncoding (const std::uint8_t* data, std::size_t size)
    {
        if (size < 10)
            return;

        float gainA, gainB;
        std::memcpy (&gainA, data, 4);
        std::memcpy (&gainB, data + 4, 4);
        const int muteA = data[8] & 1, muteB = data[9] & 1;

        const auto packet = codec::gains (gainA, gainB, muteA, muteB);
        if (packet == nullptr)
            std::abort();

        const codec::InboundMessage message (packet->data(), packet->size());
        if (! message.isValid())
            std::abort();

        const auto read = codec::readGains (message.get());
        const bool finite = std::isfinite (gainA) && std::isfinite (gainB);
        if (read.has_value() != finite)
            std::abort();
        if (read
            && (std::memcmp (&read->gainA, &gainA, 4) != 0 || std::memcmp (&read->gainB, &gainB, 4) != 0
                || read->muteA != (muteA == 1) || read->muteB != (muteB == 1)))
            std::abort();
    }
}

extern "C" int LLVMFuzzerTestOneInput (const std::uint8_t* data, std::size_t size)
{
    // A copy of its own, exactly as long as the input, so reading past it is caught.
    const std::vector<std::uint8_t> bytes (data, data + size);
    const codec::InboundMessage message (bytes.data(), bytes.size());
    if (message.isValid())
        readEverything (message.get());

    gainsSurviveTheirOwnEncoding (data, size);
    return 0;
}
