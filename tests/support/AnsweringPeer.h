#pragma once

// An amplifier on the simulated network that answers by itself: "/info" with its name,
// every block query and value with its own blocks' message, every other request with a
// well-formed answer of the same address.  It can be slow (a reply delay) or silent, and
// it counts how many amplifiers are in a conversation at once ("/online" to "/offline").

#include "HeadlessModel.h"
#include "SimulatedNetwork.h"
#include "../link/HubFixture.h"

#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>

namespace peertest
{
    /** The blocks an amplifier answers from. */
    struct Blocks : HeadlessModel
    {
        /** The message a block of these answers `address` with, or a well-formed answer
            to any other request. */
        std::vector<char> answerTo (const std::string& address)
        {
            Cnode* block = nodeFor (address.c_str());
            if (block == nullptr)
                return hubtest::answerTo (address);
            return hubtest::oscBytes ([&] (::osc::OutboundPacketStream& s) { block->encode (s, address.c_str()); });
        }

        /** Takes in the values a request carries (as an amplifier applies them) and
            returns the answer. */
        std::vector<char> answer (const std::vector<char>& request)
        {
            const auto address = hubtest::addressOf (request);
            try
            {
                ::osc::ReceivedMessage message (
                    ::osc::ReceivedPacket (request.data(), (::osc::osc_bundle_element_size_t) request.size()));
                Cnode* block = address.size() > 1 ? find (address.c_str() + 1) : nullptr;
                if (block != nullptr && message.ArgumentCount() > 0)
                {
                    auto args = message.ArgumentStream();
                    block->decode (args);
                }
            }
            catch (const ::osc::Exception&)
            {
            }
            return answerTo (address);
        }
    };

    /** How many amplifiers are online at once, and the most there ever were. */
    struct Conversations
    {
        void begin()
        {
            const int now = ++open;
            int most = highest.load();
            while (now > most && ! highest.compare_exchange_weak (most, now))
            {
            }
        }
        void end() { --open; }

        std::atomic<int> open { 0 };
        std::atomic<int> highest { 0 };
    };

    /** Answers every request reaching `peer` until destroyed. */
    class AnsweringPeer
    {
    public:
        AnsweringPeer (SimulatedNetwork& net, const char* address, int port, std::string nameToUse,
                       Conversations* conversationsToCount = nullptr, int replyDelayMs = 0)
            : peer (net, address, port),
              name (std::move (nameToUse)),
              conversations (conversationsToCount),
              delayMs (replyDelayMs)
        {
            thread = std::thread ([this] { loop(); });
        }

        ~AnsweringPeer()
        {
            stop.store (true);
            thread.join();
        }

        std::atomic<bool> silent { false };
        std::atomic<int> answered { 0 };
        Blocks blocks;

    private:
        void loop()
        {
            while (! stop.load())
            {
                const auto request = peer.receive (5);
                if (request.empty() || silent.load())
                    continue;
                const auto address = hubtest::addressOf (request);
                if (address == "/online" || address == "/offline")
                {
                    if (conversations != nullptr)
                        address == "/online" ? conversations->begin() : conversations->end();
                    continue;
                }
                if (delayMs > 0)
                    std::this_thread::sleep_for (std::chrono::milliseconds (delayMs));
                peer.send (address == "/info" ? hubtest::info (name.c_str(), 1) : blocks.answer (request));
                ++answered;
            }
        }

        SimulatedNetwork::Peer peer;
        const std::string name;
        Conversations* const conversations;
        const int delayMs;
        std::atomic<bool> stop { false };
        std::thread thread;
    };
}
