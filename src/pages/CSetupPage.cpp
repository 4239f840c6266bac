#include "CSetupPage.h"

#include "Croot.h"
#include "Dialogs.h"
#include "Globals.h"
#include "LockCode.h"
#include "ModelTable.h"
#include "OscCom.h"
#include "PresetFile.h"
#include "presetDocument.h"

#include <arpa/inet.h>
#include <netdb.h>

namespace
{
    constexpr int timerIntervalMs = 10;

    const char* const broadcastTarget = "255.255.255.255";
    const char* const usbElementName = "USBdevice";
    const char* const usbAddressText = "USB device";

    constexpr Dialogs::Icon warningIcon = Dialogs::Icon::warning;

    /** True for a dotted IPv4 address of a host ("192.168.1.20"), or a host name that
        resolves to one.  0.x.x.x addresses are placeholders, never destinations. */
    bool isReachableAddress (const juce::String& text)
    {
        if (text.isEmpty() || text.length() > 253)
            return false;

        const auto host = text.toStdString();
        if (text.containsOnly ("0123456789."))
        {
            // Digits alone must be a full dotted address: the resolver would also take
            // "1234" or "10.1" as addresses, which is not what anyone types on purpose.
            in_addr parsed {};
            return inet_pton (AF_INET, host.c_str(), &parsed) == 1 && (ntohl (parsed.s_addr) >> 24) != 0;
        }

        if (! text.containsOnly ("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789.-"))
            return false;

        addrinfo hints {};
        hints.ai_family = AF_INET;
        hints.ai_socktype = SOCK_DGRAM;
        addrinfo* found = nullptr;
        const bool resolved = getaddrinfo (host.c_str(), nullptr, &hints, &found) == 0 && found != nullptr;
        if (found != nullptr)
            freeaddrinfo (found);
        return resolved;
    }

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
CSetupPage::CSetupPage()
    : juce::Component ("SetupPage")
{
    setOpaque (true);
    deviceList.addChildElement (makeRow (usbElementName, 0, ModelTable::noDevice, usbAddressText, "-"));
    rowCount = deviceList.getNumChildElements();

    buildConnectionArea();
    buildPresetAreas();
    setSize (pageWidth, pageHeight);
}

CSetupPage::~CSetupPage()
{
    stopTimer();
    deviceTable.setModel (nullptr);
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

    if (auto* hub = globals::hub)
        hub->searchDevices (broadcastTarget);

    searching = true;
    runAfter (searchWaitMs, [this] { searching = false; });
}

void CSetupPage::addFixedAddress()
{
    const auto target = ipEditor.getText().trim();
    if (! isReachableAddress (target))
    {
        if (auto* dialogs = globals::dialogs)
            dialogs->showMessage (warningIcon, TRANS ("Not an IP address"),
                                  TRANS ("Please enter an address like 192.168.1.20."), TRANS ("Ok"));
        return;
    }

    if (auto* hub = globals::hub)
        hub->searchDevices (target);
}

void CSetupPage::rowClicked (int row)
{
    if (row < 0 || row >= rowCount)
        return;

    if (row == activeRow || (row == 0 && ! usbDevicePresent()))
    {
        selectActiveRow();
        return;
    }

    // The connection is given up only once the user has chosen another device: "Cancel"
    // leaves everything as it was.
    auto* dialogs = globals::dialogs;
    const auto chosen = deviceList.getChildElement (row)->getTagName();
    const bool connect = dialogs != nullptr
                      && dialogs->askOkCancel (Dialogs::Icon::question, TRANS ("Select active Device"),
                                               TRANS ("Connect to device and lose current settings?"),
                                               TRANS ("Connect"), TRANS ("Cancel"));

    // Rows may have come or gone while the question was open: find the chosen one again.
    const int current = rowNamed (chosen);
    if (! connect || current < 0)
    {
        selectActiveRow();
        return;
    }

    disconnectDevice();
    selectDevice (current);
    connectDevice();
}

void CSetupPage::renameAmp()
{
    if (offline)
        return;

    const auto newName = ampNameEditor.getText();
    if (auto* hub = globals::hub)
        hub->sendAmpName (newName);

    // Read the name back once the amplifier has taken it.  What to refresh is decided now,
    // so a device chosen in the meantime is not the one asked.
    const bool usbRow = activeRow == 0;
    const auto address = deviceAddress;
    const int model = modelIndex;
    runAfter (renameWaitMs, [this, usbRow, address, model, newName]
    {
        if (usbRow)
        {
            if (usbDevicePresent())
                updateUsbEntry (model, newName);
        }
        else if (auto* hub = globals::hub)
        {
            hub->searchDevices (address);
        }
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

    if (auto* hub = globals::hub)
        hub->sendInt (address, code);
}

//==============================================================================
void CSetupPage::selectDevice (int row)
{
    if (row < 0 || row >= rowCount)
        return;

    activeRow = row;
    deviceTable.selectRow (row);

    deviceAddress = rowText (row, "IPorUSB");
    deviceName = rowText (row, "AMPNAME");

    if (auto* hub = globals::hub)
    {
        if (row > 0)
            hub->connectNetwork (deviceAddress);
        else if (hub->usbDevicePresent())
            hub->setConnectionKind (osc::ConnectionUsb);
    }

    modelIndex = ModelTable::indexOfModel (rowText (row, "AMPMODEL"));
    if (modelIndex < ModelTable::noDevice)
        showDeviceOnPanel (modelIndex);
}

void CSetupPage::connectDevice()
{
    if (! offline || activeRow < 0)
        return;

    connectButton.setToggleState (true, juce::dontSendNotification);

    if (auto* hub = globals::hub)
    {
        hub->goOnline();
        if (ModelTable::isZr (modelIndex))
            hub->sendQuery ("/siggen");
    }

    offline = false;
    ampNameEditor.setText (deviceName, false);
    deviceTable.repaint();
    showDeviceOnPanel (modelIndex);
}

void CSetupPage::disconnectDevice()
{
    if (! offline)
    {
        if (auto* hub = globals::hub)
            hub->goOffline();

        connectButton.setToggleState (false, juce::dontSendNotification);
        offline = true;
        deviceTable.repaint();
        showDeviceOnPanel (ModelTable::noDevice);
    }

    presetRows->clearAll();
}

void CSetupPage::forgetActiveDevice()
{
    if (activeRow == 0)
    {
        updateUsbEntry (ModelTable::noDevice, "-");
    }
    else if (activeRow > 0 && activeRow < rowCount)
    {
        deviceList.removeChildElement (deviceList.getChildElement (activeRow), true);
        rowCount = deviceList.getNumChildElements();
    }

    activeRow = -1;
    // No row is chosen any more; a selection left behind would point at another device.
    deviceTable.deselectAllRows();
    refreshTable();
    showDeviceOnPanel (ModelTable::noDevice);
}

void CSetupPage::addNetworkDevice (int model, const juce::String& name, const juce::String& address)
{
    // Row 0 is always the USB entry, whatever a network device calls itself.
    const int row = rowNamed (address);
    if (row > 0)
    {
        auto* existing = deviceList.getChildElement (row);
        const int id = existing->getIntAttribute ("ID");
        deviceList.replaceChildElement (existing, makeRow (address, id, model, address, name));
    }
    else
    {
        deviceList.addChildElement (makeRow (address, rowCount, model, address, name));
        rowCount = deviceList.getNumChildElements();
    }
    refreshTable();
}

void CSetupPage::updateUsbEntry (int model, const juce::String& name)
{
    deviceList.replaceChildElement (deviceList.getChildElement (0),
                                    makeRow (usbElementName, 0, model, usbAddressText, name));
    rowCount = deviceList.getNumChildElements();
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
void CSetupPage::selectSlot (int slot)
{
    if (slot < 1 || slot > SetupPresetRows::slotCount)
        return;

    presetRows->setSelected (slot, true);
    selectedSlot = slot;
}

void CSetupPage::deselectSlot()
{
    presetRows->setSelected (selectedSlot, false);
    selectedSlot = 0;
}

void CSetupPage::recallSlot()
{
    if (offline || selectedSlot == 0)
        return;

    if (auto* hub = globals::hub)
        hub->sendPresetCommand ("/preset/load", selectedSlot, 0, presetRows->nameOf (selectedSlot));
}

void CSetupPage::storeSlot()
{
    if (offline)
        return;

    if (selectedSlot < 2 || selectedSlot > SetupPresetRows::slotCount)
    {
        // Slot 1 holds the amplifier's initial data and is never overwritten.
        if (auto* dialogs = globals::dialogs)
            dialogs->showMessage (warningIcon, TRANS ("Save Preset to Amp..."), TRANS ("INIT_DATA is read-only!"),
                                  TRANS ("Ok"));
        return;
    }

    auto* hub = globals::hub;
    auto* root = globals::root;
    if (hub == nullptr || root == nullptr)
        return;

    hub->sendPresetCommand ("/preset/save", selectedSlot, root->ampmode->mode->getStep(), presetNameEditor.getText());
}

void CSetupPage::setSlot (int slot, int mode, const juce::String& name)
{
    presetRows->setSlot (slot, mode, name);
}

void CSetupPage::presetRecalled (const juce::String& name)
{
    presetNameEditor.setText (name, false);
    fileNameEditor.clear();
}

void CSetupPage::presetStored (int slot, int mode, const juce::String& name)
{
    setSlot (slot, mode, name);
    presetNameEditor.setText (name, false);
}

void CSetupPage::loadPresetFile()
{
    auto* dialogs = globals::dialogs;
    auto* document = globals::presets;
    if (dialogs == nullptr || document == nullptr)
        return;

    const auto file = dialogs->chooseFileToOpen (TRANS ("Please select the preset you want to load..."),
                                                 document->getLastDocumentOpened(), "*.kvt");
    if (file == juce::File())
        return;   // cancelled

    const auto result = document->loadFrom (file, false, false);
    if (result.failed())
        dialogs->showMessage (warningIcon, TRANS ("Failed to open file..."),
                              TRANS ("There was an error while trying to load the file: FLNM")
                                      .replace ("FLNM", "\n" + file.getFullPathName())
                                  + "\n\n" + result.getErrorMessage(),
                              TRANS ("Ok"));

    // Even after a failure the fields follow and the tree's values go out: what the
    // amplifier gets is then what the pages show.
    fileNameEditor.setText (file.getFileName(), false);
    presetNameEditor.setText (document->getDocumentTitle(), false);
    deselectSlot();

    if (! offline)
        sendWholeTree();
}

void CSetupPage::savePresetFile()
{
    auto* dialogs = globals::dialogs;
    auto* document = globals::presets;
    if (dialogs == nullptr || document == nullptr)
        return;

    auto folder = document->getLastDocumentOpened();
    if (folder == juce::File())
        folder = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    if (! folder.isDirectory())
        folder = folder.getParentDirectory();

    auto name = fileNameEditor.getText();
    if (name.isEmpty())
        name = presetNameEditor.getText();

    // A preset name may hold characters a file name cannot ("A/B" would point elsewhere).
    const juce::File proposal (folder.getFullPathName() + "/" + juce::File::createLegalFileName (name));
    const auto chosen = dialogs->chooseFileToSave (TRANS ("Save as preset file..."), proposal, "*.kvt");
    if (chosen == juce::File())
        return;   // cancelled

    // The file written always ends in ".kvt": the chooser warned about the file it showed,
    // so another file that would be replaced needs its own question.
    const auto target = PresetFile::resolve (chosen);
    if (target != chosen && target.exists()
        && ! dialogs->askOkCancel (warningIcon, TRANS ("File already exists"),
                                   TRANS ("There's already a file called: FLNM").replace ("FLNM", target.getFullPathName())
                                       + "\n\n" + TRANS ("Are you sure you want to overwrite it?"),
                                   TRANS ("Overwrite"), TRANS ("Cancel")))
        return;

    fileNameEditor.setText (target.getFileName(), false);
    document->presetTitle = presetNameEditor.getText();

    if (document->saveAs (target, false, false, false, false) == juce::FileBasedDocument::savedOk)
        document->setLastDocumentOpened (target);
    else
        dialogs->showMessage (warningIcon, TRANS ("Error writing to file..."),
                              TRANS ("An error occurred while trying to save \"DCNM\" to the file: FLNM")
                                  .replace ("DCNM", document->getDocumentTitle())
                                  .replace ("FLNM", "\n" + target.getFullPathName()),
                              TRANS ("Ok"));

    deselectSlot();
}

void CSetupPage::sendWholeTree()
{
    if (auto* root = globals::root)
        forEachLeaf (root, [] (Cnode* block) { block->send (block->address); });
}

//==============================================================================
int CSetupPage::getNumRows()
{
    return rowCount;
}

void CSetupPage::cellClicked (int row, int, const juce::MouseEvent& event)
{
    if (! event.mouseWasDraggedSinceMouseDown())
        rowClicked (row);
}

void CSetupPage::sortOrderChanged (int, bool)
{
    refreshTable();
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

void CSetupPage::textEditorReturnKeyPressed (juce::TextEditor& editor)
{
    if (&editor == &ipEditor)
        addFixedAddress();
    else if (&editor == &ampNameEditor)
        renameAmp();

    editor.selectAll();
}

void CSetupPage::textEditorFocusLost (juce::TextEditor& editor)
{
    editor.setCaretPosition (0);
}

//==============================================================================
juce::XmlElement* CSetupPage::makeRow (const juce::String& elementName, int id, int model,
                                       const juce::String& address, const juce::String& name) const
{
    // Rows are named by dotted addresses, which XML would not allow as tag names; the list
    // is never written out, so the name is taken as it is.
    auto* row = new juce::XmlElement (elementName.getCharPointer(), elementName.getCharPointer().findTerminatingNull());
    row->setAttribute ("ID", id);
    row->setAttribute ("AMPMODEL", ModelTable::modelName (model));
    row->setAttribute ("IPorUSB", address);
    row->setAttribute ("AMPNAME", name);
    return row;
}

int CSetupPage::rowNamed (const juce::String& elementName) const
{
    for (int row = 0; row < rowCount; ++row)
        if (deviceList.getChildElement (row)->getTagName() == elementName)
            return row;
    return -1;
}

juce::String CSetupPage::rowText (int row, const char* attribute) const
{
    if (auto* element = deviceList.getChildElement (row))
        return element->getStringAttribute (attribute);
    return {};
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

bool CSetupPage::usbDevicePresent() const
{
    auto* hub = globals::hub;
    return hub != nullptr && hub->usbDevicePresent();
}

//==============================================================================
void CSetupPage::runAfter (int delayMs, std::function<void()> step)
{
    delayedSteps.push_back ({ juce::Time::getMillisecondCounter() + (juce::uint32) delayMs, std::move (step) });
    if (! isTimerRunning())
        startTimer (timerIntervalMs);
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

    if (delayedSteps.empty())
        stopTimer();
}
