#pragma once

#include <juce_gui_basics/juce_gui_basics.h>
#include <memory>

/** The tooltips of one component's widgets (the main panel's), drawn inside it.

    A juce::TooltipWindow asks the X server where the pointer is eight times a second for as
    long as it exists, wherever the pointer is; beside a program at rest that is a fifth more
    than the framework's own display timer costs.  So the window here exists only while the
    pointer is over the component, where a tip can be wanted, and a program left alone pays
    nothing for its tooltips.  Message thread only.
*/
class HoverTooltips : private juce::MouseListener
{
public:
    /** Watches `area` and everything inside it; `area` must outlive this object. */
    explicit HoverTooltips (juce::Component& area);
    ~HoverTooltips() override;

    /** The window that shows the tips, while the pointer is over the area; null otherwise. */
    juce::TooltipWindow* getWindow() const noexcept { return window.get(); }

private:
    void mouseEnter (const juce::MouseEvent& event) override;
    void mouseExit (const juce::MouseEvent& event) override;

    /** True when the topmost component at that screen point is the area or inside it (not a
        window over it, nor another window). */
    bool isOverArea (juce::Point<int> screenPosition) const;

    juce::Component& area;
    std::unique_ptr<juce::TooltipWindow> window;

    JUCE_DECLARE_NON_COPYABLE (HoverTooltips)
};
