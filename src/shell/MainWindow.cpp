#include "MainWindow.h"

#include "Croot.h"
#include "Globals.h"

MainWindow::MainWindow()
    : DocumentWindow (" Tarvo Remote Connect ", juce::Colour (0xff222222),
                      DocumentWindow::minimiseButton | DocumentWindow::closeButton)
{
    setUsingNativeTitleBar (false);
    setResizable (false, false);

    root = std::make_unique<Croot>();
    globals::root = root.get();
    assignAddresses (*root);

    auto content = std::make_unique<juce::Component> ("RemoteControl");
    content->setSize (panelWidth, panelHeight);
    setName ("[not connected!]");
    setContentOwned (content.release(), true);

    centreWithSize (getWidth(), getHeight());
    setVisible (true);
}

MainWindow::~MainWindow()
{
    // The tree goes first; the panel (and the link threads with it) follows as owned content.
    globals::root = nullptr;
    root.reset();
    clearContentComponent();
}

void MainWindow::closeButtonPressed()
{
    juce::JUCEApplication::getInstance()->systemRequestedQuit();
}
