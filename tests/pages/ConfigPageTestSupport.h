#pragma once

// The Configuration page under test, built as the panel builds it (PageFixture), with the
// words its tests use for the amplifier's mode and the messages the page sends.

#include "CConfigPage.h"
#include "Cdelay.h"
#include "Cioampmode.h"
#include "Climiter.h"
#include "PageFixture.h"

#include <string>
#include <vector>

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

        std::vector<std::string> addresses() const
        {
            std::vector<std::string> list;
            for (std::size_t i = 0; i < sent.count(); ++i)
                list.push_back (sent.address (i));
            return list;
        }

        float floatArgument (std::size_t message, int index) const
        {
            auto args = sent.message (message).ArgumentsBegin();
            for (int i = 0; i < index; ++i)
                ++args;
            return args->AsFloat();
        }

        int intArgument (std::size_t message, int index) const
        {
            auto args = sent.message (message).ArgumentsBegin();
            for (int i = 0; i < index; ++i)
                ++args;
            return args->AsInt32();
        }

        Cdelay& delay (int channel) { return *root.channels[channel]->delay; }
        Climiter& limiter (int channel) { return *root.channels[channel]->limiter; }
    };
}
