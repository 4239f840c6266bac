#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

class Croot;

/** The one top-level window.  It owns the parameter tree and its content, the main panel.

    Construction order matters: the tree is built and addressed before the panel exists
    (the pages and the hub read it while they are built), and the preset document comes
    last so the pages receive the default preset through change notifications.
*/
class MainWindow : public juce::DocumentWindow
{
public:
    MainWindow();
    ~MainWindow() override;

    /** Closing the window ends the program; nothing is asked or saved first. */
    void closeButtonPressed() override;

    static constexpr int panelWidth = 912;
    static constexpr int panelHeight = 516;

private:
    std::unique_ptr<Croot> root;
};
