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
    // Factories: the caller appends the new parameter to its block, which owns it from then
    // on.  `blockKind` becomes the parameter's id; names, formats and labels are static text.

    /** An integer minStep .. maxStep, starting at minStep; OSC tag "i". */
    static Cparam* makeInt (const char* name, std::uint32_t blockKind, int minStep, int maxStep, const char* format);
    /** One of `labelCount` labels, starting at the first; OSC tag "s". */
    static Cparam* makeEnum (const char* name, std::uint32_t blockKind, const char* const* labels, int labelCount);
    /** lower .. upper in maxStep equal steps, starting at lower; OSC tag "f". */
    static Cparam* makeLinear (const char* name, std::uint32_t blockKind, float lower, float upper, int maxStep,
                               const char* format);
    /** low .. high in `wholeSteps` logarithmic steps of 1000 units each, starting at low; OSC tag "f". */
    static Cparam* makeLog (const char* name, std::uint32_t blockKind, float low, float high, int wholeSteps,
                            const char* format);

    std::int32_t minStep = 0;
    std::int32_t maxStep = 0;
    float lower = 0.0f;
    float upper = 0.0f;
    float logUpper = 0.0f;
    /** Current value as a step index.  The operations below read and write it atomically
        (the sweep thread steps the signal generator's frequency while pages read it). */
    std::int32_t step = 0;
    const char* format = nullptr;          // Int, Linear, Log
    const char* const* labels = nullptr;   // Enum: maxStep + 1 texts

    void notifyTree() override;
    /** Reads a value from the start of `text` (a label, or a number with "k" notation) and
        stores it clamped; returns the characters consumed.  Below 1 means nothing could be
        read, and the value is then left as it was. */
    int fromText (const char* text) override;
    /** Length of the text written. */
    int toText (char* buffer, int capacity) override;
    /** The same, for a parameter that is only read. */
    int writeText (char* buffer, int capacity) const;
    /** Adds delta whole steps (x 1000 for LogParam) and clamps. */
    virtual void stepBy (int delta);

    /** Whole steps: LogParam step / 1000 truncated toward zero; otherwise the step itself. */
    int getStep() const;
    /** Stores whole steps (x 1000 for LogParam), clamped to minStep .. maxStep. */
    void setStep (int n);
    /** The value of the current step in its unit (the label index for EnumParam). */
    float getValue() const;
    /** Stores the step nearest to x (in the parameter's unit), clamped; sends no notification. */
    void setValue (float x);

    /** The current label of an EnumParam ("" for other kinds). */
    const char* label() const;

    /** The step index itself (thousandths of a step for LogParam): the exact value, which
        the text can only approximate.  Any thread. */
    std::int32_t exactStep() const noexcept { return loadStep(); }
    /** Stores a step index read with exactStep(), clamped to minStep .. maxStep; sends no
        notification. */
    void setExactStep (std::int32_t newStep) noexcept { storeStep (newStep); }

private:
    Cparam (const char* name, std::uint32_t kind, std::uint32_t blockKind);
    void clampStep();
    std::int32_t loadStep() const noexcept;
    void storeStep (long long newStep) noexcept;   // clamps, then stores
    float valueAt (std::int32_t atStep) const;
    void keepTextStable (float valueRead);
    float shownValue (std::int32_t atStep) const;   // the value the step's text reads back as
};

/** The parameter's text as its toText writes it ("1k00", "+3.0", "PEQ"), for a widget. */
juce::String paramText (const Cparam& param);
