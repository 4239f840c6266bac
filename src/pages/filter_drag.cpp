#include "filter_drag.h"

#include "Cpeq.h"
#include "Cxover.h"
#include "Globals.h"
#include "HandleOwners.h"

namespace
{
    PeqHandleTab* visiblePeqTab (juce::Component* owner)
    {
        auto* page = dynamic_cast<PeqHandleOwner*> (owner);
        return page != nullptr ? page->peqTab (globals::peqVisibleChannel) : nullptr;
    }

    DeqHandleTab* visibleDeqTab (juce::Component* owner)
    {
        auto* page = dynamic_cast<DeqHandleOwner*> (owner);
        return page != nullptr ? page->deqTab (globals::deqVisibleChannel) : nullptr;
    }

    juce::Image copyOf (const juce::Image& picture)
    {
        if (! picture.isValid())
            return {};
        return picture.rescaled (picture.getWidth(), picture.getHeight(), juce::Graphics::mediumResamplingQuality)
            .createCopy();
    }
}

filter_drag::filter_drag (const juce::Image& picture, int kind, juce::Component* ownerPage, int filterIndex)
    : image (copyOf (picture)),
      index (filterIndex),
      graphKind (kind),
      owner (ownerPage)
{
    setBounds (0, 0, picture.getWidth(), picture.getHeight());
}

void filter_drag::paint (juce::Graphics& g)
{
    g.drawImageAt (image, 0, 0, false);
}

void filter_drag::mouseDown (const juce::MouseEvent& e)
{
    lastX = e.x;
    lastY = e.y;
}

void filter_drag::mouseUp (const juce::MouseEvent&)
{
    lastX = lastY = 0;
}

void filter_drag::mouseDrag (const juce::MouseEvent& e)
{
    dragTo (e.x, e.y);
}

void filter_drag::mouseWheelMove (const juce::MouseEvent&, const juce::MouseWheelDetails& wheel)
{
    wheelBy (wheel.deltaY);
}

void filter_drag::dragTo (int x, int y)
{
    // The pointer's distance from the centre: the handle is pulled until it sits under it.
    const int dx = x - getWidth() / 2;
    const int dy = y - lastY;

    if (graphKind == 0)
    {
        dragPeq (dx, dy, x, y);
        return;
    }
    if (graphKind == 1)
    {
        dragCrossover (dx);
    }
    else if (graphKind == 2)
    {
        if (auto* tab = visibleDeqTab (owner))
        {
            if (dx != 0)
                tab->handleEdit (DeqHandleTab::frequency, index, 2 * dx);
            if (dy != 0)
                tab->handleEdit (DeqHandleTab::gain, index, dy);
        }
    }
    lastX = x;
    lastY = y;
}

void filter_drag::dragPeq (int dx, int dy, int x, int y)
{
    auto* tab = visiblePeqTab (owner);
    auto* band = tab != nullptr ? tab->handleBand (index) : nullptr;
    if (band == nullptr)
        return;

    if (dx != 0)
    {
        band->freq->setStep (band->freq->getStep() + dx);
        tab->changeListenerCallback (band);
        tab->bandEdited (index);
        lastX = x;
        globals::selectedHandle = index;
    }

    // A single pixel is kept for the next event, so slow movements add up.
    if (dy > 1 || dy < -1)
    {
        if (band->type->getStep() != 0)
        {
            band->gain->setValue (band->gain->getValue() - (float) (dy / 2) * 0.5f);
            tab->changeListenerCallback (band);
            tab->bandEdited (index);
        }
        globals::selectedHandle = index;
        lastY = y;
    }
}

void filter_drag::dragCrossover (int dx)
{
    auto* page = dynamic_cast<XoverHandleOwner*> (owner);
    auto* block = page != nullptr ? page->crossoverBlock (index) : nullptr;
    if (block == nullptr || dx == 0)
        return;

    block->freq->setStep (block->freq->getStep() + dx);
    commitCrossover (block);
}

void filter_drag::wheelBy (float incrementY)
{
    const int s = incrementY < 0.0f ? -1 : 1;
    if (graphKind == 0)
        wheelPeq (s);
    else if (graphKind == 1)
        wheelCrossover (s);
    else if (graphKind == 2)
        if (auto* tab = visibleDeqTab (owner))
            tab->handleEdit (DeqHandleTab::quality, index, s);
}

void filter_drag::wheelPeq (int s)
{
    auto* tab = visiblePeqTab (owner);
    auto* band = tab != nullptr ? tab->handleBand (index) : nullptr;
    if (band == nullptr)
        return;

    if (band->type->getStep() != 0)
    {
        band->qual->setStep (band->qual->getStep() + s);
        tab->changeListenerCallback (band);
        tab->bandEdited (index);
    }
    globals::selectedHandle = index;
}

void filter_drag::wheelCrossover (int s)
{
    auto* page = dynamic_cast<XoverHandleOwner*> (owner);
    auto* block = page != nullptr ? page->crossoverBlock (index) : nullptr;
    if (block == nullptr)
        return;

    // The wheel never reaches "OFF" (label 0).
    const int type = block->type->getStep() + s;
    if (type > 0)
        block->type->setStep (type);
    commitCrossover (block);
}

void filter_drag::commitCrossover (juce::ChangeBroadcaster* block)
{
    auto* page = dynamic_cast<XoverHandleOwner*> (owner);
    // While connected the amplifier's answer refreshes the page.
    if (! page->hubOnline())
        page->changeListenerCallback (block);
    if (page->crossoverLinked() && index != 0)
        page->linkCrossoverPartner (index);
    globals::selectedHandle = index;
    page->commitFilter (index);
}
