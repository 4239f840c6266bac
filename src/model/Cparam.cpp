#include "Cparam.h"
#include "NumberText.h"

#include <cmath>
#include <cstring>

namespace
{
    // Far outside any step range, yet exactly representable: out-of-range and infinite
    // arguments saturate here before the clamp instead of overflowing the conversion.
    constexpr long double stepLimit = 1.0e15L;

    /** Truncation toward zero that is defined for every input; NaN gives the lowest step. */
    long long truncateToStep (long double t) noexcept
    {
        if (std::isnan (t) || t <= -stepLimit)
            return -(long long) stepLimit;
        if (t >= stepLimit)
            return (long long) stepLimit;
        return (long long) t;
    }
}

Cparam::Cparam (const char* name, std::uint32_t kind, std::uint32_t blockKind)
    : Cnode (name, kind, (std::int32_t) blockKind)
{
}

Cparam* Cparam::makeInt (const char* name, std::uint32_t blockKind, int minStep, int maxStep, const char* format)
{
    auto* p = new Cparam (name, NodeKind::intParam, blockKind);
    p->minStep = minStep;
    p->maxStep = maxStep;
    p->lower = (float) minStep;
    p->upper = (float) maxStep;
    p->format = format;
    p->clampStep();   // a parameter whose range starts above 0 starts at its lowest step
    return p;
}

Cparam* Cparam::makeEnum (const char* name, std::uint32_t blockKind, const char* const* labels, int labelCount)
{
    auto* p = new Cparam (name, NodeKind::enumParam, blockKind);
    p->maxStep = labelCount > 0 ? labelCount - 1 : 0;
    p->upper = (float) p->maxStep;
    p->labels = labelCount > 0 ? labels : nullptr;
    return p;
}

Cparam* Cparam::makeLinear (const char* name, std::uint32_t blockKind, float lower, float upper, int maxStep,
                            const char* format)
{
    auto* p = new Cparam (name, NodeKind::linearParam, blockKind);
    p->maxStep = maxStep;
    p->lower = lower;
    p->upper = upper;
    p->format = format;
    return p;
}

Cparam* Cparam::makeLog (const char* name, std::uint32_t blockKind, float low, float high, int wholeSteps,
                         const char* format)
{
    auto* p = new Cparam (name, NodeKind::logParam, blockKind);
    p->maxStep = 1000 * wholeSteps;
    p->lower = low;
    p->logUpper = high;

    // The ratio and its logarithm are each rounded to single precision, as the device does.
    const float ratio = high / low;
    const float logRatio = (float) std::log ((double) ratio);
    p->upper = p->maxStep > 0 ? logRatio / (float) p->maxStep : 0.0f;
    p->format = format;
    return p;
}

void Cparam::notifyTree()
{
    if (parent != nullptr)
        parent->notifyTree();
}

int Cparam::fromText (const char* text)
{
    if (text == nullptr)
        return 0;

    switch (kind)
    {
        case NodeKind::intParam:
        {
            int value = 0;
            const int used = parseIntText (text, value);
            // An unreadable text keeps the old value, and what is read is clamped like any
            // other input, so no step outside the range ever reaches a page or the amplifier.
            if (used > 0)
                storeStep (value);
            return used;
        }

        case NodeKind::enumParam:
        {
            for (int i = 0; labels != nullptr && i <= maxStep; ++i)
            {
                const auto length = std::strlen (labels[i]);
                if (length > 0 && std::strncmp (text, labels[i], length) == 0)
                {
                    storeStep (i);
                    return (int) length;
                }
            }
            return 0;
        }

        case NodeKind::linearParam:
        case NodeKind::logParam:
        {
            float value = 0.0f;
            const int used = parseFloatText (text, value);
            if (used > 0)
            {
                setValue (value);
                keepTextStable (value);
            }
            return used;
        }

        default: return 0;
    }
}

int Cparam::toText (char* buffer, int capacity)
{
    return writeText (buffer, capacity);
}

juce::String paramText (const Cparam& param)
{
    char text[nodeTextCapacity] {};
    param.writeText (text, (int) sizeof text);
    return text;
}

int Cparam::writeText (char* buffer, int capacity) const
{
    if (buffer == nullptr || capacity < 1)
        return 0;

    switch (kind)
    {
        case NodeKind::intParam:
            return formatText (buffer, (std::size_t) capacity, format != nullptr ? format : "%d", (int) loadStep());

        case NodeKind::enumParam: return formatText (buffer, (std::size_t) capacity, "%s", label());

        case NodeKind::linearParam:
        case NodeKind::logParam:
            return formatText (buffer, (std::size_t) capacity, format != nullptr ? format : "%f", (double) getValue());

        default: buffer[0] = '\0'; return 0;
    }
}

void Cparam::stepBy (int delta)
{
    const long long units = kind == NodeKind::logParam ? 1000LL * delta : (long long) delta;
    storeStep (loadStep() + units);
}

int Cparam::getStep() const
{
    const auto s = loadStep();
    return kind == NodeKind::logParam ? s / 1000 : s;
}

void Cparam::setStep (int n)
{
    storeStep (kind == NodeKind::logParam ? 1000LL * n : (long long) n);
}

float Cparam::getValue() const
{
    return valueAt (loadStep());
}

void Cparam::setValue (float x)
{
    long double t = 0.0L;

    switch (kind)
    {
        case NodeKind::intParam:
        case NodeKind::enumParam: t = std::trunc (std::trunc ((long double) x) + 0.5L); break;

        case NodeKind::linearParam:
            t = ((long double) x - lower) * maxStep / ((long double) upper - lower) + 0.5L;
            break;

        case NodeKind::logParam:
        {
            const float q = (float) ((double) x / (double) lower);
            const float l = (float) std::log ((double) q);
            t = (long double) l / upper + 0.5L;
            break;
        }

        default: return;
    }

    storeStep (truncateToStep (t));
}

void Cparam::keepTextStable (float valueRead)
{
    // The text truncates (a frequency of thousands to 10 Hz), so when the nearest step lies
    // just below the value read, its text would read back one digit lower and every save and
    // load of a preset would lower it again.  The next step up is taken when it shows closer.
    const auto s = loadStep();
    const float shown = shownValue (s);
    if (! (shown < valueRead) || s >= maxStep)
        return;

    const float shownAbove = shownValue (s + 1);
    if (std::abs (shownAbove - valueRead) < std::abs (shown - valueRead))
        storeStep (s + 1);
}

float Cparam::shownValue (std::int32_t atStep) const
{
    char text[32];
    formatText (text, sizeof (text), format != nullptr ? format : "%f", (double) valueAt (atStep));
    float value = 0.0f;
    parseFloatText (text[0] == ' ' ? text + std::strspn (text, " ") : text, value);
    return value;
}

const char* Cparam::label() const
{
    if (kind != NodeKind::enumParam || labels == nullptr)
        return "";

    const auto s = loadStep();
    return s >= 0 && s <= maxStep ? labels[s] : "";
}

void Cparam::clampStep()
{
    storeStep (loadStep());
}

std::int32_t Cparam::loadStep() const noexcept
{
    return __atomic_load_n (&step, __ATOMIC_RELAXED);
}

void Cparam::storeStep (long long newStep) noexcept
{
    const auto clamped = newStep < minStep ? minStep : newStep > maxStep ? maxStep : (std::int32_t) newStep;
    __atomic_store_n (&step, clamped, __ATOMIC_RELAXED);
}

float Cparam::valueAt (std::int32_t atStep) const
{
    switch (kind)
    {
        case NodeKind::intParam:
        case NodeKind::enumParam: return (float) atStep;

        case NodeKind::linearParam:
        {
            if (maxStep == 0)
                return lower;
            const auto value = (float) (((long double) upper - lower) * atStep / maxStep + lower);
            return value > upper ? upper : value;
        }

        case NodeKind::logParam:
        {
            const float exponent = (float) ((long double) atStep * upper);
            const float factor = (float) std::exp ((double) exponent);
            const float value = (float) ((long double) factor * lower);
            return value > logUpper ? logUpper : value;
        }

        default: return 0.0f;
    }
}
