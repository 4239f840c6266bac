#include "MainWindow.h"

#include "Croot.h"
#include "Globals.h"
#include "RemoteControl.h"
#include "presetDocument.h"

MainWindow::MainWindow (Dialogs& dialogs, osc::HubOptions hubOptions)
    : DocumentWindow (" Tarvo Remote Connect ", juce::Colour (0xff222222),
                      DocumentWindow::minimiseButton | DocumentWindow::closeButton)
{
    setUsingNativeTitleBar (false);
    setResizable (false, false);

    root = std::make_unique<Croot>();
    globals::root = root.get();
    assignAddresses (*root);

    presets = std::make_unique<presetDocument>();

    // The panel creates the pages and then the hub, and titles this window "[not connected!]".
    setContentOwned (new RemoteControl (*this, *root, *presets, dialogs, std::move (hubOptions)), true);

    centreWithSize (getWidth(), getHeight());
    setVisible (true);
}

MainWindow::~MainWindow()
{
    // The panel first: its pages, which may listen to blocks of the tree, then the hub,
    // whose threads stop before it goes.
    clearContentComponent();

    presets.reset();

    // The tree last; nothing reaches it through the shared cell from here on.
    globals::root = nullptr;
    root.reset();
}

void MainWindow::closeButtonPressed()
{
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}

void MainWindow::openPresetFile (const juce::File& file)
{
    if (auto* panel = dynamic_cast<RemoteControl*> (getContentComponent()))
        panel->loadPresetFile (file);
}

void MainWindow::bringToFront()
{
    if (isMinimised())
        setMinimised (false);
    toFront (true);
}

bool MainWindow::isInterestedInFileDrag (const juce::StringArray& files)
{
    if (files.size() != 1 || ! juce::File::isAbsolutePath (files[0]))
        return false;
    const juce::File file (files[0]);
    return file.hasFileExtension ("kvt") && ! file.isDirectory();
}

void MainWindow::filesDropped (const juce::StringArray& files, int, int)
{
    if (isInterestedInFileDrag (files))
        openPresetFile (juce::File (files[0]));
}
