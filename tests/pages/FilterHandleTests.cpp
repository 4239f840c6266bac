// The graph handles' drag and wheel rules for the three graph kinds, against small stand-ins
// for the pages that own them.

#include "Cpeq.h"
#include "Cxover.h"
#include "Globals.h"
#include "HandleOwners.h"
#include "filter_drag.h"

#include <gtest/gtest.h>
#include <array>
#include <memory>
#include <tuple>
#include <vector>

namespace
{
    juce::Image picture()
    {
        return juce::Image (juce::Image::ARGB, 13, 13, true);   // centre at x 6
    }

    struct FakePeqTab : public PeqHandleTab
    {
        explicit FakePeqTab (int channel)
        {
            for (int k = 0; k < 8; ++k)
            {
                bands[(size_t) k] = std::make_unique<Cpeq> (channel + 1, k + 1);
                bands[(size_t) k]->type->setStep (1);
                bands[(size_t) k]->freq->setStep (300);
                bands[(size_t) k]->qual->setStep (50);
            }
        }
        Cpeq* handleBand (int band) override { return band >= 0 && band < 8 ? bands[(size_t) band].get() : nullptr; }
        void changeListenerCallback (juce::ChangeBroadcaster*) override { ++refreshes; }
        void bandEdited (int band) override { edited.push_back (band); }

        std::array<std::unique_ptr<Cpeq>, 8> bands;
        int refreshes = 0;
        std::vector<int> edited;
    };

    struct FakePeqPage : public juce::Component, public PeqHandleOwner
    {
        PeqHandleTab* peqTab (int channel) override { return channel == 0 ? &a : &b; }
        FakePeqTab a { 0 }, b { 1 };
    };

    struct FakeXoverPage : public juce::Component, public XoverHandleOwner
    {
        FakeXoverPage()
        {
            for (auto& block : blocks)
            {
                block = std::make_unique<Cxover> ("hp", 1);
                block->freq->setStep (200);
                block->type->setStep (1);
            }
        }
        Cxover* crossoverBlock (int slot) override
        {
            return slot >= 0 && slot < 4 ? blocks[(size_t) slot].get() : nullptr;
        }
        void changeListenerCallback (juce::ChangeBroadcaster*) override { calls.push_back ("refresh"); }
        bool crossoverLinked() const override { return linked; }
        void linkCrossoverPartner (int slot) override { calls.push_back ("link " + std::to_string (slot)); }
        void commitFilter (int slot) override { calls.push_back ("commit " + std::to_string (slot)); }
        bool hubOnline() const override { return online; }

        std::array<std::unique_ptr<Cxover>, 4> blocks;
        bool linked = false, online = false;
        std::vector<std::string> calls;
    };

    struct FakeDeqTab : public DeqHandleTab
    {
        void handleEdit (int what, int band, int delta) override { edits.emplace_back (what, band, delta); }
        std::vector<std::tuple<int, int, int>> edits;
    };

    struct FakeDeqPage : public juce::Component, public DeqHandleOwner
    {
        DeqHandleTab* deqTab (int channel) override { return channel == 0 ? &a : &b; }
        FakeDeqTab a, b;
    };

    struct HandleTest : public ::testing::Test
    {
        ScopedGlobal<std::int32_t> selected { globals::selectedHandle, 0 };
        ScopedGlobal<int> peqChannel { globals::peqVisibleChannel, 0 };
        ScopedGlobal<int> deqChannel { globals::deqVisibleChannel, 0 };
    };
}

TEST_F (HandleTest, PeqDragPullsTheFrequencyAndMovesGainHalfADecibelPerTwoPixels)
{
    FakePeqPage page;
    filter_drag handle (picture(), 0, &page, 4);
    EXPECT_EQ (handle.getBounds(), juce::Rectangle<int> (0, 0, 13, 13));
    auto& band = *page.a.bands[4];
    band.gain->setValue (0.0f);
    handle.lastY = 6;   // pressed at its centre

    handle.dragTo (6, 7);   // one pixel down: nothing, and the pixel is kept
    EXPECT_EQ (band.gain->getValue(), 0.0f);
    EXPECT_TRUE (page.a.edited.empty());
    EXPECT_EQ (handle.lastY, 6);

    handle.dragTo (6, 9);   // three pixels down: -0.5 dB, the odd pixel lost
    EXPECT_EQ (band.gain->getValue(), -0.5f);
    EXPECT_EQ (handle.lastY, 9);
    EXPECT_EQ (page.a.edited, std::vector<int> ({ 4 }));
    EXPECT_EQ (globals::selectedHandle, 4);

    handle.dragTo (6, 1);   // eight up: +2 dB
    EXPECT_EQ (band.gain->getValue(), 1.5f);

    globals::selectedHandle = 0;
    handle.dragTo (9, 1);   // three pixels right of the centre: three steps up
    EXPECT_EQ (band.freq->getStep(), 303);
    EXPECT_EQ (handle.lastX, 9);
    EXPECT_EQ (globals::selectedHandle, 4);
    handle.dragTo (0, 1);
    EXPECT_EQ (band.freq->getStep(), 297);
    EXPECT_EQ (page.a.refreshes, 4);
    EXPECT_TRUE (page.b.edited.empty());

    band.freq->setStep (600);   // clamped at the top
    handle.dragTo (12, 1);
    EXPECT_EQ (band.freq->getStep(), 600);
}

TEST_F (HandleTest, PeqOffBandOnlySelectsAndTheVisibleChannelsTabIsEdited)
{
    FakePeqPage page;
    filter_drag handle (picture(), 0, &page, 2);
    globals::peqVisibleChannel = 1;
    auto& band = *page.b.bands[2];
    band.type->setStep (0);   // "OFF"
    const auto gainStep = band.gain->getStep();

    handle.wheelBy (1.0f);
    handle.lastY = 6;
    handle.dragTo (6, 12);
    EXPECT_EQ (band.qual->getStep(), 50);
    EXPECT_EQ (band.gain->getStep(), gainStep);
    EXPECT_EQ (handle.lastY, 12);
    EXPECT_TRUE (page.b.edited.empty());
    EXPECT_EQ (globals::selectedHandle, 2);

    band.type->setStep (4);
    handle.wheelBy (-0.1f);
    EXPECT_EQ (band.qual->getStep(), 49);
    handle.wheelBy (0.0f);   // no direction counts as up
    handle.wheelBy (0.3f);
    EXPECT_EQ (band.qual->getStep(), 51);
    EXPECT_EQ (page.b.edited.size(), 3u);
    EXPECT_TRUE (page.a.edited.empty());
}

TEST_F (HandleTest, CrossoverHandleMovesFrequencyNeverWheelsToOffAndCommits)
{
    FakeXoverPage page;
    filter_drag handle (picture(), 1, &page, 2);
    auto& block = *page.blocks[2];

    handle.dragTo (8, 30);   // vertical movement does nothing
    EXPECT_EQ (block.freq->getStep(), 202);
    EXPECT_EQ (page.calls, std::vector<std::string> ({ "refresh", "commit 2" }));
    EXPECT_EQ (handle.lastY, 30);
    EXPECT_EQ (globals::selectedHandle, 2);

    page.calls.clear();
    handle.dragTo (6, 0);   // at the centre: nothing at all
    EXPECT_TRUE (page.calls.empty());

    // Down from label 1 would be "OFF": the type stays, but the filter is still sent.
    page.linked = true;
    page.online = true;
    handle.wheelBy (-1.0f);
    EXPECT_EQ (block.type->getStep(), 1);
    EXPECT_EQ (page.calls, std::vector<std::string> ({ "link 2", "commit 2" }));
    handle.wheelBy (1.0f);
    EXPECT_EQ (block.type->getStep(), 2);

    block.type->setStep (Cxover::typeCount - 1);   // clamped at the last label
    handle.wheelBy (1.0f);
    EXPECT_EQ (block.type->getStep(), Cxover::typeCount - 1);

    // Slot 0 has no partner to link.
    page.calls.clear();
    filter_drag first (picture(), 1, &page, 0);
    first.wheelBy (1.0f);
    EXPECT_EQ (page.calls, std::vector<std::string> ({ "commit 0" }));
}

TEST_F (HandleTest, DeqHandlePassesItsEditsToTheVisibleTab)
{
    FakeDeqPage page;
    filter_drag handle (picture(), 2, &page, 1);
    globals::deqVisibleChannel = 1;
    globals::selectedHandle = 3;
    handle.lastY = 6;

    handle.dragTo (9, 4);   // three right, two up
    handle.wheelBy (-2.0f);
    handle.dragTo (6, 5);   // one down: passed on as it is
    using Edit = std::tuple<int, int, int>;
    EXPECT_EQ (page.b.edits,
               std::vector<Edit> ({ Edit { 1, 1, 6 }, Edit { 2, 1, -2 }, Edit { 3, 1, -1 }, Edit { 2, 1, 1 } }));
    EXPECT_TRUE (page.a.edits.empty());
    EXPECT_EQ (globals::selectedHandle, 3) << "Dynamic EQ edits select nothing";
}

TEST_F (HandleTest, OwnerWithoutTheKindsInterfaceGetsNoEdits)
{
    juce::Component stranger;
    for (int kind : { 0, 1, 2, 5 })
    {
        filter_drag handle (picture(), kind, &stranger, 0);
        handle.dragTo (10, 20);
        handle.wheelBy (1.0f);
        filter_drag orphan (picture(), kind, nullptr, 0);
        orphan.dragTo (10, 20);
        orphan.wheelBy (1.0f);
    }
    SUCCEED();   // nothing to call, nothing crashed
}
