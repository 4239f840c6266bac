#include "RemoteWindowContent.h"

#include "Palette.h"
#include "RemoteBridge.h"

namespace
{
    void styleLabel (juce::Label& label, float size)
    {
        label.setFont (juce::Font (size, juce::Font::plain));
        label.setColour (juce::Label::textColourId, Palette::textGrey);
        label.setJustificationType (juce::Justification::topLeft);
    }

    juce::String phoneLine (const remote::PhoneInfo& phone)
    {
        juce::String line = juce::String (phone.address) + ": " + juce::String ((juce::int64) phone.commands)
                            + TRANS (" changes");
        const auto dropped = phone.refusedRate + phone.unreadable;
        if (dropped > 0)
            line << ", " << juce::String ((juce::int64) dropped) << TRANS (" dropped");
        return line;
    }
}

RemoteWindowContent::RemoteWindowContent (RemoteBridge& bridgeToShow)
    : bridge (bridgeToShow)
{
    setSize (contentWidth, contentHeight);

    onOff.setColour (juce::ToggleButton::textColourId, Palette::textGrey);
    onOff.setColour (juce::ToggleButton::tickColourId, Palette::amber);
    onOff.setComponentID ("remoteOnOff");
    onOff.onClick = [this]
    {
        if (onOff.getToggleState())
            bridge.start (bridge.getPort());
        else
            bridge.stop();
    };
    onOff.setBounds (12, 12, 300, 30);
    addAndMakeVisible (onOff);

    newCode.setColour (juce::TextButton::buttonColourId, Palette::plate);
    newCode.setColour (juce::TextButton::textColourOffId, Palette::amber);
    newCode.setComponentID ("newCode");
    newCode.setTooltip (TRANS ("Sends every phone away; they scan the new code to come back."));
    newCode.onClick = [this] { bridge.newCode(); };
    newCode.setBounds (468, 12, 120, 30);
    addAndMakeVisible (newCode);

    styleLabel (explanation, 15.0f);
    explanation.setText (TRANS ("Open this address on a phone or tablet on the same network, or scan the code:"),
                         juce::dontSendNotification);
    explanation.setBounds (12, 44, 576, 20);
    addAndMakeVisible (explanation);

    qr.setComponentID ("remoteQr");
    qr.setBounds (12, 70, 250, 250);
    addAndMakeVisible (qr);

    addresses.setComponentID ("remoteAddresses");
    addresses.setTooltip (TRANS ("One address per network of this computer"));
    addresses.onChange = [this] { showChosenAddress(); };
    addresses.setBounds (274, 70, 314, 28);
    addAndMakeVisible (addresses);

    chosenAddress.setMultiLine (true, true);
    chosenAddress.setReadOnly (true);
    chosenAddress.setCaretVisible (false);
    chosenAddress.setColour (juce::TextEditor::backgroundColourId, juce::Colours::black);
    chosenAddress.setColour (juce::TextEditor::outlineColourId, Palette::plate);
    chosenAddress.setColour (juce::TextEditor::textColourId, Palette::amber);
    chosenAddress.setComponentID ("remoteAddress");
    chosenAddress.setBounds (274, 104, 314, 52);
    addAndMakeVisible (chosenAddress);

    styleLabel (phonesLabel, 14.0f);
    phonesLabel.setComponentID ("remotePhones");
    phonesLabel.setBounds (274, 164, 314, 130);
    addAndMakeVisible (phonesLabel);

    styleLabel (problemLabel, 14.0f);
    problemLabel.setColour (juce::Label::textColourId, Palette::amber);
    problemLabel.setComponentID ("remoteProblem");
    problemLabel.setBounds (274, 296, 314, 28);
    addAndMakeVisible (problemLabel);

    bridge.addChangeListener (this);
    bridge.refreshUrls();
    refresh();
}

RemoteWindowContent::~RemoteWindowContent()
{
    bridge.removeChangeListener (this);
}

void RemoteWindowContent::paint (juce::Graphics& g)
{
    g.fillAll (juce::Colours::black);
}

void RemoteWindowContent::changeListenerCallback (juce::ChangeBroadcaster*)
{
    refresh();
}

void RemoteWindowContent::refresh()
{
    const bool on = bridge.isOn();
    onOff.setToggleState (on, juce::dontSendNotification);
    onOff.setButtonText (TRANS ("Remote on, port ") + juce::String (bridge.getPort()));
    newCode.setEnabled (on);

    // The address shown stays chosen while it is still there.
    const auto& urls = bridge.getUrls();
    const auto previous = addresses.getText();
    addresses.clear (juce::dontSendNotification);
    int chosen = 0;
    for (size_t i = 0; i < urls.size(); ++i)
    {
        const auto address = juce::String (urls[i]).upToFirstOccurrenceOf ("/#", false, false);
        addresses.addItem (address, (int) i + 1);
        if (address == previous)
            chosen = (int) i;
    }
    if (! urls.empty())
        addresses.setSelectedItemIndex (chosen, juce::dontSendNotification);
    addresses.setEnabled (on);
    showChosenAddress();

    const auto list = bridge.phones();
    juce::String phones = on ? TRANS ("Phones connected: ") + juce::String ((int) list.size())
                             : TRANS ("The remote is off.");
    for (const auto& phone : list)
        phones << "\n" << phoneLine (phone);
    phonesLabel.setText (phones, juce::dontSendNotification);
    problemLabel.setText (bridge.lastProblem(), juce::dontSendNotification);
}

void RemoteWindowContent::showChosenAddress()
{
    const auto& urls = bridge.getUrls();
    const int index = addresses.getSelectedItemIndex();
    const auto url = index >= 0 && index < (int) urls.size() ? juce::String (urls[(size_t) index]) : juce::String();
    chosenAddress.setText (url, false);
    qr.setText (url);
}
