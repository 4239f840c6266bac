#pragma once

#include "Datagram.h"
#include <oscpack/osc/OscOutboundPacketStream.h>
#include "SimAmplifier.h"
#include "SimLog.h"
#include "SimOptions.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace simtest
{
    /** One OSC message of up to 128 bytes (what a datagram may carry):
        msg ("/gain", 1.0f, 2.0f, 0, 1). */
    template <typename... Args>
    Datagram msg (const char* address, Args... args)
    {
        Datagram datagram;
        osc::OutboundPacketStream stream (datagram.bytes.data(), datagram.bytes.size());
        stream << osc::BeginMessage (address);
        ((stream << args), ...);
        stream << osc::EndMessage;
        datagram.size = stream.Size();
        return datagram;
    }

    /** A packed lock code: first character in the lowest byte. */
    inline osc::int32 lockCode (const char (&text)[5])
    {
        std::uint32_t code = 0;
        for (int i = 3; i >= 0; --i)
            code = code << 8 | (unsigned char) text[i];
        return (osc::int32) code;
    }

    const Endpoint program { 0x7F000001, 3456 };     // 127.0.0.1:3456
    const Endpoint stranger { 0x7F000009, 40000 };   // 127.0.0.9:40000

    /** An amplifier driven in-process on a clock the test moves by hand. */
    class Bench
    {
    public:
        explicit Bench (SimOptions opts = {})
            : options (std::move (opts))
        {
            amp = std::make_unique<SimAmplifier> (options, log);
        }

        void send (const Datagram& datagram, const Endpoint& from = program)
        {
            amp->receive (datagram.data(), datagram.size, from, now);
        }

        /** Advances the clock to `timeMs` in steps of `stepMs`, ticking the amplifier, and
            returns every message sent on the way as log text ("address ,tags args"). */
        std::vector<std::string> runUntil (double timeMs, double stepMs = 1.0)
        {
            std::vector<std::string> sent;
            for (;;)
            {
                amp->tick (now);
                for (auto& out : amp->takeDue (now))
                {
                    destinations.push_back (out.to);
                    sentBytes.emplace_back (out.datagram.data(), out.datagram.size);
                    sent.push_back (SimLog::describe (out.datagram));
                }
                if (now >= timeMs)
                    return sent;
                now = std::min (timeMs, now + stepMs);
            }
        }

        /** What was sent up to now (no time passes). */
        std::vector<std::string> replies() { return runUntil (now); }

        /** The one message sent now; fails the test when there is not exactly one. */
        std::string reply()
        {
            const auto sent = replies();
            EXPECT_EQ (sent.size(), 1u) << (sent.empty() ? "nothing sent" : sent.front());
            return sent.empty() ? std::string() : sent.front();
        }

        /** The one answer to a request sent now. */
        std::string ask (const Datagram& request, const Endpoint& from = program)
        {
            send (request, from);
            return reply();
        }

        /** The bytes of the one answer to a request sent now ("" when there is not exactly
            one, which fails the test). */
        std::string askBytes (const Datagram& request, const Endpoint& from = program)
        {
            const auto before = sentBytes.size();
            send (request, from);
            const auto answers = replies();
            EXPECT_EQ (answers.size(), 1u) << (answers.empty() ? "nothing sent" : answers.front());
            return answers.size() == 1 && sentBytes.size() == before + 1 ? sentBytes.back() : std::string();
        }

        bool logHas (const std::string& text) const
        {
            for (const auto& line : logLines)
                if (line.find (text) != std::string::npos)
                    return true;
            return false;
        }

        SimOptions options;
        std::vector<std::string> logLines;
        SimLog log { [this] (const std::string& line) { logLines.push_back (line); } };
        std::unique_ptr<SimAmplifier> amp;
        std::vector<Endpoint> destinations;
        std::vector<std::string> sentBytes;   // every datagram sent, in order
        double now = 0.0;
    };
}
