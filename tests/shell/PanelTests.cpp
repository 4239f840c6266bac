// The main panel: what construction leaves, the model's effect on title, tabs and controls,
// the meters and lamps the hub sets, and the painted right-hand column.

#include "Artwork.h"
#include "CConfigPage.h"
#include "CDeqPage.h"
#include "CPeqPage.h"
#include "CSetupPage.h"
#include "CXoverPage.h"
#include "EditPath.h"
#include "PanelFixture.h"

using paneltest::PanelTest;

namespace
{
    juce::StringArray tabNames (juce::TabbedComponent& tabs)
    {
        return tabs.getTabbedButtonBar().getTabNames();
    }
}

TEST_F (PanelTest, StartsNotConnectedWithFiveTabsAndTheSetupTabCurrent)
{
    EXPECT_EQ (window.getName(), "[not connected!]");
    EXPECT_EQ (panel->getModelIndex(), 8);
    EXPECT_EQ (panel->getWidth(), 912);
    EXPECT_EQ (panel->getHeight(), 516);

    const juce::StringArray expected { "  Configuration  ", "  Filter/Crossover  ", "  Parametric EQ  ",
                                       "  Dynamic EQ  ", "  Setup  " };
    EXPECT_EQ (tabNames (tabs()), expected);
    EXPECT_EQ (tabs().getCurrentTabIndex(), 4);
    EXPECT_EQ (tabs().getCurrentContentComponent()->getName(), "SetupPage");
    EXPECT_EQ (tabs().getTabContentComponent (0)->getName(), "ConfigPage");

    // Pages get the full 720 x 470 below a 30-pixel tab bar.
    EXPECT_EQ (tabs().getBounds(), juce::Rectangle<int> (8, 8, 720, 500));
    EXPECT_EQ (tabs().getCurrentContentComponent()->getBounds(), juce::Rectangle<int> (0, 30, 720, 470));

    for (const char* id :
         { "gainA", "gainB", "mutegainA", "mutegainB", "linkgain", "gainEntryA", "gainEntryB", "dbLabel" })
        EXPECT_FALSE (panel->findChildWithID (id)->isVisible()) << id;
    EXPECT_TRUE (panel->findChildWithID ("inputLabelA")->isVisible());
    EXPECT_EQ (panel->findChildWithID ("inputsGroup")->getHeight(), 172);

    EXPECT_EQ (gainA().getValue(), -60.0);
    EXPECT_EQ (gainB().getValue(), -60.0);
    EXPECT_EQ (entryA().getText(), "0.0");
    EXPECT_FALSE (muteA().getToggleState());
    EXPECT_TRUE (muteA().getClickingTogglesState());
    EXPECT_EQ (meter ("input meter A").segmentCount, 21);
    EXPECT_EQ (meter ("input meter A").floorLevel, -60.0);
    EXPECT_EQ (meter ("output meter B").getBounds(), juce::Rectangle<int> (840, 90, 14, 105));
    EXPECT_EQ (lamp ("input clip led B").getBounds(), juce::Rectangle<int> (840, 252, 14, 3));

    // The hub exists, with the Setup page as its partner, and goes with the panel.
    EXPECT_NE (globals::hub, nullptr);
    EXPECT_NE (dynamic_cast<CSetupPage*> (tabs().getTabContentComponent (4)), nullptr);
    panel.reset();
    EXPECT_EQ (globals::hub, nullptr);
}

TEST_F (PanelTest, ZrModelAddsTheUtilityTabAndGainControlsAndNoDeviceTakesThemAway)
{
    auto* utility = [&]
    {
        panel->setDeviceLabel (1);
        return tabs().getTabContentComponent (5);
    }();

    EXPECT_EQ (window.getName(), "[Device: ZR440]");
    EXPECT_EQ (tabs().getNumTabs(), 6);
    EXPECT_EQ (tabNames (tabs())[5], "Utility");
    ASSERT_NE (utility, nullptr);
    EXPECT_EQ (utility->getName(), "UtilityPage");
    for (const char* id :
         { "gainA", "gainB", "mutegainA", "mutegainB", "linkgain", "gainEntryA", "gainEntryB", "dbLabel" })
        EXPECT_TRUE (panel->findChildWithID (id)->isVisible()) << id;
    EXPECT_FALSE (panel->findChildWithID ("inputLabelA")->isVisible());
    EXPECT_FALSE (panel->findChildWithID ("inputLabelB")->isVisible());
    EXPECT_EQ (panel->findChildWithID ("inputsGroup")->getBounds(), juce::Rectangle<int> (742, 218, 160, 226));

    // Another ZR model does not add a second Utility tab.
    panel->setDeviceLabel (3);
    EXPECT_EQ (window.getName(), "[Device: ZR440Z]");
    EXPECT_EQ (tabs().getNumTabs(), 6);

    // Dropping the device while the Utility tab is showing: the page survives, detached.
    tabs().setCurrentTabIndex (5);
    panel->setDeviceLabel (8);
    EXPECT_EQ (window.getName(), "[not connected!]");
    EXPECT_EQ (tabs().getNumTabs(), 5);
    EXPECT_EQ (utility->getParentComponent(), nullptr);
    EXPECT_NE (tabs().getCurrentContentComponent(), utility);
    for (const char* id : { "gainA", "mutegainB", "linkgain", "gainEntryA", "dbLabel" })
        EXPECT_FALSE (panel->findChildWithID (id)->isVisible()) << id;
    EXPECT_TRUE (panel->findChildWithID ("inputLabelA")->isVisible());
    EXPECT_EQ (panel->findChildWithID ("inputsGroup")->getHeight(), 172);

    // And the same page comes back.
    panel->setDeviceLabel (0);
    EXPECT_EQ (tabs().getTabContentComponent (5), utility);
}

TEST_F (PanelTest, AtRestNoPageHoldsATextEditorThatWouldHaveTheDesktopPollThePointer)
{
    panel->setDeviceLabel (1);   // all six pages
    std::function<int (juce::Component&)> editorsIn = [&] (juce::Component& c)
    {
        int count = dynamic_cast<juce::TextEditor*> (&c) != nullptr ? 1 : 0;
        for (auto* child : c.getChildren())
            count += editorsIn (*child);
        return count;
    };
    int editors = editorsIn (*panel);
    for (int tab = 0; tab < tabs().getNumTabs(); ++tab)
        editors += editorsIn (*tabs().getTabContentComponent (tab));
    EXPECT_EQ (editors, 0);

    // Typing opens one; Return keeps it for the next value; leaving closes it.
    typeAndReturn (entryA(), "-20");
    EXPECT_EQ (editorsIn (*panel), 1);
    pagetest::typeAndLeave (entryA(), "-30");
    EXPECT_EQ (editorsIn (*panel), 0);
    EXPECT_EQ (entryA().getText(), "-20.0");
}

TEST_F (PanelTest, TarvoModelsAndStrayNumbersShowNoUtilityTab)
{
    panel->setDeviceLabel (6);
    EXPECT_EQ (window.getName(), "[Device: TARVO-4]");
    EXPECT_EQ (panel->getModelIndex(), 6);
    EXPECT_EQ (tabs().getNumTabs(), 5);
    EXPECT_FALSE (gainA().isVisible());

    panel->setDeviceLabel (2);
    for (int stray : { -1, 9, 77 })
    {
        panel->setDeviceLabel (stray);
        EXPECT_EQ (window.getName(), "[not connected!]") << stray;
        EXPECT_EQ (panel->getModelIndex(), 8);
        EXPECT_EQ (tabs().getNumTabs(), 5);
    }
}

TEST_F (PanelTest, PagesHearTheModelAndTheAppliedAmpModeFromThePanel)
{
    auto* config = dynamic_cast<CConfigPage*> (tabs().getTabContentComponent (0));
    ASSERT_NE (config, nullptr);
    EXPECT_EQ (config->getDeviceModel(), 8);   // told "no device" at the end of construction
    panel->setDeviceLabel (6);
    EXPECT_EQ (config->getDeviceModel(), 6);
    panel->setDeviceLabel (42);
    EXPECT_EQ (config->getDeviceModel(), 8);

    // Bi-Amp 2: the crossover page offers its link.
    auto* xover = dynamic_cast<CXoverPage*> (tabs().getTabContentComponent (1));
    ASSERT_NE (xover, nullptr);
    panel->ampModeApplied (3);
    EXPECT_TRUE (xover->findChildWithID ("xoverButton")->isVisible());

    // Stereo: the Parametric EQ, Filter/Crossover and Dynamic EQ pages show channel A only.
    auto* peq = dynamic_cast<CPeqPage*> (tabs().getTabContentComponent (2));
    auto* deq = dynamic_cast<CDeqPage*> (tabs().getTabContentComponent (3));
    ASSERT_NE (peq, nullptr);
    ASSERT_NE (deq, nullptr);
    EXPECT_EQ (peq->getTabs().getNumTabs(), 2);
    EXPECT_EQ (deq->getTabs().getNumTabs(), 2);
    panel->ampModeApplied (1);
    EXPECT_EQ (peq->getTabs().getTabNames(), juce::StringArray ({ "Channel A+B" }));
    EXPECT_EQ (deq->getTabs().getTabNames(), juce::StringArray ({ "Channel A+B" }));
    EXPECT_TRUE (xover->isFollowingA());
    EXPECT_FALSE (xover->findChildWithID ("xoverButton")->isVisible());
}

TEST_F (PanelTest, MeterLevelsFromLinearValues)
{
    EXPECT_EQ (RemoteControl::meterLevelFor (1.0f), 1.0);
    EXPECT_EQ (RemoteControl::meterLevelFor (0.5f), -4.0);   // -6.02 + 1.2, toward zero
    EXPECT_EQ (RemoteControl::meterLevelFor (0.0f), -60.0);
    EXPECT_EQ (RemoteControl::meterLevelFor (0.001f), -58.0);    // -60 + 1.2 = -58.8
    EXPECT_EQ (RemoteControl::meterLevelFor (0.0008f), -60.0);   // below the floor
    EXPECT_EQ (RemoteControl::meterLevelFor (-0.5f), -60.0);
    EXPECT_EQ (RemoteControl::meterLevelFor (std::numeric_limits<float>::quiet_NaN()), -60.0);

    panel->setMeters (1.0f, 0.5f, 0.0f, 0.1f);
    EXPECT_EQ (meter ("input meter A").level, 1.0);
    EXPECT_EQ (meter ("input meter B").level, -4.0);
    EXPECT_EQ (meter ("output meter A").level, -60.0);
    EXPECT_EQ (meter ("output meter B").level, -18.0);   // -20 + 1.2
}

TEST_F (PanelTest, LampsFollowTheirOwnArguments)
{
    panel->setClipLeds (true, false, false, true);
    EXPECT_TRUE (lamp ("input clip led A").lit);
    EXPECT_FALSE (lamp ("input clip led B").lit);
    EXPECT_FALSE (lamp ("output limit led A").lit);
    EXPECT_TRUE (lamp ("output limit led B").lit);

    panel->setClipLeds (false, true, true, false);
    EXPECT_FALSE (lamp ("input clip led A").lit);
    EXPECT_TRUE (lamp ("input clip led B").lit);
    EXPECT_TRUE (lamp ("output limit led A").lit);
    EXPECT_FALSE (lamp ("output limit led B").lit);
}

TEST_F (PanelTest, GainsFromTheDeviceSetControlsWithoutSending)
{
    holdSendsInQueue();
    panel->setDeviceLabel (0);
    panel->setGainsFromDevice (-6.0f, -3.5f, true, false);
    settle();

    EXPECT_EQ (gainA().getValue(), -6.0);
    EXPECT_EQ (gainB().getValue(), -3.5);
    EXPECT_EQ (entryA().getText(), "-6.0");
    EXPECT_EQ (entryB().getText(), "-3.5");
    EXPECT_TRUE (muteA().getToggleState());
    EXPECT_FALSE (muteB().getToggleState());
    EXPECT_EQ (panel->getLinkOffset(), -2.5);
    EXPECT_FALSE (queuedGains().has_value());

    // Values that are no numbers leave everything as it was.
    panel->setGainsFromDevice (std::numeric_limits<float>::quiet_NaN(), -1.0f, false, true);
    panel->setGainsFromDevice (-1.0f, std::numeric_limits<float>::infinity(), false, true);
    EXPECT_EQ (gainA().getValue(), -6.0);
    EXPECT_EQ (entryB().getText(), "-3.5");
    EXPECT_TRUE (muteA().getToggleState());
}

TEST_F (PanelTest, GainAndMuteEditsReachTheEditObserverAndTheDevicesGainsDoNot)
{
    struct GainEdits : EditObserver
    {
        void blockEdited (Cblock&, const char*, Cblock*) override { ++blocks; }
        void gainsEdited (float a, float b, bool ma, bool mb) override { heard.push_back ({ a, b, ma, mb }); }
        std::vector<paneltest::Gains> heard;
        int blocks = 0;
    } observer;
    ScopedGlobal<EditObserver*> observing { globals::editObserver, &observer };

    holdSendsInQueue();
    panel->setDeviceLabel (0);
    panel->setGainsFromDevice (-6.0f, -3.5f, false, false);
    settle();
    EXPECT_TRUE (observer.heard.empty()) << "the device's own gains are no edit";

    muteB().triggerClick();
    settle();
    gainA().setValue (-12.0, juce::sendNotificationSync);
    ASSERT_EQ (observer.heard.size(), 2u);
    EXPECT_EQ (observer.heard[0].b, -3.5f);
    EXPECT_EQ (observer.heard[0].muteB, 1);
    EXPECT_EQ (observer.heard[1].a, -12.0f);
    ASSERT_TRUE (queuedGains().has_value());
    EXPECT_EQ (queuedGains()->a, observer.heard[1].a) << "heard as sent";
    EXPECT_EQ (observer.blocks, 0);
}

//==============================================================================
namespace
{
    juce::Image snapshot (RemoteControl& panel)
    {
        return panel.createComponentSnapshot (panel.getLocalBounds());
    }

    /** Where `picture` has opaque pixels, `image` shows them at (x, y). */
    ::testing::AssertionResult pictureAt (const juce::Image& image, const juce::Image& picture, int x, int y)
    {
        int compared = 0;
        for (int py = 0; py < picture.getHeight(); ++py)
        {
            for (int px = 0; px < picture.getWidth(); ++px)
            {
                const auto expected = picture.getPixelAt (px, py);
                if (expected.getAlpha() != 255)
                    continue;
                ++compared;
                if (image.getPixelAt (x + px, y + py).getARGB() != expected.getARGB())
                    return ::testing::AssertionFailure() << "picture pixel " << px << ", " << py << " differs";
            }
        }
        if (compared < 50)
            return ::testing::AssertionFailure() << "only " << compared << " opaque pixels to compare";
        return ::testing::AssertionSuccess();
    }

    bool isColour (const juce::Image& image, int x, int y, juce::uint32 argb)
    {
        return image.getPixelAt (x, y).getARGB() == argb;
    }
}

TEST_F (PanelTest, PaintsTheColumnFrameAndFamilyArtwork)
{
    const auto tarvo = snapshot (*panel);
    ASSERT_EQ (tarvo.getWidth(), 912);

    EXPECT_TRUE (isColour (tarvo, 1, 1, 0xff000000));       // panel background
    EXPECT_TRUE (isColour (tarvo, 737, 250, 0xff333333));   // right column's plate
    EXPECT_TRUE (isColour (tarvo, 906, 250, 0xff333333));
    EXPECT_TRUE (isColour (tarvo, 760, 110, 0xff000000));   // black inner rectangle
    EXPECT_TRUE (isColour (tarvo, 6, 250, 0xff333333));     // frame, left of the tabs
    EXPECT_TRUE (isColour (tarvo, 730, 250, 0xff333333));   // frame, right of the tabs
    EXPECT_TRUE (isColour (tarvo, 400, 510, 0xff333333));   // frame, below the tabs
    EXPECT_TRUE (isColour (tarvo, 4, 4, 0xff000000));       // outside the frame's round corner
    EXPECT_TRUE (isColour (tarvo, 784, 150, 0xff333333));   // output meter background
    EXPECT_TRUE (isColour (tarvo, 784, 330, 0xff333333));   // input meter background
    EXPECT_TRUE (isColour (tarvo, 760, 300, 0xff000000));   // no fader background

    EXPECT_TRUE (pictureAt (tarvo, Artwork::get (Artwork::Id::tarvoLogo), 789, 443));
    EXPECT_TRUE (pictureAt (tarvo, Artwork::get (Artwork::Id::outputMeterScale), 804, 65));

    panel->setDeviceLabel (1);
    const auto zr = snapshot (*panel);
    EXPECT_TRUE (pictureAt (zr, Artwork::get (Artwork::Id::zrLogo), 773, 469));
    EXPECT_TRUE (pictureAt (zr, Artwork::get (Artwork::Id::inputMeterScale), 804, 241));
    EXPECT_TRUE (isColour (zr, 756, 250, 0xff333333));   // fader backgrounds, beside the tracks
    EXPECT_TRUE (isColour (zr, 888, 250, 0xff333333));
    EXPECT_TRUE (isColour (tarvo, 756, 250, 0xff000000));
    EXPECT_FALSE (pictureAt (zr, Artwork::get (Artwork::Id::tarvoLogo), 789, 443));
}

TEST_F (PanelTest, PaintedMetersAndLampsShowWhatTheHubSet)
{
    panel->setMeters (1.0f, 0.0f, 0.0f, 0.0f);
    panel->setClipLeds (false, false, true, false);
    const auto image = snapshot (*panel);

    // Input meter A at +1: every segment lit, the top three yellow; input meter B dark.
    EXPECT_TRUE (isColour (image, 795, 266, 0xfffff44f));
    EXPECT_TRUE (isColour (image, 795, 266 + 5 * 3, 0xfffdbb30));
    EXPECT_TRUE (isColour (image, 795, 266 + 5 * 20 + 2, 0xfffdbb30));
    EXPECT_TRUE (isColour (image, 845, 266 + 5 * 20, 0xff000000));

    // Output limit lamp A lit, B dark.
    EXPECT_TRUE (isColour (image, 795, 77, 0xffff0000));
    EXPECT_TRUE (isColour (image, 845, 77, 0xff000000));
}

TEST_F (PanelTest, ChannelLettersAreDrawnWholeInsideTheirLabels)
{
    // A face without metrics would push the letters below the label's edge, cutting them off.
    const auto image = snapshot (*panel);
    for (const auto& label : { juce::Rectangle<int> (750, 64, 32, 16), juce::Rectangle<int> (862, 64, 32, 16) })
    {
        auto litInRow = [&] (int y)
        {
            int lit = 0;
            for (int x = label.getX(); x < label.getRight(); ++x)
                lit += image.getPixelAt (x, y).getBrightness() > 0.3f ? 1 : 0;
            return lit;
        };

        EXPECT_EQ (litInRow (label.getBottom() - 1), 0) << label.toString();
        EXPECT_GT (litInRow (label.getCentreY()), 0) << label.toString();
    }
}
