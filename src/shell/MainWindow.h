#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

class Croot;
class presetDocument;

/** The one top-level window.  It owns the parameter tree, its content (the main panel) and
    the preset document.

    Construction order matters: the tree is built and addressed before the panel exists
    (the pages and the hub read it while they are built), and the preset document comes
    last so the pages receive the default preset through change notifications.  On the way
    out the tree goes first, then the panel with its pages and the hub's threads, and the
    preset document last.  Message thread only.
*/
class MainWindow : public juce::DocumentWindow
{
public:
    MainWindow();
    ~MainWindow() override;

    /** Closing the window ends the program; nothing is asked or saved first. */
    void closeButtonPressed() override;

private:
    std::unique_ptr<Croot> root;
    std::unique_ptr<presetDocument> presets;
};
