#pragma once

// The Configuration page under test, built as the panel builds it: a tree, scripted dialogs,
// a stand-in for the panel and a recorder of everything the page sends.

#include "CConfigPage.h"
#include "Cdelay.h"
#include "Cioampmode.h"
#include "Ciospeaker.h"
#include "Climiter.h"
#include "Croot.h"
#include "FakeDialogs.h"
#include "Globals.h"
#include "MessageLoop.h"
#include "PacketRecorder.h"
#include "RecordingPanelLink.h"

#include <gtest/gtest.h>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace configtest
{
    class ConfigPageTest : public ::testing::Test
    {
    protected:
        ConfigPageTest()
        {
            assignAddresses (root);
            page = std::make_unique<CConfigPage> (root, dialogs, panel);
            page->setDeviceModel (ModelTable::noDevice);   // as the panel does
        }

        /** A child widget of the page by component ID (fails the test when missing). */
        template <typename Widget>
        Widget& widget (const juce::String& id)
        {
            auto* found = dynamic_cast<Widget*> (page->findChildWithID (id));
            if (found == nullptr)
                throw std::runtime_error ("no widget " + id.toStdString());
            return *found;
        }

        /** A click on a button, as the mouse makes it (radio groups and all). */
        void click (const juce::String& id)
        {
            widget<juce::Button> (id).triggerClick();
            testloop::run (10);
        }

        /** Picks list item `itemId` as the user does: the list reports the change. */
        void choose (const juce::String& listId, int itemId)
        {
            widget<juce::ComboBox> (listId).setSelectedId (itemId, juce::sendNotificationSync);
        }

        /** Types into an entry and presses Return. */
        void type (const juce::String& entryId, const juce::String& text)
        {
            auto& entry = widget<juce::TextEditor> (entryId);
            entry.setText (text, true);
            entry.keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
            testloop::run (10);   // the editor reports Return through a posted message
        }

        juce::String text (const juce::String& entryId) { return widget<juce::TextEditor> (entryId).getText(); }
        double knob (const juce::String& id) { return widget<juce::Slider> (id).getValue(); }
        void turn (const juce::String& id, double value)
        {
            widget<juce::Slider> (id).setValue (value, juce::sendNotificationSync);
        }

        /** The mode the amplifier reports, decoded and notified as the hub does it. */
        void amplifierReports (const char* modeLabel)
        {
            root.ampmode->mode->fromText (modeLabel);
            root.ampmode->sendChangeMessage();
            testloop::run (10);
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

        PacketRecorder sent;
        ScopedGlobal<BlockActivity> flags { globals::blockActive, BlockActivity() };
        Croot root;
        FakeDialogs dialogs;
        RecordingPanelLink panel;
        std::unique_ptr<CConfigPage> page;
    };
}
