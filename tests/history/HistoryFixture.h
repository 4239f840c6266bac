#pragma once

#include "BlockWatch.h"
#include "FakeClock.h"
#include "PacketRecorder.h"
#include "PresetText.h"
#include "SettingsHistory.h"
#include "TestModel.h"

#include <gtest/gtest.h>
#include <cstring>
#include <memory>

/** A tree with the default preset, the two standalone blocks and the history over them, as
    the panel builds it; sends go to a recorder, the amplifier's values arrive through the
    blocks' own decoding (and the block watch), and time moves when the test says so. */
class HistoryFixture : public ::testing::Test, private BlockWatch
{
protected:
    HistoryFixture()
    {
        const auto lines = PresetText::splitLines (PresetText::defaultPreset, std::strlen (PresetText::defaultPreset));
        PresetText::applyLines (root, lines);
        PresetText::applyLines (amplifier, lines);

        auto parts = SettingsPart::treeBlocks (root);
        parts.push_back (SettingsPart::standaloneBlock (speaker, "/speaker", { speaker.value }));
        parts.push_back (SettingsPart::standaloneBlock (siggen, "/siggen/level", { siggen.gain }, "/siggen"));
        auto frequency = SettingsPart::standaloneBlock (siggen, "/siggen/freq", { siggen.freq }, "/siggen");
        frequency.editedOnly = true;
        frequency.moving = [this] { return sweeping; };
        parts.push_back (frequency);

        SettingsHistory::Options options;
        options.channelBFollowsA = [this]
        {
            const int mode = root.ampmode->mode->getStep();
            return mode == 1 || mode == 4;
        };
        options.clock = clock.function();
        options.gesture = [this] { return gesture; };
        history = std::make_unique<SettingsHistory> (std::move (parts), std::move (options));
    }

    /** The tree's block at an address such as "/channel/1/peq/5". */
    Cnode& block (const std::string& address) { return model.node (address.substr (1)); }

    std::string line (const std::string& address) { return PresetText::blockLine (block (address)); }

    /** A page's edit: the values go into the tree, the block is sent and the history told. */
    void edit (const std::string& lineToSet)
    {
        ASSERT_TRUE (PresetText::applyBlockLine (root, lineToSet));
        send (lineToSet.substr (0, lineToSet.find (' ')));
    }

    /** Sends a block as a page does after an edit (the history hears of it). */
    void send (const std::string& address)
    {
        auto& b = block (address);
        b.send (b.address);
        history->noteEdit (address);
    }

    /** The amplifier sends this line's values: decoded into the tree as the hub does it. */
    void amplifierSends (const std::string& lineToSend)
    {
        ASSERT_TRUE (PresetText::applyBlockLine (amplifier, lineToSend));
        auto& source = amplifierModel.node (lineToSend.substr (1, lineToSend.find (' ') - 1));
        alignas (4) char buffer[128] {};
        osc::OutboundPacketStream stream (buffer, sizeof (buffer));
        ASSERT_TRUE (source.encode (stream));
        osc::ReceivedMessage message (
            osc::ReceivedPacket (stream.Data(), (osc::osc_bundle_element_size_t) stream.Size()));
        auto args = message.ArgumentStream();
        block (source.address).decode (args);
    }

    /** The Utility page's edit: the generator is sent and the history told. */
    void sendGenerator()
    {
        siggen.send ("/siggen");
        history->noteEdit ("/siggen");
    }

    /** The amplifier answers the generator with what it now holds. */
    void generatorAnswers()
    {
        alignas (4) char buffer[64] {};
        osc::OutboundPacketStream stream (buffer, sizeof (buffer));
        ASSERT_TRUE (siggen.encode (stream, "/siggen"));
        osc::ReceivedMessage message (
            osc::ReceivedPacket (stream.Data(), (osc::osc_bundle_element_size_t) stream.Size()));
        auto args = message.ArgumentStream();
        siggen.decode (args);
    }

    /** A mouse press: a new gesture, told once the control under it has had it. */
    void click()
    {
        ++gesture;
        history->startGesture();
    }

    /** Time passes with no button held: a gesture without one ends. */
    void pause (std::uint32_t ms = SettingsHistory::quietMs)
    {
        clock.advance (ms);
        history->tick (false);
    }

    std::string sentAddress (std::size_t i) { return sent.address (i); }

    bool follows() const
    {
        const int mode = root.ampmode->mode->getStep();
        return mode == 1 || mode == 4;
    }

    PacketRecorder sent;
    TestModel model;
    TestModel amplifierModel;   // what the simulated amplifier holds
    Croot& root = model.root;
    Croot& amplifier = amplifierModel.root;
    Ciospeaker& speaker = model.speaker;
    Ciosiggen& siggen = model.siggen;
    FakeClock clock;
    std::uint64_t gesture = 0;
    bool sweeping = false;   // the generator's sweep runs
    std::unique_ptr<SettingsHistory> history;

private:
    void blockDecoded (Cnode& decoded) override { history->noteDecoded (&decoded); }

    ScopedGlobal<BlockWatch*> watch { globals::blockWatch, this };
};
