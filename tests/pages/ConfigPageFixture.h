#pragma once

// The Configuration page under test, built as the panel builds it (PageFixture), with the
// words its tests use for the amplifier's mode and the messages the page sends.

#include "CConfigPage.h"
#include "Cdelay.h"
#include "Cioampmode.h"
#include "Climiter.h"
#include "PageFixture.h"

namespace configtest
{
    class ConfigPageTest : public PageFixture<CConfigPage>
    {
    protected:
        ConfigPageTest()
        {
            page = std::make_unique<CConfigPage> (root, dialogs, panel);
            page->setDeviceModel (ModelTable::noDevice);   // as the panel does
        }

        double knob (const juce::String& id) { return widget<juce::Slider> (id).getValue(); }

        /** The mode the amplifier reports, decoded and notified as the hub does it. */
        void amplifierReports (const char* modeLabel)
        {
            root.ampmode->mode->fromText (modeLabel);
            root.ampmode->sendChangeMessage();
            drainMessages();
        }

        /** Confirms a change to `mode` by clicking its button and answering "Yes". */
        void confirmMode (int mode)
        {
            dialogs.answers = { true };
            click ("mode" + juce::String (mode));
        }

        std::vector<std::string> addresses() const { return sent.addresses(); }
        float floatArgument (std::size_t message, int index) const { return sent.argument (message, index).AsFloat(); }
        int intArgument (std::size_t message, int index) const { return sent.argument (message, index).AsInt32(); }

        Cdelay& delay (int channel) { return *root.channels[channel]->delay; }
        Climiter& limiter (int channel) { return *root.channels[channel]->limiter; }
    };
}
