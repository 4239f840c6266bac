#include "Artwork.h"

#include "ZrArtData.h"

namespace
{
    struct Entry
    {
        const char* name;
        const unsigned char* data;
        int size;
    };

#define ZR_ART(file)                                                                                                   \
    {                                                                                                                  \
#file, ZrArt::file##_gif, ZrArt::file##_gifSize                                                                \
    }

    // In the order of Artwork::Id.
    const Entry entries[] = {
        ZR_ART (banner),
        ZR_ART (output_meter_scale),
        ZR_ART (input_meter_scale),
        ZR_ART (tarvo_badge),
        ZR_ART (tarvo_logo),
        ZR_ART (zr_badge),
        ZR_ART (zr_logo),
        ZR_ART (window_icon),

        ZR_ART (mode_dual),
        ZR_ART (mode_stereo),
        ZR_ART (mode_biamp1),
        ZR_ART (mode_biamp2),
        ZR_ART (mode_bridge),

        ZR_ART (icon_peq_on),
        ZR_ART (icon_peq_off),
        ZR_ART (icon_deq_on),
        ZR_ART (icon_deq_off),
        ZR_ART (icon_delay_on),
        ZR_ART (icon_delay_off),
        ZR_ART (icon_limiter_on),
        ZR_ART (icon_limiter_off),
        ZR_ART (icon_xover_on),
        ZR_ART (icon_xover_off),
        ZR_ART (icon_biamp_xover_on),
        ZR_ART (icon_biamp_xover_off),

        ZR_ART (handle_1),
        ZR_ART (handle_2),
        ZR_ART (handle_3),
        ZR_ART (handle_4),
        ZR_ART (handle_5),
        ZR_ART (handle_6),
        ZR_ART (handle_7),
        ZR_ART (handle_8),

        ZR_ART (freq_scale_wide),
        ZR_ART (freq_scale_narrow),
        ZR_ART (peq_level_scale),
        ZR_ART (xover_level_scale),
        ZR_ART (deq_level_scale),
    };

#undef ZR_ART

    static_assert (sizeof (entries) / sizeof (entries[0]) == (size_t) Artwork::count,
                   "one embedded picture per Artwork::Id");

    const Entry* find (Artwork::Id id)
    {
        const auto index = (int) id;
        return index >= 0 && index < Artwork::count ? &entries[index] : nullptr;
    }
}

juce::Image Artwork::get (Id id)
{
    if (const auto* entry = find (id))
        return juce::ImageCache::getFromMemory (entry->data, entry->size);

    return {};
}

juce::Image Artwork::handleBadge (int number)
{
    if (number < 1 || number > 8)
        return {};

    return get ((Id) ((int) Id::handle1 + number - 1));
}

juce::Image Artwork::modeDiagram (int mode)
{
    if (mode < 0 || mode > 4)
        return {};

    return get ((Id) ((int) Id::modeDual + mode));
}

juce::Image Artwork::blockIcon (Block block, bool inUse)
{
    if ((int) block < (int) Block::peq || (int) block > (int) Block::biampXover)
        return {};

    // Each block has its in-use icon followed by its not-in-use icon.
    const auto first = (int) Id::iconPeqOn + 2 * (int) block;
    return get ((Id) (first + (inUse ? 0 : 1)));
}

const char* Artwork::fileName (Id id)
{
    if (const auto* entry = find (id))
        return entry->name;

    return "";
}
