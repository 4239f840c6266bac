#pragma once

// The Setup page under test, built as the panel builds it (PageFixture), with the preset
// document and a settings file of its own and a hub forwarder with no hub behind it; for the
// link tests the real hub, attached to the forwarder, talking to zr-ampsim processes on
// loopback addresses inside a network namespace of the test's own.

#include "AmpSimProcess.h"
#include "CSetupPage.h"
#include "FakePanel.h"
#include "HubForwarder.h"
#include "OscCom.h"
#include "PageFixture.h"
#include "presetDocument.h"
#include "SettingsStore.h"
#include "SimulatedHid.h"
#include "TempFolder.h"

#include <memory>
#include <string>
#include <vector>

namespace setuptest
{
    /** A page as the program has it, without a hub. */
    class PageTest : public PageFixture<CSetupPage>
    {
    protected:
        PageTest();

        juce::String cell (int row, const char* attribute) const
        {
            auto* element = page->getDeviceList().getChildElement (row);
            return element != nullptr ? element->getStringAttribute (attribute) : "<no row>";
        }

        /** Every model index the page handed to the panel, oldest first. */
        std::vector<int>& panelModels() { return panel.models; }

        /** A fresh folder for the test's files and its settings file; removed afterwards. */
        TempFolder temp { "zr-setup-test" };
        const juce::File folder = temp.get();
        HubForwarder hubForwarder;
        std::unique_ptr<presetDocument> document;
    };

    /** One zr-ampsim process on a loopback address. */
    struct AmpSim : AmpSimProcess
    {
        AmpSim (const juce::File& folder, const std::string& address, int port, const std::string& name, int model);

        const std::string address;
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
        FakePanel hubPanel;   // the panel's side of the hub
        SimulatedHid bus;
        std::vector<std::unique_ptr<AmpSim>> amps;
        std::unique_ptr<osc::OscCom> hub;
    };
}
