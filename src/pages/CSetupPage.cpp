// The Setup page's behaviour in the "Amp Connection" area, the hub's calls and the
// listeners.  The layout is in CSetupPageLayout.cpp, the preset areas in CSetupPagePresets.cpp.

#include "CSetupPage.h"

#include "Dialogs.h"
#include "HostAddress.h"
#include "HubControl.h"
#include "LockCode.h"
#include "PanelLink.h"

namespace
{
    const char* const broadcastTarget = "255.255.255.255";

    /** The four characters of a packed lock code, least significant byte first, as text. */
    juce::String lockCodeText (int code)
    {
        juce::String text;
        for (const char c : osc::unpackLockCode ((std::int32_t) code))
            text += juce::String::charToString ((juce::juce_wchar) (std::uint8_t) c);
        return text;
    }

    /** The 8-bit form of a lock code: one byte per character.  False when a character has
        no 8-bit form (it could never be shown back as it was typed). */
    bool lockCodeBytes (const juce::String& text, std::string& bytes)
    {
        bytes.clear();
        for (auto p = text.getCharPointer(); ! p.isEmpty();)
        {
            const auto c = p.getAndAdvance();
            if (c < 1 || c > 255)
                return false;
            bytes += (char) (std::uint8_t) c;
        }
        return true;
    }
}

//==============================================================================
CSetupPage::CSetupPage (Croot& rootToUse, presetDocument& presetsToUse, Dialogs& dialogsToUse, PanelLink& panelToUse,
                        HubControl& hubToUse)
    : juce::Component ("SetupPage"),
      root (rootToUse),
      presets (presetsToUse),
      dialogs (dialogsToUse),
      panel (panelToUse),
      hub (hubToUse)
{
    // The look first: the widgets take their colours from it as they are built.
    setLookAndFeel (&look.get());
    setOpaque (true);

    buildConnectionArea();
    buildPresetAreas();
    setSize (pageWidth, pageHeight);

    rowClicks.onClick = [this] (int row) { rowClicked (row); };
    rowClicks.onOtherRelease = [this] { selectOnlyActiveRow(); };
}

CSetupPage::~CSetupPage()
{
    stopTimer();
    deviceTable.setModel (nullptr);
    setLookAndFeel (nullptr);
}

//==============================================================================
void CSetupPage::startSearch()
{
    // A search asked for during the wait runs once the wait is over, as it would after a
    // pause that blocked the message thread.
    if (searching)
    {
        runAfter (0, [this] { startSearch(); });
        return;
    }

    hub.searchDevices (broadcastTarget);

    searching = true;
    runAfter (searchWaitMs, [this] { searching = false; });
}

void CSetupPage::addFixedAddress()
{
    // Resolved here, once: the hub is only ever handed a dotted address.
    const auto address = hostaddress::resolve (ipEditor.getText().trim().toStdString());
    if (! address.has_value() || hostaddress::isPlaceholder (*address))
    {
        dialogs.showMessage (Dialogs::Icon::warning, TRANS ("Not an IP address"),
                             TRANS ("Please enter an address like 192.168.1.20."), TRANS ("Ok"));
        return;
    }

    hub.searchDevices (hostaddress::dotted (*address));
}

void CSetupPage::rowClicked (int row)
{
    if (row < 0 || row >= devices.size())
        return;

    if (row == activeRow || (row == 0 && ! hub.usbDevicePresent()))
    {
        selectActiveRow();
        return;
    }

    // Rows may come or go while the question is open: the chosen one is found again by its
    // address when the answer arrives.
    const auto chosen = devices.text (row, "IPorUSB");
    dialogs.askOkCancel (Dialogs::Icon::question, TRANS ("Select active Device"),
                         TRANS ("Connect to device and lose current settings?"), TRANS ("Connect"), TRANS ("Cancel"),
                         [page = juce::Component::SafePointer<CSetupPage> (this), chosen] (bool connect)
                         {
                             if (page != nullptr)
                                 page->connectChosenDevice (chosen, connect);
                         });
}

void CSetupPage::connectChosenDevice (const juce::String& address, bool connect)
{
    // The connection is given up only once the user has chosen another device that is
    // still there: "Cancel" leaves everything as it was.
    const int row = devices.rowOf (address);
    const bool gone = row < 0 || (row == 0 && ! hub.usbDevicePresent());
    const bool alreadyConnected = row == activeRow && ! offline;
    if (! connect || gone || alreadyConnected)
    {
        selectActiveRow();
        return;
    }

    disconnectDevice();
    selectDevice (row);
    connectDevice();
}

void CSetupPage::renameAmp()
{
    if (offline)
        return;

    const auto newName = ampNameEditor.getText();
    hub.sendAmpName (newName);

    // Read the name back once the amplifier has taken it.  What to refresh is decided now,
    // so a device chosen in the meantime is not the one asked.
    const bool usbRow = activeRow == 0;
    const auto address = deviceAddress;
    const int model = modelIndex;
    runAfter (renameWaitMs,
              [this, usbRow, address, model, newName]
              {
                  if (! usbRow)
                      hub.searchDevices (address);
                  else if (hub.usbDevicePresent())
                      updateUsbEntry (model, newName);
              });
}

void CSetupPage::sendLockCommand (const char* address)
{
    if (offline)
        return;

    const auto text = lockCodeEditor.getText();
    std::string bytes;
    std::int32_t code = 0;
    if (text.length() != lockCodeLength || ! lockCodeBytes (text, bytes) || ! osc::packLockCode (bytes, code))
        return;

    hub.sendInt (address, code);
}

//==============================================================================
void CSetupPage::selectDevice (int row)
{
    if (row < 0 || row >= devices.size())
        return;

    activeRow = row;
    deviceTable.selectRow (row);

    deviceAddress = devices.text (row, "IPorUSB");
    deviceName = devices.text (row, "AMPNAME");

    if (row > 0)
        hub.connectNetwork (deviceAddress);
    else if (hub.usbDevicePresent())
        hub.useUsbConnection();

    modelIndex = ModelTable::indexOfModel (devices.text (row, "AMPMODEL"));
    if (modelIndex != ModelTable::noDevice)
        panel.setDeviceLabel (modelIndex);
}

void CSetupPage::connectDevice()
{
    if (! offline || activeRow < 0)
        return;

    connectButton.setToggleState (true, juce::dontSendNotification);

    hub.goOnline();
    if (ModelTable::isZr (modelIndex))
    {
        hub.sendQuery ("/siggen");
        // The speaker setting is no block of the tree, so the tree walk does not ask for it;
        // without its answer the Configuration page would show no load, and a confirmed mode
        // change would send that empty load over the amplifier's own.
        hub.sendQuery ("/speaker");
    }

    offline = false;
    ampNameEditor.setText (deviceName, false);
    deviceTable.repaint();
    panel.setDeviceLabel (modelIndex);
}

void CSetupPage::disconnectDevice()
{
    if (! offline)
    {
        hub.goOffline();

        connectButton.setToggleState (false, juce::dontSendNotification);
        offline = true;
        deviceTable.repaint();
        panel.setDeviceLabel (ModelTable::noDevice);
    }

    presetRows->clearAll();
}

void CSetupPage::forgetActiveDevice()
{
    if (activeRow == 0)
        updateUsbEntry (ModelTable::noDevice, "-");
    else
        devices.removeNetworkRow (activeRow);

    showNoDevice();
}

void CSetupPage::usbDeviceRemoved()
{
    // A USB connection in use is the hub's to end (it then calls forgetActiveDevice).
    if (activeRow == 0 && ! offline)
        return;

    updateUsbEntry (ModelTable::noDevice, "-");
    if (activeRow == 0)
        showNoDevice();
}

void CSetupPage::showPortInUse (bool inUse, int port)
{
    portMessage.setText (TRANS ("Port 3456 is in use by another program: amplifiers on the network cannot answer.")
                             .replace ("3456", juce::String (port)),
                         juce::dontSendNotification);
    portMessage.setVisible (inUse);
}

void CSetupPage::showNoDevice()
{
    activeRow = -1;
    // No row is chosen any more; a selection left behind would point at another device.
    deviceTable.deselectAllRows();
    refreshTable();
    panel.setDeviceLabel (ModelTable::noDevice);
}

void CSetupPage::addNetworkDevice (int model, const juce::String& name, const juce::String& address)
{
    const int removed = devices.addNetworkDevice (model, name, address, activeRow);
    if (removed >= 0 && removed < activeRow)
    {
        // The active device moved up a row with the rows after the one pushed out.
        --activeRow;
        deviceTable.selectRow (activeRow);
    }
    refreshTable();
}

void CSetupPage::updateUsbEntry (int model, const juce::String& name)
{
    devices.setUsbDevice (model, name);
    refreshTable();
}

void CSetupPage::showAmpName (const juce::String& name)
{
    if (! offline)
        ampNameEditor.setText (name, false);
}

void CSetupPage::showLockState (int code)
{
    if (code != 0)
    {
        lockCodeEditor.setText (lockCodeText (code), false);
        lockButton.setToggleState (true, juce::dontSendNotification);
    }
    else
    {
        lockCodeEditor.clear();
        unlockButton.setToggleState (true, juce::dontSendNotification);
    }
}

//==============================================================================
int CSetupPage::getNumRows()
{
    return devices.size();
}

void CSetupPage::sortOrderChanged (int, bool)
{
    refreshTable();
}

void CSetupPage::refreshTable()
{
    deviceTable.updateContent();
    deviceTable.repaint();
}

void CSetupPage::selectActiveRow()
{
    if (activeRow >= 0)
        deviceTable.selectRow (activeRow);
}

void CSetupPage::selectOnlyActiveRow()
{
    // A press the table took for a choice but that was no click leaves no choice behind.
    if (activeRow >= 0)
        deviceTable.selectRow (activeRow);
    else
        deviceTable.deselectAllRows();
}

//==============================================================================
void CSetupPage::buttonClicked (juce::Button* button)
{
    if (button == &searchButton)
        startSearch();
    else if (button == &addIpButton)
        addFixedAddress();
    else if (button == &connectButton && offline)
        connectDevice();
    else if (button == &connectButton)
        disconnectDevice();
    else if (button == &renameButton)
        renameAmp();
    else if (button == &lockButton)
        sendLockCommand ("/lock");
    else if (button == &unlockButton)
        sendLockCommand ("/unlock");
    else if (button == &recallButton)
        recallSlot();
    else if (button == &storeButton)
        storeSlot();
    else if (button == &loadButton)
        loadPresetFile();
    else if (button == &saveButton)
        savePresetFile();
    else if (const int slot = presetRows->slotOf (button); slot > 0)
        selectSlot (slot);
}

void CSetupPage::entryReturnPressed (EntryField& editor)
{
    if (&editor == &ipEditor)
        addFixedAddress();
    else if (&editor == &ampNameEditor)
        renameAmp();

    editor.selectAll();
}

void CSetupPage::entryLeft (EntryField& editor)
{
    editor.setCaretPosition (0);
}

//==============================================================================
void CSetupPage::runAfter (int delayMs, std::function<void()> step)
{
    delayedSteps.push_back ({ juce::Time::getMillisecondCounter() + (juce::uint32) delayMs, std::move (step) });
    if (! isTimerRunning())
        startTimer (juce::jmax (1, delayMs));
}

void CSetupPage::timerCallback()
{
    // Steps run in the order queued, each no earlier than its time.
    const auto now = juce::Time::getMillisecondCounter();
    while (! delayedSteps.empty() && (juce::int32) (now - delayedSteps.front().dueMs) >= 0)
    {
        auto step = std::move (delayedSteps.front().run);
        delayedSteps.pop_front();
        step();
    }

    // The timer wakes only when the next step is due, and not at all with none left.
    if (delayedSteps.empty())
        stopTimer();
    else
        startTimer (
            juce::jmax (1, (int) (juce::int32) (delayedSteps.front().dueMs - juce::Time::getMillisecondCounter())));
}
