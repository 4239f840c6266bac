#include "RemoteWindow.h"

#include "RemoteWindowContent.h"

RemoteWindow::RemoteWindow (RemoteBridge& bridge)
    : DocumentWindow ("Remote control", juce::Colour (0xff222222), DocumentWindow::closeButton)
{
    setUsingNativeTitleBar (false);
    setResizable (false, false);
    setContentOwned (new RemoteWindowContent (bridge), true);
    centreWithSize (getWidth(), getHeight());
    setVisible (true);
}

void RemoteWindow::closeButtonPressed()
{
    setVisible (false);
}
