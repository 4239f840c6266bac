// The program's blocks against the simulated amplifier's own settings.  The simulator keeps
// its own table of messages, ranges and steps and ignores a request whose type tags are not
// the amplifier's, so a block that encodes or decodes the wrong layout, range or rounding
// shows up here: as an unanswered request (and a lost connection), or as a value that does
// not come back as the amplifier holds it.

#include "IntegrationFixture.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>

using namespace linktest;

namespace
{
    /** Settings the program's tree does not start with: every block differs from step 0,
        and some values lie between the amplifier's steps. */
    const char* const presetText = "Values\n"
                                   "BEGIN_OSC_DATA\n"
                                   "/ampmode s BIAMP1\n"
                                   "/channel/1/peq/5 sfff HS6 1k234 -2.4 1.414\n"
                                   "/channel/1/xover/hp sf LR24 87.7\n"
                                   "/channel/1/xover/gain f -1.3\n"
                                   "/channel/1/deq/2/comp fff +4.5 -17.4 3.3\n"
                                   "/channel/1/delay fi 3.753 180\n"
                                   "/channel/2/delay fi 0.01 180\n"
                                   "/channel/2/limiter fff 47.333 412.4 17.5\n"
                                   "END_OSC_DATA\n";

    /** The last answer the simulator sent for each address, from log line `from` on. */
    std::map<std::string, std::string> answersSince (const AmpSimProcess& sim, std::size_t from)
    {
        std::map<std::string, std::string> answers;
        const auto log = sim.log();
        for (std::size_t i = from; i < log.size(); ++i)
            if (log[i].what == "send")
                answers[addressOf (log[i].text)] = log[i].text;
        return answers;
    }

    /** The requests the simulator received for each address, from log line `from` on. */
    std::map<std::string, std::vector<std::string>> requestsSince (const AmpSimProcess& sim, std::size_t from)
    {
        std::map<std::string, std::vector<std::string>> requests;
        const auto log = sim.log();
        for (std::size_t i = from; i < log.size(); ++i)
            if (log[i].what == "recv")
                requests[addressOf (log[i].text)].push_back (log[i].text);
        return requests;
    }

    std::vector<std::string> words (const std::string& text)
    {
        std::istringstream stream (text);
        std::vector<std::string> result;
        for (std::string word; stream >> word;)
            result.push_back (word);
        return result;
    }

    /** Where the block's values differ from a logged answer ("address ,tags args"); empty
        when they agree.  Floats agree within the log's six digits, which is finer than any
        step of the amplifier's. */
    std::string difference (const Cnode& block, const char* address, const std::string& answer)
    {
        alignas (8) char buffer[OutboundPacket::capacity];
        osc::OutboundPacketStream stream (buffer, sizeof buffer);
        if (! block.encode (stream, address))
            return std::string (address) + ": the block has no message";
        const osc::ReceivedMessage held (
            osc::ReceivedPacket (stream.Data(), (osc::osc_bundle_element_size_t) stream.Size()));

        const auto told = words (answer);
        const std::string tags = "," + std::string (held.TypeTags(), held.ArgumentCount());
        if (told.size() != held.ArgumentCount() + 2 || told[1] != tags)
            return std::string (address) + ": the block holds " + tags + ", the amplifier answered " + answer;

        std::size_t i = 2;
        for (auto arg = held.ArgumentsBegin(); arg != held.ArgumentsEnd(); ++arg, ++i)
        {
            bool same = false;
            std::string value;
            switch (arg->TypeTag())
            {
                case 's':
                    value = std::string ("\"") + arg->AsStringUnchecked() + "\"";
                    same = value == told[i];
                    break;
                case 'i':
                    value = std::to_string (arg->AsInt32Unchecked());
                    same = value == told[i];
                    break;
                default:
                {
                    const double mine = arg->AsFloatUnchecked();
                    const double theirs = std::strtod (told[i].c_str(), nullptr);
                    value = std::to_string (mine);
                    same = std::abs (mine - theirs) <= 8.0e-6 * std::abs (theirs) + 1.0e-6;
                    break;
                }
            }
            if (! same)
                return std::string (address) + " argument " + std::to_string (i - 1) + ": the block holds " + value
                       + ", the amplifier answered " + answer;
        }
        return {};
    }
}

class LinkValues : public LinkIntegration
{
protected:
    /** Writes the preset the simulator starts from into the test's folder. */
    std::string writePreset()
    {
        const auto path = folder + "/values.kvt";
        std::ofstream (path) << presetText;
        return path;
    }

    /** Every block the program can send, with the address it is sent with: the 39 blocks of
        the tree, the signal generator and the speaker setting. */
    std::vector<std::pair<Cnode*, std::string>> everyBlock()
    {
        std::vector<std::pair<Cnode*, std::string>> blocks;
        forEachLeaf (&root, [&blocks] (Cnode* block) { blocks.push_back ({ block, block->address }); });
        blocks.push_back ({ &siggen, "/siggen" });
        blocks.push_back ({ &speaker, "/speaker" });
        return blocks;
    }
};

TEST_F (LinkValues, EveryBlockIsAnsweredAndHoldsTheAmplifiersValuesWhichComeBackUnchanged)
{
    auto& sim = startSim ("amp", { "--model", "1", "--preset", writePreset() });
    ASSERT_FALSE (HasFailure());
    makeHub();
    ASSERT_TRUE (testloop::runUntil ([this] { return setup.count ("addNetworkDevice") == 1; }));

    connect ("amp", 1);
    hub->sendQuery ("/speaker");   // as the Configuration page asks
    ASSERT_TRUE (waitIdle());
    ASSERT_TRUE (hub->isOnline()) << "the connection was lost while going online";

    // Going online: every block was asked for once, answered, and now holds what the
    // amplifier answered.
    const auto blocks = everyBlock();
    ASSERT_EQ (blocks.size(), 41u);
    const auto online = answersSince (sim, 0);
    const auto asked = requestsSince (sim, 0);
    ASSERT_EQ (online.count ("/channel/1/delay"), 1u);
    EXPECT_EQ (online.at ("/channel/1/delay"), "/channel/1/delay ,fi 3.75 180")
        << "the preset did not reach the simulator";
    for (const auto& [block, address] : blocks)
    {
        ASSERT_EQ (online.count (address), 1u) << address << " was not answered";
        EXPECT_EQ (asked.at (address), std::vector<std::string> { address + " ," }) << "asked once, as a query";
        EXPECT_EQ (difference (*block, address.c_str(), online.at (address)), "");
    }
    EXPECT_EQ (hub->getPendingTransmissions(), 0);
    EXPECT_TRUE (dialogs.shown.empty());

    // Every block sent with the values it holds: the amplifier takes each request (its type
    // tags are the amplifier's) and answers with the values it already had.
    const auto mark = sim.log().size();
    for (const auto& [block, address] : blocks)
        block->send (address.c_str());
    ASSERT_TRUE (waitIdle());

    const auto again = answersSince (sim, mark);
    const auto sent = requestsSince (sim, mark);
    for (const auto& [block, address] : blocks)
    {
        ASSERT_EQ (sent.count (address), 1u) << address << " was not sent";
        EXPECT_EQ (sent.at (address).size(), 1u) << address << " was sent again: " << sent.at (address).back();
        ASSERT_EQ (again.count (address), 1u) << address << " was not answered: " << sent.at (address).front();
        EXPECT_EQ (again.at (address), online.at (address)) << "sent as " << sent.at (address).front();
    }
    EXPECT_TRUE (hub->isOnline());
    EXPECT_TRUE (dialogs.shown.empty());
    EXPECT_EQ (hub->getPendingTransmissions(), 0);
}
