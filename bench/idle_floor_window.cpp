// The floor under the program's cost at rest: an empty window of the main panel's size, of
// the same kind as the program's main window and built from the same framework.  Whatever
// this costs the machine, the framework costs any window; scripts/measure-idle-cost.sh
// --floor runs it beside the program.  It stays open until closed or terminated.

#include <juce_gui_basics/juce_gui_basics.h>

namespace
{
    constexpr int panelWidth = 912;
    constexpr int panelHeight = 516;

    class FloorWindow : public juce::DocumentWindow
    {
    public:
        FloorWindow()
            : DocumentWindow ("idle floor", juce::Colour (0xff222222),
                              DocumentWindow::minimiseButton | DocumentWindow::closeButton)
        {
            setUsingNativeTitleBar (false);
            setResizable (false, false);

            auto* content = new juce::Component();
            content->setSize (panelWidth, panelHeight);
            setContentOwned (content, true);

            centreWithSize (getWidth(), getHeight());
            setVisible (true);
        }

        void closeButtonPressed() override { juce::JUCEApplication::getInstance()->systemRequestedQuit(); }
    };

    class FloorApplication : public juce::JUCEApplication
    {
    public:
        const juce::String getApplicationName() override { return "idle floor"; }
        const juce::String getApplicationVersion() override { return "1"; }
        bool moreThanOneInstanceAllowed() override { return true; }

        void initialise (const juce::String&) override { window = std::make_unique<FloorWindow>(); }
        void shutdown() override { window.reset(); }

    private:
        std::unique_ptr<FloorWindow> window;
    };
}

START_JUCE_APPLICATION (FloorApplication)
