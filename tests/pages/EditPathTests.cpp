// Every settings edit a user makes on a page ends in one call (EditPath): the block is sent,
// then the observer hears of it, with channel B's copy while B follows A.  What the
// amplifier reports is no edit and reaches no observer.

#include "CConfigPage.h"
#include "CDeqPage.h"
#include "CPeqPage.h"
#include "CUtilityPage.h"
#include "CXoverPage.h"
#include "Cdeqtime.h"
#include "Ciospeaker.h"
#include "Climiter.h"
#include "Cpeq.h"
#include "Croot.h"
#include "Cxovergain.h"
#include "EditPath.h"
#include "FakeDialogs.h"
#include "Globals.h"
#include "MessageLoop.h"
#include "PacketRecorder.h"
#include "RecordingPanelLink.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace
{
    /** Keeps every edit it hears, with the number of packets sent by then. */
    class RecordingObserver : public EditObserver
    {
    public:
        struct Edit
        {
            std::string address;
            Cblock* block;
            Cblock* follower;
            std::size_t sentBefore;
        };

        explicit RecordingObserver (const PacketRecorder& recorder)
            : sent (recorder)
        {
        }

        void blockEdited (Cblock& block, const char* address, Cblock* follower) override
        {
            edits.push_back ({ address, &block, follower, sent.count() });
        }

        void gainsEdited (float, float, bool, bool) override { ++gainEdits; }

        std::vector<std::string> addresses() const
        {
            std::vector<std::string> result;
            for (const auto& edit : edits)
                result.push_back (edit.address);
            return result;
        }

        std::vector<Edit> edits;
        int gainEdits = 0;

    private:
        const PacketRecorder& sent;
    };

    class EditPathTest : public ::testing::Test
    {
    protected:
        EditPathTest() { assignAddresses (root); }

        template <typename Block>
        Block& block (const juce::String& path)
        {
            return *dynamic_cast<Block*> (findNode (&root, path.toRawUTF8(), (int) path.getNumBytesAsUTF8()));
        }

        std::vector<std::string> sentAddresses() const
        {
            std::vector<std::string> result;
            for (std::size_t i = 0; i < sent.count(); ++i)
                result.push_back (sent.address (i));
            return result;
        }

        ScopedGlobal<PeqFilterTable> peqTable { globals::peqFilterTable, flatPeqFilterTable() };
        ScopedGlobal<DeqFilterTable> deqTable { globals::deqFilterTable, DeqFilterTable {} };
        ScopedGlobal<int> peqChannel { globals::peqVisibleChannel, 0 };
        ScopedGlobal<int> deqChannel { globals::deqVisibleChannel, 0 };
        ScopedGlobal<std::int32_t> selected { globals::selectedHandle, 0 };
        ScopedGlobal<BlockActivity> activity { globals::blockActive, BlockActivity {} };
        PacketRecorder sent;
        RecordingObserver observer { sent };
        ScopedGlobal<EditObserver*> observing { globals::editObserver, &observer };
        Croot root;
        FakeDialogs dialogs;
        RecordingPanelLink panel;
    };

    using Strings = std::vector<std::string>;

    Cblock* blockPointer (Cblock& block)
    {
        return &block;
    }
}

TEST_F (EditPathTest, ParametricEqEditsAreHeardOnceSentWithChannelBsCopyWhileItFollows)
{
    CPeqPage page (root, dialogs);
    auto& bandA = block<Cpeq> ("channel/1/peq/3");
    auto& bandB = block<Cpeq> ("channel/2/peq/3");

    page.tab (0).column (2).gainKnob.setValue (-4.5, juce::sendNotificationSync);
    ASSERT_EQ (observer.edits.size(), 1u);
    EXPECT_EQ (observer.edits[0].address, "/channel/1/peq/3");
    EXPECT_EQ (observer.edits[0].block, blockPointer (bandA));
    EXPECT_EQ (observer.edits[0].follower, nullptr) << "Dual Mono: channel B is its own";
    EXPECT_EQ (observer.edits[0].sentBefore, 1u) << "heard after it was sent";

    // Stereo: the edit of A carries B's copy, which is not sent.
    page.ampModeChanged (AmpMode::stereo);
    EXPECT_EQ (observer.edits.size(), 1u) << "a mode is no edit of a band";
    page.tab (0).bandEdited (2);   // as a handle reports its drag
    ASSERT_EQ (observer.edits.size(), 2u);
    EXPECT_EQ (observer.edits[1].follower, blockPointer (bandB));
    EXPECT_EQ (sentAddresses(), (Strings { "/channel/1/peq/3", "/channel/1/peq/3" }));

    // The amplifier's answer refreshes the page and is no edit.
    bandA.gain->setValue (3.0f);
    bandA.sendChangeMessage();
    testloop::run (10);
    EXPECT_EQ (observer.edits.size(), 2u);
    EXPECT_EQ (sent.count(), 2u);
}

TEST_F (EditPathTest, DynamicEqAndCrossoverEditsCarryChannelBsBlockOnlyWhileItFollows)
{
    CDeqPage deqPage (root);
    CXoverPage xoverPage (root, dialogs, [] { return false; });

    deqPage.ampModeChanged (AmpMode::bridge);
    auto* attack = dynamic_cast<juce::Slider*> (deqPage.tab (0).findChildWithID ("attackKnob1"));
    ASSERT_NE (attack, nullptr);
    attack->setValue (12.5, juce::sendNotificationSync);
    ASSERT_EQ (observer.edits.size(), 1u);
    EXPECT_EQ (observer.edits[0].address, "/channel/1/deq/1/time");
    EXPECT_EQ (observer.edits[0].follower, blockPointer (block<Cdeqtime> ("channel/2/deq/1/time")));

    xoverPage.ampModeChanged (AmpMode::stereo);
    xoverPage.gainKnobMoved (0, 3.0);
    xoverPage.ampModeChanged (AmpMode::dualMono);
    xoverPage.gainKnobMoved (1, -2.0);
    ASSERT_EQ (observer.edits.size(), 3u);
    EXPECT_EQ (observer.edits[1].address, "/channel/1/xover/gain");
    EXPECT_EQ (observer.edits[1].follower, blockPointer (block<Cxovergain> ("channel/2/xover/gain")));
    EXPECT_EQ (observer.edits[2].address, "/channel/2/xover/gain");
    EXPECT_EQ (observer.edits[2].follower, nullptr);
    EXPECT_EQ (observer.addresses(), sentAddresses()) << "every message sent is an edit heard";
}

TEST_F (EditPathTest, AConfirmedModeIsHeardInTheOrderItIsSentAndTheGeneratorAsSiggen)
{
    CConfigPage page (root, dialogs, panel);
    page.setDeviceModel (1);   // ZR440: the speaker is sent too
    dialogs.answers = { true };
    page.requestAmpMode (AmpMode::stereo);

    EXPECT_EQ (observer.addresses(), (Strings { "/channel/1/limiter", "/speaker", "/ampmode" }));
    EXPECT_EQ (observer.addresses(), sentAddresses());
    ASSERT_EQ (observer.edits.size(), 3u);
    EXPECT_EQ (observer.edits[0].follower, blockPointer (block<Climiter> ("channel/2/limiter")));
    EXPECT_EQ (observer.edits[1].block, blockPointer (page.getSpeaker()));

    // A mode the amplifier reports is applied without an edit.
    observer.edits.clear();
    root.ampmode->mode->fromText ("DUAL");
    root.ampmode->sendChangeMessage();
    testloop::run (10);
    EXPECT_TRUE (observer.edits.empty());

    CUtilityPage utility (dialogs);
    dialogs.answers = { true };
    auto* testTone = dynamic_cast<juce::Button*> (utility.findChildWithID ("testTone"));
    ASSERT_NE (testTone, nullptr);
    testTone->setToggleState (true, juce::dontSendNotification);
    utility.testToneClicked();
    ASSERT_EQ (observer.edits.size(), 1u);
    EXPECT_EQ (observer.edits[0].address, "/siggen");
    EXPECT_EQ (observer.edits[0].block, blockPointer (utility.getGenerator()));
}

TEST_F (EditPathTest, WithoutAnObserverAnEditIsOnlySent)
{
    ScopedGlobal<EditObserver*> nobody { globals::editObserver, nullptr };
    auto& gain = block<Cxovergain> ("channel/1/xover/gain");
    EditPath::blockEdited (gain);
    EditPath::standaloneBlockEdited (gain, "/elsewhere");
    EditPath::gainsEdited (-6.0f, -6.0f, false, true);
    EXPECT_EQ (sentAddresses(), (Strings { "/channel/1/xover/gain", "/elsewhere" }));
    EXPECT_TRUE (observer.edits.empty());
    EXPECT_EQ (observer.gainEdits, 0);
}
