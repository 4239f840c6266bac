#include "ParamKnob.h"

#include "Cparam.h"

#include <cmath>

namespace
{
    // The whole steps a parameter's step index spans (a logarithmic step counts 1000 units).
    int wholeSteps (const Cparam& param, std::int32_t step)
    {
        return param.kind == NodeKind::logParam ? step / 1000 : step;
    }
}

ParamKnob::ParamKnob (const juce::String& componentName)
    : juce::Slider (juce::Slider::RotaryHorizontalVerticalDrag, juce::Slider::NoTextBox)
{
    setName (componentName);
}

void ParamKnob::bind (Cparam& newParam)
{
    param = &newParam;
    setRange (wholeSteps (newParam, newParam.minStep), wholeSteps (newParam, newParam.maxStep), 1.0);
    showParam();
}

void ParamKnob::showParam()
{
    if (param != nullptr)
        setValue (param->getStep(), juce::dontSendNotification);
}

int ParamKnob::getStep() const
{
    return (int) std::lround (getValue());
}
