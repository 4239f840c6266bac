#pragma once

#include "Cnode.h"

/** A parameter: a leaf that stores its value as a step index.

    IntParam: the value is the step.  EnumParam: the step indexes a label table.
    LinearParam: lower .. upper over 0 .. maxStep.  LogParam: steps are thousandths of a
    logarithmic step (maxStep = 1000 x S) from lower to logUpper; `upper` holds the
    natural-log increment per step unit.  Values out of range are clamped silently.
*/
class Cparam : public Cnode
{
public:
    static Cparam* makeInt (const char* name, std::uint32_t blockKind, int minStep, int maxStep, const char* format);
    static Cparam* makeEnum (const char* name, std::uint32_t blockKind, const char* const* labels, int labelCount);
    static Cparam* makeLinear (const char* name, std::uint32_t blockKind, float lower, float upper, int maxStep, const char* format);
    static Cparam* makeLog (const char* name, std::uint32_t blockKind, float low, float high, int wholeSteps, const char* format);

    std::int32_t minStep = 0;
    std::int32_t maxStep = 0;
    float lower = 0.0f;
    float upper = 0.0f;
    float logUpper = 0.0f;
    std::int32_t step = 0;
    const char* format = nullptr;            // Int, Linear, Log
    const char* const* labels = nullptr;     // Enum: maxStep + 1 texts

    void notifyTree() override;
    /** Characters consumed; below 1 means nothing could be read. */
    int fromText (const char* text) override;
    /** Length of the text written. */
    int toText (char* buffer, int capacity) override;
    /** Adds delta whole steps (x 1000 for LogParam) and clamps. */
    virtual void stepBy (int delta);

    int getStep() const;
    void setStep (int n);
    float getValue() const;
    void setValue (float x);

    /** The current label of an EnumParam ("" for other kinds). */
    const char* label() const;

private:
    Cparam (const char* name, std::uint32_t kind, std::uint32_t blockKind);
    void clampStep();
};
