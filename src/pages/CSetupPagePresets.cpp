// The Setup page's preset areas: the amplifier's slots ("Amp Presets") and preset files on
// the computer ("PC Presets").

#include "CSetupPage.h"

#include "Croot.h"
#include "Dialogs.h"
#include "EditPath.h"
#include "HubControl.h"
#include "PanelLink.h"
#include "PresetFile.h"
#include "presetDocument.h"

namespace
{
    constexpr Dialogs::Icon warningIcon = Dialogs::Icon::warning;
    const char* const filePattern = "*.kvt";
}

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

    hub.sendPresetCommand ("/preset/load", selectedSlot, 0, presetRows->nameOf (selectedSlot));
    panel.presetSlotRecalled (selectedSlot);
}

void CSetupPage::storeSlot()
{
    if (offline)
        return;

    if (selectedSlot < 2 || selectedSlot > SetupPresetRows::slotCount)
    {
        // Slot 1 holds the amplifier's initial data and is never overwritten.
        dialogs.showMessage (warningIcon, TRANS ("Save Preset to Amp..."), TRANS ("INIT_DATA is read-only!"),
                             TRANS ("Ok"));
        return;
    }

    hub.sendPresetCommand ("/preset/save", selectedSlot, root.ampmode->mode->getStep(), presetNameEditor.getText());
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

//==============================================================================
void CSetupPage::loadPresetFile()
{
    dialogs.chooseFileToOpen (TRANS ("Please select the preset you want to load..."), presets.getLastDocumentOpened(),
                              filePattern,
                              [page = juce::Component::SafePointer<CSetupPage> (this)] (const juce::File& file)
                              {
                                  if (page != nullptr)
                                      page->loadChosenFile (file);
                              });
}

void CSetupPage::loadChosenFile (const juce::File& file)
{
    if (file == juce::File())
        return;   // cancelled

    const auto result = presets.loadFrom (file, false, false);
    if (result.failed())
        dialogs.showMessage (warningIcon, TRANS ("Failed to open file..."),
                             TRANS ("There was an error while trying to load the file: FLNM")
                                     .replace ("FLNM", "\n" + file.getFullPathName())
                                 + "\n\n" + result.getErrorMessage(),
                             TRANS ("Ok"));

    // Even after a failure the fields follow and the tree's values go out: what the
    // amplifier gets is then what the pages show.
    fileNameEditor.setText (file.getFileName(), false);
    presetNameEditor.setText (presets.getDocumentTitle(), false);
    deselectSlot();

    if (! offline)
        sendWholeTree();
    panel.presetFileLoaded (file.getFileName());
}

void CSetupPage::savePresetFile()
{
    auto folder = presets.getLastDocumentOpened();
    if (folder == juce::File())
        folder = juce::File::getSpecialLocation (juce::File::userHomeDirectory);
    if (! folder.isDirectory())
        folder = folder.getParentDirectory();

    auto name = fileNameEditor.getText();
    if (name.isEmpty())
        name = presetNameEditor.getText();

    // A preset name may hold characters a file name cannot ("A/B" would point elsewhere).
    const juce::File proposal (folder.getFullPathName() + "/" + juce::File::createLegalFileName (name));
    dialogs.chooseFileToSave (TRANS ("Save as preset file..."), proposal, filePattern,
                              [page = juce::Component::SafePointer<CSetupPage> (this)] (const juce::File& chosen)
                              {
                                  if (page != nullptr)
                                      page->saveToChosenFile (chosen);
                              });
}

void CSetupPage::saveToChosenFile (const juce::File& chosen)
{
    if (chosen == juce::File())
        return;   // cancelled

    // The file written always ends in ".kvt": the chooser warned about the file it showed,
    // so another file that would be replaced needs its own question.
    const auto target = PresetFile::resolve (chosen);
    if (target == chosen || ! target.exists())
    {
        writePresetFile (target);
        return;
    }

    dialogs.askOkCancel (warningIcon, TRANS ("File already exists"),
                         TRANS ("There's already a file called: FLNM").replace ("FLNM", target.getFullPathName())
                             + "\n\n" + TRANS ("Are you sure you want to overwrite it?"),
                         TRANS ("Overwrite"), TRANS ("Cancel"),
                         [page = juce::Component::SafePointer<CSetupPage> (this), target] (bool overwrite)
                         {
                             if (page != nullptr && overwrite)
                                 page->writePresetFile (target);
                         });
}

void CSetupPage::writePresetFile (const juce::File& target)
{
    fileNameEditor.setText (target.getFileName(), false);
    presets.presetTitle = presetNameEditor.getText();

    // The document writes at once; its answer may still come later, as for any document.
    presets.saveAsAsync (
        target, false, false, false,
        [page = juce::Component::SafePointer<CSetupPage> (this), target] (juce::FileBasedDocument::SaveResult result)
        {
            if (page != nullptr)
                page->presetFileWritten (target, result == juce::FileBasedDocument::savedOk);
        });
}

void CSetupPage::presetFileWritten (const juce::File& target, bool written)
{
    if (written)
        presets.setLastDocumentOpened (target);
    else
        dialogs.showMessage (warningIcon, TRANS ("Error writing to file..."),
                             TRANS ("An error occurred while trying to save \"DCNM\" to the file: FLNM")
                                 .replace ("DCNM", presets.getDocumentTitle())
                                 .replace ("FLNM", "\n" + target.getFullPathName()),
                             TRANS ("Ok"));

    deselectSlot();
}

void CSetupPage::sendWholeTree()
{
    // Loading a file is the user's edit of every block.
    forEachLeaf (&root,
                 [] (Cnode* node)
                 {
                     if (auto* block = dynamic_cast<Cblock*> (node))
                         EditPath::blockEdited (*block);
                 });
}
