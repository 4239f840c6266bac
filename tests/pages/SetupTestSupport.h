#pragma once

// The Setup page under test, built as the panel builds it: a tree, the preset document with
// a settings file of its own, scripted dialogs, a stand-in for the panel and a hub forwarder
// with no hub behind it; for the link tests the real hub, attached to the forwarder, talking
// to zr-ampsim processes on loopback addresses inside a network namespace of the test's own.

#include "CSetupPage.h"
#include "Croot.h"
#include "FakeDialogs.h"
#include "FakePanel.h"
#include "Globals.h"
#include "HubForwarder.h"
#include "MessageLoop.h"
#include "OscCom.h"
#include "RecordingPanelLink.h"
#include "presetDocument.h"
#include "SettingsStore.h"
#include "SimulatedHid.h"
#include "TempFolder.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

namespace setuptest
{
    /** FakeDialogs that also answers the file choosers from a script and records them.  A
        chooser answers inline, like the boxes, unless `holdBoxes` is set: then it stays open
        in `open` (answerOpenBox() picks the scripted file, answerOpenBoxWith (false) cancels). */
    class ScriptedDialogs : public FakeDialogs
    {
    public:
        struct Pick
        {
            juce::String title;
            juce::File initial;
            juce::String patterns;
        };

        void chooseFileToOpen (const juce::String& t, const juce::File& i, const juce::String& p,
                               std::function<void (const juce::File&)> onChosen) override
        {
            opens.push_back ({ t, i, p });
            answer (openAnswer, std::move (onChosen));
        }

        void chooseFileToSave (const juce::String& t, const juce::File& i, const juce::String& p,
                               std::function<void (const juce::File&)> onChosen) override
        {
            saves.push_back ({ t, i, p });
            answer (saveAnswer, std::move (onChosen));
        }

        juce::File openAnswer, saveAnswer;
        std::vector<Pick> opens, saves;

    private:
        void answer (const juce::File& file, std::function<void (const juce::File&)> onChosen)
        {
            if (holdBoxes)
                open.push_back ([file, onChosen] (bool chosen) { onChosen (chosen ? file : juce::File()); });
            else
                onChosen (file);
        }
    };

    /** A page as the program has it, without a hub. */
    class PageTest : public ::testing::Test
    {
    protected:
        PageTest();
        ~PageTest() override;

        /** A child widget of the page by component ID (fails the test when missing). */
        template <typename Widget>
        Widget& widget (const char* id)
        {
            auto* found = dynamic_cast<Widget*> (page->findChildWithID (id));
            if (found == nullptr)
                throw std::runtime_error (std::string ("no widget ") + id);
            return *found;
        }

        juce::String cell (int row, const char* attribute) const
        {
            auto* element = page->getDeviceList().getChildElement (row);
            return element != nullptr ? element->getStringAttribute (attribute) : "<no row>";
        }

        /** Every model index the page handed to the panel, oldest first. */
        std::vector<int>& panelModels() { return panelLink.models; }

        /** A fresh folder for the test's files and its settings file; removed afterwards. */
        TempFolder temp { "zr-setup-test" };
        const juce::File folder = temp.get();
        ScriptedDialogs dialogs;
        RecordingPanelLink panelLink;
        HubForwarder hubForwarder;
        std::unique_ptr<Croot> root;
        std::unique_ptr<ScopedGlobal<Croot*>> rootInstalled;   // the preset document reads it
        std::unique_ptr<presetDocument> document;
        std::unique_ptr<CSetupPage> page;
    };

    /** One zr-ampsim process on a loopback address, logging what it receives. */
    class AmpSim
    {
    public:
        AmpSim (const juce::File& folder, const std::string& address, int port, const std::string& name, int model);
        ~AmpSim();

        /** Stops the process (SIGTERM) and waits for it. */
        void stop();

        /** Log lines of messages received from the program ("recv ..."), in order. */
        std::vector<std::string> received() const;

        const std::string address;

    private:
        juce::File logFile, errorFile;
        int pid = -1;
    };

    /** The page with the real hub, on a port of its own in a private network namespace. */
    class LinkTest : public PageTest
    {
    protected:
        void SetUp() override;
        void TearDown() override;

        /** Starts a simulator at 127.0.0.<host> and waits until its row is listed. */
        AmpSim& addAmp (int host, const std::string& name, int model = 1);

        /** Clicks row `row`, answers "Connect" and waits until the slot names are in. */
        void connectRow (int row);

        /** Runs the message loop until the hub has nothing queued. */
        bool waitIdle (int timeoutMs = 5000);

        std::vector<std::string> queued() const;

        int port = 0;
        FakePanel panel;
        SimulatedHid bus;
        std::vector<std::unique_ptr<AmpSim>> amps;
        std::unique_ptr<osc::OscCom> hub;
    };
}
