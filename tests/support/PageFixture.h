#pragma once

// A page under test, built as the panel builds it but without a hub, and the words the page
// tests use on its widgets: look one up by component ID, read the text it shows, click it,
// type into it, and let the message loop deliver what that posted.

#include "EntryField.h"
#include "FakeDialogs.h"
#include "FreshPageState.h"
#include "MessageLoop.h"
#include "PacketRecorder.h"
#include "RecordingPanelLink.h"
#include "TestModel.h"

#include <gtest/gtest.h>
#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>
#include <stdexcept>

namespace pagetest
{
    /** The child of `parent` with component ID `id`, of the class the test expects; throws,
        failing the test, when there is none. */
    template <typename Widget>
    Widget& widgetIn (juce::Component& parent, const juce::String& id)
    {
        auto* found = dynamic_cast<Widget*> (parent.findChildWithID (id));
        if (found == nullptr)
            throw std::runtime_error ("no widget " + id.toStdString());
        return *found;
    }

    /** The text a widget shows: an entry's or a label's text, a list's chosen item, a
        button's caption, a group's title, a knob's value as its box writes it. */
    inline juce::String shownText (juce::Component& widget)
    {
        if (auto* entry = dynamic_cast<EntryField*> (&widget))
            return entry->getText();
        if (auto* label = dynamic_cast<juce::Label*> (&widget))
            return label->getText();
        if (auto* list = dynamic_cast<juce::ComboBox*> (&widget))
            return list->getText();
        if (auto* button = dynamic_cast<juce::Button*> (&widget))
            return button->getButtonText();
        if (auto* group = dynamic_cast<juce::GroupComponent*> (&widget))
            return group->getText();
        if (auto* knob = dynamic_cast<juce::Slider*> (&widget))
            return knob->getTextFromValue (knob->getValue());
        throw std::runtime_error ("no text shown by " + widget.getComponentID().toStdString());
    }

    /** Opens the entry's editor, as a click on the entry does. */
    inline juce::TextEditor& openEditor (EntryField& entry)
    {
        entry.showEditor();
        if (auto* editor = entry.getCurrentTextEditor())
            return *editor;
        throw std::runtime_error ("entry " + entry.getComponentID().toStdString() + " does not open");
    }

    /** Types `text` into an entry and presses Return, as the user does; the editor reports
        Return through a posted message, which is delivered before this returns. */
    inline void typeAndReturn (EntryField& entry, const juce::String& text)
    {
        auto& editor = openEditor (entry);
        editor.setText (text, true);
        editor.keyPressed (juce::KeyPress (juce::KeyPress::returnKey));
        testloop::drain();
    }

    /** Types `text` into an entry, then the keyboard focus goes elsewhere, as a click on
        another widget takes it; the editor reports it through a posted message and closes
        on another, both delivered before this returns. */
    inline void typeAndLeave (EntryField& entry, const juce::String& text)
    {
        auto& editor = openEditor (entry);
        editor.setText (text, true);
        static_cast<juce::Component&> (editor).focusLost (juce::Component::focusChangedByMouseClick);
        testloop::drain();
    }
}

/** The base of a page's test fixture: what the panel hands a page (the model, with its tree
    published as the program's, scripted dialogs, a stand-in for the panel), a recorder that
    catches every message the page sends, and the pages' shared state fresh for each test.
    The fixture builds `page` from these in its constructor; the page goes in TearDown(),
    before anything of the fixture's own (a fixture that overrides TearDown() calls this one
    last). */
template <typename Page>
class PageFixture : public ::testing::Test
{
protected:
    void TearDown() override { page.reset(); }

    /** The page's child widget with component ID `id` (fails the test when missing). */
    template <typename Widget>
    Widget& widget (const juce::String& id)
    {
        return pagetest::widgetIn<Widget> (*page, id);
    }

    /** The text the page's widget `id` shows (pagetest::shownText). */
    juce::String text (const juce::String& id) { return pagetest::shownText (widget<juce::Component> (id)); }

    /** A click on a button, as the mouse makes it (radio groups and all). */
    void click (const juce::String& id)
    {
        widget<juce::Button> (id).triggerClick();
        drainMessages();
    }

    /** Picks list item `itemId` as the user does: the list reports the change at once. */
    void choose (const juce::String& listId, int itemId)
    {
        widget<juce::ComboBox> (listId).setSelectedId (itemId, juce::sendNotificationSync);
    }

    /** Turns a knob to `value` as a drag does: the knob reports the change at once. */
    void turn (const juce::String& id, double value)
    {
        widget<juce::Slider> (id).setValue (value, juce::sendNotificationSync);
    }

    void typeAndReturn (const juce::String& entryId, const juce::String& typed)
    {
        pagetest::typeAndReturn (widget<EntryField> (entryId), typed);
    }
    static void typeAndReturn (EntryField& entry, const juce::String& typed) { pagetest::typeAndReturn (entry, typed); }

    /** Handles every message waiting in the loop (clicks, change messages, posts). */
    static void drainMessages() { testloop::drain(); }

    FreshPageState fresh;
    PacketRecorder sent;
    TestModel model { TestModel::publishRoot };
    Croot& root = model.root;
    FakeDialogs dialogs;
    RecordingPanelLink panel;
    std::unique_ptr<Page> page;
};
