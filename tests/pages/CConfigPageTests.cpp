// The Configuration page's frame: the mode question, modes the amplifier reports, the device
// models without "Bridge", what each mode shows, and the signal-flow picture.

#include "Artwork.h"
#include "ConfigPageFixture.h"

using namespace configtest;

namespace
{
    const char* const question = "Changing Amp-mode...|Do you want to change the Amp-mode?|Yes|Cancel|question";

    /** True when `icon` is drawn with its top left at `at` in `shot` (its opaque pixels). */
    bool drawnAt (const juce::Image& shot, const juce::Image& icon, juce::Point<int> at)
    {
        int opaque = 0;
        for (int y = 0; y < icon.getHeight(); ++y)
            for (int x = 0; x < icon.getWidth(); ++x)
            {
                const auto pixel = icon.getPixelAt (x, y);
                if (pixel.getAlpha() < 255)
                    continue;
                ++opaque;
                if (shot.getPixelAt (at.x + x, at.y + y) != pixel)
                    return false;
            }
        return opaque > 100;
    }
}

TEST_F (ConfigPageTest, FrameWidgetsSitAtTheirPlaces)
{
    EXPECT_EQ (page->getBounds(), juce::Rectangle<int> (0, 0, 720, 470));
    EXPECT_EQ (widget<juce::Component> ("modeGroup").getBounds(), juce::Rectangle<int> (4, 8, 712, 152));
    const char* names[] = { "Dual Mono", "Stereo", "Bi-Amp 1", "Bi-Amp 2", "Bridge" };
    for (int i = 0; i < 5; ++i)
    {
        auto& button = widget<juce::TextButton> ("mode" + juce::String (i));
        EXPECT_EQ (button.getBounds(), juce::Rectangle<int> (20, 24 + 26 * i, 80, 24)) << i;
        EXPECT_EQ (button.getButtonText(), names[i]);
        EXPECT_FALSE (button.getToggleState()) << "no mode button is on before the first mode";
    }
    EXPECT_EQ (widget<juce::Component> ("channelGroupA").getBounds(), juce::Rectangle<int> (4, 178, 356, 288));
    EXPECT_EQ (widget<juce::Component> ("channelGroupB").getBounds(), juce::Rectangle<int> (360, 178, 356, 288));
    EXPECT_EQ (widget<juce::Component> ("channelLink").getBounds(), juce::Rectangle<int> (312, 160, 96, 24));
    EXPECT_EQ (widget<juce::Component> ("delayKnobB").getBounds(),
               widget<juce::Component> ("delayKnobA").getBounds().translated (356, 0));
    EXPECT_EQ (globals::speaker, &page->getSpeaker());
    EXPECT_EQ (sent.count(), 0u);
}

TEST_F (ConfigPageTest, ModeInForceAsksNothingAndCancelRestoresTheButtonAndSendsNothing)
{
    amplifierReports ("DUAL");
    ASSERT_TRUE (widget<juce::Button> ("mode0").getToggleState());
    panel.modes.clear();

    click ("mode0");
    EXPECT_TRUE (dialogs.shown.empty());

    dialogs.answers = { false };
    click ("mode1");
    ASSERT_EQ (dialogs.shown, std::vector<std::string> { question });
    EXPECT_TRUE (widget<juce::Button> ("mode0").getToggleState());
    EXPECT_FALSE (widget<juce::Button> ("mode1").getToggleState());
    EXPECT_EQ (page->currentAmpMode(), 0);
    EXPECT_TRUE (panel.modes.empty());
    EXPECT_TRUE (widget<juce::Component> ("channelGroupB").isVisible());
    EXPECT_EQ (sent.count(), 0u);
}

TEST_F (ConfigPageTest, ConfirmedModeSendsLimiterThenSpeakerThenModeAndTellsThePagesOnce)
{
    page->setDeviceModel (1);   // ZR440
    amplifierReports ("DUAL");
    panel.modes.clear();

    confirmMode (1);
    EXPECT_EQ (addresses(), (std::vector<std::string> { "/channel/1/limiter", "/speaker", "/ampmode" }));
    EXPECT_STREQ (sent.message (2).ArgumentsBegin()->AsString(), "STEREO");
    EXPECT_EQ (panel.modes, std::vector<int> { 1 });
    EXPECT_EQ (page->currentAmpMode(), 1);
    EXPECT_TRUE (widget<juce::Button> ("mode1").getToggleState());

    // A TARVO has no speaker message.
    sent.clear();
    page->setDeviceModel (5);
    confirmMode (2);
    EXPECT_EQ (addresses(), (std::vector<std::string> { "/channel/1/limiter", "/ampmode" }));
}

TEST_F (ConfigPageTest, ModeTheAmplifierReportsIsAppliedWithoutQuestionOrSend)
{
    amplifierReports ("BRIDGE");
    EXPECT_TRUE (dialogs.shown.empty());
    EXPECT_EQ (sent.count(), 0u);
    EXPECT_TRUE (widget<juce::Button> ("mode4").getToggleState());
    EXPECT_EQ (panel.modes, std::vector<int> { 4 });
    EXPECT_EQ (page->getAmpMode(), 4);

    // Stereo and Bridge hide channel B and the link; only Stereo names channel A "A+B".
    const struct
    {
        const char* label;
        bool channelBShown;
        const char* titleA;
    } modes[] = { { "STEREO", false, "Channel A+B" },
                  { "BRIDGE", false, "Channel A" },
                  { "BIAMP1", true, "Channel A" },
                  { "BIAMP2", true, "Channel A" },
                  { "DUAL", true, "Channel A" } };
    for (const auto& m : modes)
    {
        amplifierReports (m.label);
        EXPECT_EQ (widget<juce::GroupComponent> ("channelGroupA").getText(), m.titleA) << m.label;
        for (auto id : { "channelGroupB", "delayKnobB", "msEntryB", "zeroDegreesB", "phaseB", "vpEntryB",
                         "powerDisplayB", "loadListB", "loadLabelB", "holdKnobB", "releaseMsLabelB", "channelLink" })
            EXPECT_EQ (widget<juce::Component> (id).isVisible(), m.channelBShown) << m.label << " " << id;
        EXPECT_TRUE (widget<juce::Component> ("delayKnobA").isVisible());
    }
    EXPECT_EQ (sent.count(), 0u);
}

TEST_F (ConfigPageTest, ModelsWithoutBridgeHideItAndAskToLeaveIt)
{
    for (int model : { 2, 3, 6, 7 })
    {
        page->setDeviceModel (1);
        amplifierReports ("BRIDGE");
        dialogs.shown.clear();
        sent.clear();

        // "Cancel": Bridge stays in force with its button hidden.
        dialogs.answers = { false };
        page->setDeviceModel (model);
        EXPECT_FALSE (widget<juce::Component> ("mode4").isVisible()) << model;
        ASSERT_EQ (dialogs.shown, std::vector<std::string> { question }) << model;
        EXPECT_EQ (page->currentAmpMode(), 4);
        EXPECT_TRUE (widget<juce::Button> ("mode4").getToggleState());
        EXPECT_EQ (sent.count(), 0u);

        // Connected again and answered "Yes": Dual Mono.
        dialogs.answers = { true };
        page->setDeviceModel (model);
        EXPECT_EQ (page->currentAmpMode(), 0) << model;
        EXPECT_TRUE (widget<juce::Button> ("mode0").getToggleState());
        ASSERT_FALSE (addresses().empty());
        EXPECT_EQ (addresses().back(), "/ampmode");
    }

    for (int model : { 0, 1, 4, 5 })
    {
        page->setDeviceModel (6);
        page->setDeviceModel (model);
        EXPECT_TRUE (widget<juce::Component> ("mode4").isVisible()) << model;
    }
    page->setDeviceModel (7);
    page->setDeviceModel (8);   // nothing connected: as it was
    EXPECT_FALSE (widget<juce::Component> ("mode4").isVisible());
}

TEST_F (ConfigPageTest, QuestionAnsweredAfterTheAmplifierChangedTheModeChangesNothingMore)
{
    page->setDeviceModel (1);
    amplifierReports ("DUAL");
    dialogs.holdBoxes = true;
    click ("mode1");
    ASSERT_EQ (dialogs.open.size(), 1u);

    amplifierReports ("STEREO");   // while the box is open
    panel.modes.clear();
    dialogs.answerOpenBoxWith (true);
    EXPECT_EQ (sent.count(), 0u);
    EXPECT_TRUE (panel.modes.empty());
    EXPECT_TRUE (widget<juce::Button> ("mode1").getToggleState());

    // A model without "Bridge" came while Bridge was being asked for: it is not applied.
    click ("mode4");
    page->setDeviceModel (6);
    dialogs.answerOpenBoxWith (true);
    EXPECT_EQ (page->currentAmpMode(), 1);
    EXPECT_TRUE (widget<juce::Button> ("mode1").getToggleState());
    EXPECT_EQ (sent.count(), 0u);
}

TEST_F (ConfigPageTest, PictureShowsTheModeWithEachBlockIconInUseOrNot)
{
    using Block = Artwork::Block;
    // Limiters at full scale and no delay: neither is in use.
    for (int c = 0; c < 2; ++c)
        limiter (c).thres->setValue (100.0f);
    // Channel A: PEQ and crossover in use; channel B: DEQ and crossover in use.
    globals::blockActive.set (ChainBlock::peq, 0, true);
    globals::blockActive.set (ChainBlock::crossover, 0, true);
    globals::blockActive.set (ChainBlock::deq, 1, true);
    globals::blockActive.set (ChainBlock::crossover, 1, true);

    struct Icon
    {
        Block block;
        bool inUse;
        int x, y;
    };
    const auto rowOf = [] (int y, bool channelA)
    {
        return std::vector<Icon> { { Block::peq, channelA, 279, y },
                                   { Block::deq, ! channelA, 331, y },
                                   { Block::delay, false, 383, y },
                                   { Block::limiter, false, 435, y } };
    };
    const auto join = [] (std::vector<Icon> a, const std::vector<Icon>& b)
    {
        a.insert (a.end(), b.begin(), b.end());
        return a;
    };
    const struct
    {
        const char* label;
        int mode;
        std::vector<Icon> icons;
    } cases[] = {
        { "DUAL", 0,
          join ({ { Block::xover, true, 199, 38 }, { Block::xover, true, 199, 89 } },
                join (rowOf (38, true), rowOf (89, false))) },
        { "STEREO", 1, join ({ { Block::xover, true, 227, 63 } }, rowOf (63, true)) },
        { "BIAMP1", 2, join ({ { Block::biampXover, true, 199, 38 } }, join (rowOf (38, true), rowOf (89, false))) },
        { "BIAMP2", 3, join ({ { Block::biampXover, true, 199, 38 } }, join (rowOf (38, true), rowOf (89, false))) },
        { "BRIDGE", 4, join ({ { Block::xover, true, 199, 38 } }, rowOf (38, true)) },
    };

    for (const auto& c : cases)
    {
        amplifierReports (c.label);
        const auto shot = page->createComponentSnapshot (page->getLocalBounds(), false);
        EXPECT_EQ (CConfigPage::diagramIcons (c.mode, globals::blockActive).size(), c.icons.size()) << c.label;
        for (const auto& icon : c.icons)
            EXPECT_TRUE (drawnAt (shot, Artwork::blockIcon (icon.block, icon.inUse), { icon.x, icon.y }))
                << c.label << " icon " << (int) icon.block << " at " << icon.x << "," << icon.y;

        // The mode's picture behind them: its title, right of the icons.
        const auto picture = Artwork::modeDiagram (c.mode);
        int differences = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 500; x < 580; ++x)
                differences += shot.getPixelAt (120 + x, 38 + y) != picture.getPixelAt (x, y) ? 1 : 0;
        EXPECT_EQ (differences, 0) << c.label;
    }
}
