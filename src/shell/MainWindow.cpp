#include "MainWindow.h"

#include "Croot.h"
#include "Globals.h"
#include "RemoteControl.h"
#include "presetDocument.h"

MainWindow::MainWindow()
    : DocumentWindow (" Tarvo Remote Connect ", juce::Colour (0xff222222),
                      DocumentWindow::minimiseButton | DocumentWindow::closeButton)
{
    setUsingNativeTitleBar (false);
    setResizable (false, false);

    root = std::make_unique<Croot>();
    globals::root = root.get();
    assignAddresses (*root);

    // The panel creates the pages and then the hub, and titles this window "[not connected!]".
    auto panel = std::make_unique<RemoteControl> (*this);
    globals::panel = panel.get();
    setContentOwned (panel.release(), true);

    centreWithSize (getWidth(), getHeight());
    setVisible (true);

    presets = std::make_unique<presetDocument>();
    globals::presets = presets.get();
}

MainWindow::~MainWindow()
{
    // The tree goes first; nothing may reach it through the shared cell from here on.
    globals::root = nullptr;
    root.reset();

    // Then the panel: its pages, then the hub, whose threads stop before it goes.
    globals::panel = nullptr;
    clearContentComponent();

    globals::presets = nullptr;
    presets.reset();
}

void MainWindow::closeButtonPressed()
{
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}
