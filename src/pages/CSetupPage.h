#pragma once

#include "ModelTable.h"
#include "PageLookAndFeel.h"
#include "RowClickDetector.h"
#include "SetupDeviceList.h"
#include "SetupOperations.h"
#include "SetupPresetRows.h"
#include <juce_gui_basics/juce_gui_basics.h>
#include <deque>
#include <functional>
#include <memory>

class Croot;
class Dialogs;
class HubControl;
class PanelLink;
class presetDocument;

/** The Setup page, the fifth tab: finding amplifiers, choosing, connecting and
    disconnecting one, renaming and locking it, and presets on the amplifier ("Amp Presets")
    and on the computer ("PC Presets").

    The device list (SetupDeviceList) is shown in the table's four columns.  The page is the
    hub's partner: the hub calls the osc::SetupOperations below when device answers arrive,
    and the page drives the hub's connection sequences through HubControl.  It tells the
    main panel the model in use through PanelLink, asks and tells the user through Dialogs
    (every answer arrives later, and the page checks that it still applies), and loads and
    saves preset files through the preset document.  Built as every page is (docs/pages.md).

    Message thread only.  Widgets carry component IDs (see CSetupPageLayout.cpp, where the
    layout is) for tests and tools.
*/
class CSetupPage : public juce::Component,
                   public juce::TableListBoxModel,
                   public juce::Button::Listener,
                   public osc::SetupOperations,
                   private juce::Timer
{
public:
    static constexpr int pageWidth = 720;
    static constexpr int pageHeight = 470;
    /** After a search, the next one waits this long (answers arrive meanwhile). */
    static constexpr int searchWaitMs = 500;
    /** After a rename, the name is read back after this long. */
    static constexpr int renameWaitMs = 100;
    /** Characters of a lock code. */
    static constexpr int lockCodeLength = 4;

    /** Builds every widget at its place; the device list holds the USB row only, no device
        is active, the page is offline and no preset slot is selected.  Everything passed
        in must outlive the page. */
    CSetupPage (Croot& root, presetDocument& presets, Dialogs& dialogs, PanelLink& panel, HubControl& hub);
    ~CSetupPage() override;

    void paint (juce::Graphics& g) override;

    //==============================================================================
    // User actions (also reachable directly, for the panel and for tests)

    /** Search: "/info" to "255.255.255.255" and a USB re-announce, then a wait of
        searchWaitMs while the answers arrive (as addNetworkDevice and updateUsbEntry calls).
        A search asked for during the wait follows when it is over. */
    void startSearch();

    /** Add fixed IP (or Return in the IP field): the typed host is resolved once, here,
        and "/info" goes to its dotted address only.  Text that is neither a dotted IPv4
        address nor a host name that resolves (nor a 0.x.x.x placeholder) gets a message
        box ("Not an IP address") and nothing is sent. */
    void addFixedAddress();

    /** A click on table row `row`: unless it is the active row (or the USB row without a
        USB device) asks "Connect to device and lose current settings?"; "Connect" drops the
        current connection and connects the row's device, if its row is still there;
        "Cancel" changes nothing. */
    void rowClicked (int row);

    /** Sends "/ampname" with the amp name field's text, then, renameWaitMs later, reads the
        name back: the USB row is rewritten, or the network device is asked for "/info".
        Nothing while offline. */
    void renameAmp();

    /** Sends `address` ("/lock" or "/unlock") with the lock code field's four characters
        packed into one int (first character in the lowest byte).  Nothing while offline,
        and nothing unless the field holds exactly four 8-bit characters. */
    void sendLockCommand (const char* address);

    /** Selects preset slot `slot` (1..20): its toggle on, the others off; nothing is sent. */
    void selectSlot (int slot);

    /** Asks the amplifier to recall the selected slot.  Nothing while offline or with no slot. */
    void recallSlot();

    /** Asks the amplifier to store its settings in the selected slot (2..20) under the preset
        name field's text.  Slot 1 or none: the "INIT_DATA is read-only!" message, nothing
        sent.  Nothing while offline. */
    void storeSlot();

    /** Asks for a preset file; once chosen, loads it into the tree and, while connected,
        sends all of the tree's blocks to the amplifier. */
    void loadPresetFile();

    /** What Load does once `file` was chosen: loads it into the tree (a failure gets the
        "Failed to open file..." message), shows its name and the preset's, deselects the
        slot and, while connected, sends all of the tree's blocks.  File() (a cancelled
        choice) does nothing.  Files from outside the page (command line, drops) come here. */
    void loadChosenFile (const juce::File& file);

    /** Asks for a file to save to, proposing one named after the name fields; once chosen
        (and, for another file the ".kvt" ending would replace, confirmed) writes the tree
        to it. */
    void savePresetFile();

    //==============================================================================
    // osc::SetupOperations: called by the hub

    void disconnectDevice() override;
    void forgetActiveDevice() override;
    void usbDeviceRemoved() override;
    /** Shows or hides the plain-words message over the device list: "Port 3456 is in use by
        another program: amplifiers on the network cannot answer." */
    void showPortInUse (bool inUse, int port) override;
    void addNetworkDevice (int modelIndex, const juce::String& name, const juce::String& address) override;
    void updateUsbEntry (int modelIndex, const juce::String& name) override;
    void selectDevice (int row) override;
    void connectDevice() override;
    void showAmpName (const juce::String& name) override;
    void showLockState (int code) override;
    void setSlot (int slot, int mode, const juce::String& name) override;
    void presetRecalled (const juce::String& name) override;
    void presetStored (int slot, int mode, const juce::String& name) override;

    //==============================================================================
    // The page's state

    bool isOffline() const noexcept { return offline; }
    int getActiveRow() const noexcept { return activeRow; }
    int getModelIndex() const noexcept { return modelIndex; }
    int getRowCount() const { return devices.size(); }
    int getSelectedSlot() const noexcept { return selectedSlot; }
    const juce::String& getDeviceName() const noexcept { return deviceName; }
    const juce::String& getDeviceAddress() const noexcept { return deviceAddress; }
    const juce::XmlElement& getDeviceList() const noexcept { return devices.xml(); }
    const SetupPresetRows& getPresetRows() const noexcept { return *presetRows; }

    //==============================================================================
    // juce::TableListBoxModel

    int getNumRows() override;
    void paintRowBackground (juce::Graphics& g, int row, int width, int height, bool rowIsSelected) override;
    void paintCell (juce::Graphics& g, int row, int columnId, int width, int height, bool rowIsSelected) override;
    void sortOrderChanged (int newSortColumnId, bool isForwards) override;
    /** The widest text of the column over all rows (at least 32 pixels), plus 8. */
    int getColumnAutoSizeWidth (int columnId) override;

    //==============================================================================
    // Listeners

    void buttonClicked (juce::Button* button) override;
    /** Return: the field's action (IP field: addFixedAddress, amp name: renameAmp), then
        the whole text is selected. */
    void entryReturnPressed (EntryField& entry);
    /** The entry closes showing the start of its text; nothing else happens. */
    void entryLeft (EntryField& entry);

private:
    Croot& root;
    presetDocument& presets;
    Dialogs& dialogs;
    PanelLink& panel;
    HubControl& hub;
    juce::SharedResourcePointer<PageLookAndFeel> look;

    // Page state, in the order of the page's description.
    juce::TableListBox deviceTable;
    SetupDeviceList devices;
    bool offline = true;
    int activeRow = -1;
    int modelIndex = ModelTable::noDevice;
    juce::String deviceName;
    juce::String deviceAddress;
    int selectedSlot = 0;

    // Work that waits without blocking the message thread, run in the order queued.
    struct DelayedStep
    {
        juce::uint32 dueMs;
        std::function<void()> run;
    };
    std::deque<DelayedStep> delayedSteps;
    bool searching = false;

    juce::GroupComponent connectionGroup { "ampConnectionGroup", "Amp Connection" };
    juce::TextButton searchButton { "Search" };
    juce::TextButton addIpButton { "Add fixed IP" };
    EntryField ipEditor;
    juce::Label ipLabel { {}, "IP-Address" };
    juce::Label selectLabel { {}, "Select Amp" };
    juce::Label portMessage;
    juce::TextButton connectButton { "Connect" };
    EntryField ampNameEditor;
    juce::TextButton renameButton { "Rename Amp " };
    juce::Label lockLabel { {}, "Lock code" };
    EntryField lockCodeEditor;
    juce::TextButton unlockButton { "Unlock" };
    juce::TextButton lockButton { "Lock" };

    juce::GroupComponent pcPresetsGroup { "pcPresetsGroup", "PC Presets" };
    juce::TextButton loadButton { "Load" };
    juce::TextButton saveButton { "Save" };
    EntryField fileNameEditor;
    juce::Label fileNameLabel { {}, "File Name" };

    juce::GroupComponent ampPresetsGroup { "ampPresetsGroup", "Amp Presets" };
    juce::TextButton recallButton { "Recall" };
    juce::TextButton storeButton { "Store" };
    EntryField presetNameEditor;
    juce::Label presetNameLabel { {}, "Preset Name" };

    std::unique_ptr<SetupPresetRows> presetRows;
    RowClickDetector rowClicks { deviceTable };

    // Layout (CSetupPageLayout.cpp)
    void buildConnectionArea();
    void buildPresetAreas();
    void placeButton (juce::TextButton& button, const juce::String& id, juce::Rectangle<int> bounds);
    void placeEditor (EntryField& editor, const juce::String& id, juce::Rectangle<int> bounds, int maxLength);
    static juce::Font cellFont();

    // Devices
    void connectChosenDevice (const juce::String& address, bool connect);
    void refreshTable();
    void selectActiveRow();
    void selectOnlyActiveRow();
    void showNoDevice();

    // Presets (CSetupPagePresets.cpp)
    void saveToChosenFile (const juce::File& chosen);
    void writePresetFile (const juce::File& target);
    void presetFileWritten (const juce::File& target, bool written);
    void deselectSlot();
    void sendWholeTree();

    void runAfter (int delayMs, std::function<void()> step);
    void timerCallback() override;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (CSetupPage)
};
