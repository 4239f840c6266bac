#pragma once

// What the link benchmarks share: the program's side of the link, driven as the Setup page
// drives it.

#include "Croot.h"
#include "FakeDialogs.h"
#include "FakePanel.h"
#include "FakeSetupPage.h"
#include "Globals.h"
#include "OscCom.h"

#include <chrono>
#include <memory>

namespace juce
{
    // One step of the program's message loop: waits for the next message and dispatches it.
    bool dispatchNextMessageOnSystemQueue (bool returnIfNoPendingMessages);
}

namespace benchsupport
{
    /** The tree, the hub with its real transports on `udpPort`, fakes for the panel and the
        Setup page and dialogs that answer nothing.  With an address, a ZR model there is
        chosen (not connected); without, nothing is, as when the program starts. */
    class LinkProgram
    {
    public:
        LinkProgram (int udpPort, const char* address)
        {
            assignAddresses (root);
            osc::HubOptions options;
            options.udpPort = udpPort;
            hub = std::make_unique<osc::OscCom> (panel, setup, dialogs, options);
            setup.hub = hub.get();
            if (address == nullptr)
                return;
            setup.networkAddress = address;
            setup.selectDevice (1);
        }

        /** Goes online as the Setup page does for a ZR model; returns the requests queued. */
        int goOnline()
        {
            setup.connectDevice();
            hub->sendQuery ("/siggen");
            return (int) hub->queuedMessages().size();
        }

        /** Runs the message loop until every request was answered; false once `timeoutMs`
            has passed (while online the meter watch wakes the loop at least every 250 ms). */
        bool waitIdle (double timeoutMs)
        {
            const auto start = std::chrono::steady_clock::now();
            while (! hub->queuedMessages().empty())
            {
                if (std::chrono::duration<double, std::milli> (std::chrono::steady_clock::now() - start).count()
                    > timeoutMs)
                    return false;
                juce::dispatchNextMessageOnSystemQueue (false);
            }
            return true;
        }

        /** Goes offline and dispatches whatever that left waiting. */
        void goOffline()
        {
            setup.disconnectDevice();
            while (juce::dispatchNextMessageOnSystemQueue (true))
            {
            }
        }

        Croot root;
        ScopedGlobal<Croot*> rootInstalled { globals::root, &root };
        FakePanel panel;
        FakeSetupPage setup;
        FakeDialogs dialogs;
        std::unique_ptr<osc::OscCom> hub;
    };
}
