// The model's hot paths: number text, block text, message encoding and decoding, lookup.
// Decoding and applying one block message, and looking up the deepest address, should each
// stay well under a microsecond.

#include "Croot.h"
#include "NumberText.h"
#include "PacketSink.h"

#include <benchmark/benchmark.h>
#include <cstring>

namespace
{
    struct Model
    {
        Model() { assignAddresses (root); }
        Croot root;
    };

    Cpeq& band (Model& m)
    {
        return *m.root.channels[0]->peq->bands[2];
    }

    void formatFrequency (benchmark::State& state)
    {
        char buffer[32];
        double value = 1234.5;
        for (auto _ : state)
        {
            benchmark::DoNotOptimize (formatText (buffer, sizeof (buffer), "%k1f", value));
            value = value < 19000.0 ? value * 1.01 : 20.0;
        }
    }

    void parseFrequency (benchmark::State& state)
    {
        float value = 0.0f;
        for (auto _ : state)
        {
            benchmark::DoNotOptimize (parseFloatText ("15k001", value));
            benchmark::DoNotOptimize (value);
        }
    }

    void bandToText (benchmark::State& state)
    {
        Model m;
        band (m).fromText (" PEQ 1k23 +3.5 1.41");
        char buffer[nodeTextCapacity];
        for (auto _ : state)
        {
            benchmark::DoNotOptimize (band (m).toText (buffer, sizeof (buffer)));
            benchmark::ClobberMemory();
        }
    }

    void bandFromText (benchmark::State& state)
    {
        Model m;
        for (auto _ : state)
            benchmark::DoNotOptimize (band (m).fromText (" PEQ 1k23 +3.5 1.41"));
    }

    void encodeBand (benchmark::State& state)
    {
        // With no sink the packet is built and freed: the whole cost of a send but the hub's.
        Model m;
        band (m).fromText (" PEQ 1k23 +3.5 1.41");
        auto& b = band (m);
        for (auto _ : state)
            b.send (b.address);
    }

    void decodeBand (benchmark::State& state)
    {
        Model m;
        alignas (4) char buffer[OutboundPacket::capacity];
        osc::OutboundPacketStream stream (buffer, sizeof (buffer));
        stream << osc::BeginMessage ("/channel/1/peq/3") << "HS12" << 10000.0f << 0.0f << 1.0f << osc::EndMessage;
        const auto size = (osc::osc_bundle_element_size_t) stream.Size();

        for (auto _ : state)
        {
            osc::ReceivedMessage message (osc::ReceivedPacket (buffer, size));
            const char* address = message.AddressPattern() + 1;
            auto* block = findNode (&m.root, address, (int) std::strlen (address));
            auto args = message.ArgumentStream();
            block->decode (args);
        }
    }

    void decodeApplyOnly (benchmark::State& state)
    {
        Model m;
        alignas (4) char buffer[OutboundPacket::capacity];
        osc::OutboundPacketStream stream (buffer, sizeof (buffer));
        stream << osc::BeginMessage ("/channel/1/peq/3") << "HS12" << 10000.0f << 0.0f << 1.0f << osc::EndMessage;
        osc::ReceivedMessage message (osc::ReceivedPacket (buffer, (osc::osc_bundle_element_size_t) stream.Size()));
        auto& b = band (m);

        for (auto _ : state)
        {
            auto args = message.ArgumentStream();
            b.decode (args);
        }
    }

    void findDeepest (benchmark::State& state)
    {
        Model m;
        const char* path = "channel/2/deq/2/filt";
        const int length = (int) std::strlen (path);
        for (auto _ : state)
            benchmark::DoNotOptimize (findNode (&m.root, path, length));
    }
}

BENCHMARK (formatFrequency);
BENCHMARK (parseFrequency);
BENCHMARK (bandToText);
BENCHMARK (bandFromText);
BENCHMARK (encodeBand);
BENCHMARK (decodeBand);
BENCHMARK (decodeApplyOnly);
BENCHMARK (findDeepest);

BENCHMARK_MAIN();
