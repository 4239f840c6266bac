#include "ModelTestSupport.h"
#include "PacketRecorder.h"

#include <gtest/gtest.h>
#include <string>

using namespace std::string_literals;

namespace
{
    /** What the block encodes for `address` into a 64-byte buffer of the caller's, as bytes. */
    std::string encoded (const Cnode& block, const char* address)
    {
        alignas (8) char buffer[OutboundPacket::capacity];
        osc::OutboundPacketStream stream (buffer, sizeof buffer);
        EXPECT_TRUE (block.encode (stream, address));
        return { stream.Data(), stream.Size() };
    }
}

// Expected messages are written out byte by byte: strings NUL-padded to a multiple of four,
// numbers big-endian.  The ruler comment gives each field's offset.

TEST (BlockEncode, ParametricBand_sfff)
{
    TestModel t;
    auto& band = *t.root.channels[0]->peq->bands[2];
    band.type->setStep (1);
    band.freq->setStep (600);
    band.gain->setStep (36);
    band.qual->setStep (100);

    const auto expected = "/channel/1/peq/3\0\0\0\0"s   //  0  address
                          ",sfff\0\0\0"s                // 20  type tags
                          "PEQ\0"s                      // 28  type
                          "\x46\x9c\x40\x00"s           // 32  freq 20000.0
                          "\x40\x40\x00\x00"s           // 36  gain 3.0
                          "\x41\x20\x00\x00"s;          // 40  qual 10.0
    EXPECT_EQ (encoded (band, band.address), expected);
}

TEST (BlockEncode, Compressor_fff)
{
    TestModel t;
    auto& comp = *t.root.channels[0]->deq->bands[1]->comp;
    comp.mgain->setStep (60);
    comp.thres->setStep (0);
    comp.ratio->setStep (196);

    const auto expected = "/channel/1/deq/2/comp\0\0\0"s   //  0  address
                          ",fff\0\0\0\0"s                  // 24  type tags
                          "\x41\x70\x00\x00"s              // 32  mgain 15.0
                          "\xc2\x70\x00\x00"s              // 36  thres -60.0
                          "\x42\xc8\x00\x00"s;             // 40  ratio 100.0
    EXPECT_EQ (encoded (comp, comp.address), expected);
}

TEST (BlockEncode, Time_ff)
{
    TestModel t;
    auto& time = *t.root.channels[1]->deq->bands[0]->time;
    time.att->setStep (5);

    const auto expected = "/channel/2/deq/1/time\0\0\0"s   //  0  address
                          ",ff\0"s                         // 24  type tags
                          "\x40\x20\x00\x00"s              // 28  att 2.5
                          "\x41\xa0\x00\x00"s;             // 32  rel 20.0
    EXPECT_EQ (encoded (time, time.address), expected);
}

TEST (BlockEncode, Filter_sff)
{
    TestModel t;
    auto& filt = *t.root.channels[0]->deq->bands[0]->filt;
    filt.type->setStep (5);

    const auto expected = "/channel/1/deq/1/filt\0\0\0"s   //  0  address
                          ",sff\0\0\0\0"s                  // 24  type tags
                          "HP12\0\0\0\0"s                  // 32  type
                          "\x41\xa0\x00\x00"s              // 40  freq 20.0
                          "\x3d\xcc\xcc\xcd"s;             // 44  qual 0.1
    EXPECT_EQ (encoded (filt, filt.address), expected);
}

TEST (BlockEncode, Crossover_sf)
{
    TestModel t;
    auto& lp = *t.root.channels[1]->xover->lp;
    lp.type->setStep (8);
    lp.freq->setStep (600);

    const auto expected = "/channel/2/xover/lp\0"s   //  0  address
                          ",sf\0"s                   // 20  type tags
                          "LR24\0\0\0\0"s            // 24  type
                          "\x46\x9c\x40\x00"s;       // 32  freq 20000.0
    EXPECT_EQ (encoded (lp, lp.address), expected);
}

TEST (BlockEncode, CrossoverGain_f)
{
    TestModel t;
    auto& gain = *t.root.channels[0]->xover->gain;

    const auto expected = "/channel/1/xover/gain\0\0\0"s   //  0  address
                          ",f\0\0"s                        // 24  type tags
                          "\xc1\x40\x00\x00"s;             // 28  gain -12.0
    EXPECT_EQ (encoded (gain, gain.address), expected);
}

TEST (BlockEncode, Delay_fi)
{
    TestModel t;
    auto& delay = *t.root.channels[0]->delay;
    delay.del->setStep (30000);
    delay.pol->setStep (180);

    const auto expected = "/channel/1/delay\0\0\0\0"s   //  0  address
                          ",fi\0"s                      // 20  type tags
                          "\x43\x96\x00\x00"s           // 24  del 300.0
                          "\x00\x00\x00\xb4"s;          // 28  pol 180
    EXPECT_EQ (encoded (delay, delay.address), expected);
}

TEST (BlockEncode, AmplifierMode_s)
{
    TestModel t;
    auto& ampmode = *t.root.ampmode;
    ampmode.mode->setStep (4);

    const auto expected = "/ampmode\0\0\0\0"s   //  0  address
                          ",s\0\0"s             // 12  type tags
                          "BRIDGE\0\0"s;        // 16  mode
    EXPECT_EQ (encoded (ampmode, ampmode.address), expected);
}

TEST (BlockEncode, SignalGenerator_iff)
{
    Ciosiggen siggen;
    siggen.input->setStep (2);
    siggen.gain->setStep (68);
    siggen.scan->setStep (20);   // not part of the message

    const auto expected = "/siggen\0"s           //  0  address
                          ",iff\0\0\0\0"s        //  8  type tags
                          "\x00\x00\x00\x02"s    // 16  input 2
                          "\xc0\xc0\x00\x00"s    // 20  gain -6.0
                          "\x41\xa0\x00\x00"s;   // 24  freq 20.0
    EXPECT_EQ (encoded (siggen, "/siggen"), expected);
}

TEST (BlockEncode, Speaker_i)
{
    Ciospeaker speaker;
    speaker.value->setStep (8);

    const auto expected = "/speaker\0\0\0\0"s    //  0  address
                          ",i\0\0"s              // 12  type tags
                          "\x00\x00\x00\x08"s;   // 16  value 8
    EXPECT_EQ (encoded (speaker, "/speaker"), expected);
}

TEST (BlockEncode, EveryBlockFitsAndDecodesBack)
{
    TestModel source, target;
    std::vector<std::string> messages;
    forEachLeaf (&source.root,
                 [&messages] (Cnode* block)
                 {
                     block->forEachChild (
                         [] (Cnode& p) { static_cast<Cparam&> (p).stepBy (1000000); });   // longest labels at the top
                     alignas (8) char buffer[OutboundPacket::capacity];
                     osc::OutboundPacketStream stream (buffer, sizeof buffer);
                     EXPECT_NO_THROW (EXPECT_TRUE (block->encode (stream))) << block->address;   // its own address
                     messages.emplace_back (stream.Data(), stream.Size());
                 });

    ASSERT_EQ (messages.size(), 39u);
    for (const auto& bytes : messages)
    {
        EXPECT_LE (bytes.size(), OutboundPacket::capacity);
        alignas (8) char aligned[OutboundPacket::capacity];
        std::memcpy (aligned, bytes.data(), bytes.size());
        const osc::ReceivedMessage message (
            osc::ReceivedPacket (aligned, (osc::osc_bundle_element_size_t) bytes.size()));
        const char* address = message.AddressPattern() + 1;
        auto* block = findNode (&target.root, address, (int) std::strlen (address));
        ASSERT_NE (block, nullptr) << address;
        EXPECT_EQ (std::string (",") + message.TypeTags(), "," + typeTags (block));
        auto args = message.ArgumentStream();
        block->decode (args);
    }
    EXPECT_EQ (allSteps (target.root), allSteps (source.root));
}

TEST (BlockEncode, SendHandsOverExactlyWhatEncodeWrites)
{
    TestModel t;
    Ciosiggen siggen;
    Ciospeaker speaker;
    siggen.gain->setStep (13);
    speaker.value->setStep (16);
    std::vector<std::pair<Cnode*, const char*>> blocks { { &siggen, "/siggen" }, { &speaker, "/speaker" } };
    forEachLeaf (&t.root,
                 [&blocks] (Cnode* block)
                 {
                     block->forEachChild ([] (Cnode& p) { static_cast<Cparam&> (p).stepBy (7); });
                     blocks.push_back ({ block, block->address });
                 });

    PacketRecorder recorder;
    for (const auto& [block, address] : blocks)
        block->send (address);

    ASSERT_EQ (recorder.count(), 41u);
    for (std::size_t i = 0; i < blocks.size(); ++i)
    {
        const auto bytes = recorder.bytes (i);
        EXPECT_EQ (std::string (bytes.begin(), bytes.end()), encoded (*blocks[i].first, blocks[i].second))
            << blocks[i].second;
    }
}

TEST (BlockEncode, EncodeWritesNothingWithoutAMessageAndRaisesWhenTheBufferIsShort)
{
    TestModel t;
    auto& band = *t.root.channels[0]->peq->bands[0];
    alignas (8) char buffer[OutboundPacket::capacity];

    // Folders, parameters and a missing address have no message.
    for (const Cnode* node : { static_cast<const Cnode*> (&t.root), static_cast<const Cnode*> (t.root.channels[0]),
                               static_cast<const Cnode*> (band.freq) })
    {
        osc::OutboundPacketStream stream (buffer, sizeof buffer);
        EXPECT_FALSE (node->encode (stream, "/channel/1/peq/1"));
        EXPECT_EQ (stream.Size(), 0u);
    }
    osc::OutboundPacketStream stream (buffer, sizeof buffer);
    EXPECT_FALSE (band.encode (stream, nullptr));
    EXPECT_FALSE (band.encode (stream, ""));
    Ciospeaker standalone;   // no address of its own
    EXPECT_FALSE (standalone.encode (stream));
    EXPECT_EQ (stream.Size(), 0u);

    // 44 bytes do not fit 40.
    osc::OutboundPacketStream shortStream (buffer, 40);
    EXPECT_THROW (band.encode (shortStream), osc::OutOfBufferMemoryException);
}

TEST (BlockEncode, MessageThatDoesNotFitIsDropped)
{
    TestModel t;
    PacketRecorder recorder;
    const int before = OutboundPacket::live();
    auto& band = *t.root.channels[0]->peq->bands[0];
    band.send ("/a/very/long/address/that/cannot/fit/in/sixty/four/bytes/at/all");
    band.send (nullptr);
    EXPECT_EQ (recorder.count(), 0u);
    EXPECT_EQ (OutboundPacket::live(), before);

    // The parameters themselves send nothing.
    band.freq->send (band.freq->address);
    EXPECT_EQ (recorder.count(), 0u);
}
