#pragma once

#include "QrCodeView.h"

#include <juce_gui_basics/juce_gui_basics.h>

class RemoteBridge;

/** What the remote window shows: the switch, the addresses to open with a QR code of the
    one chosen, the phones connected, and "New code", which sends every phone away with a
    new token.  It follows the bridge's changes.  Message thread only.
*/
class RemoteWindowContent : public juce::Component, private juce::ChangeListener
{
public:
    static constexpr int contentWidth = 600;
    static constexpr int contentHeight = 330;

    /** The bridge must outlive the content. */
    explicit RemoteWindowContent (RemoteBridge& bridge);
    ~RemoteWindowContent() override;

    void paint (juce::Graphics& g) override;

    /** Shows the bridge's state now (also called on each of its changes). */
    void refresh();

    // The parts, for tests.
    juce::ToggleButton& onOffSwitch() noexcept { return onOff; }
    juce::TextButton& newCodeButton() noexcept { return newCode; }
    juce::ComboBox& addressList() noexcept { return addresses; }
    const QrCodeView& qrCode() const noexcept { return qr; }
    juce::String phonesText() const { return phonesLabel.getText(); }
    juce::String problemText() const { return problemLabel.getText(); }

private:
    void changeListenerCallback (juce::ChangeBroadcaster*) override;
    void showChosenAddress();

    RemoteBridge& bridge;
    juce::ToggleButton onOff;
    juce::TextButton newCode { "New code" };
    juce::Label explanation;
    juce::ComboBox addresses { "addresses" };
    juce::TextEditor chosenAddress;
    QrCodeView qr;
    juce::Label phonesLabel;
    juce::Label problemLabel;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (RemoteWindowContent)
};
