#include "RemoteFrames.h"

#include "JsonWriter.h"

namespace remote
{
    namespace
    {
        std::string pair (const std::array<double, 2>& values, int decimals)
        {
            return "[" + JsonWriter::number (values[0], decimals) + "," + JsonWriter::number (values[1], decimals)
                   + "]";
        }

        std::string pair (const std::array<bool, 2>& values)
        {
            return std::string ("[") + (values[0] ? "true" : "false") + "," + (values[1] ? "true" : "false") + "]";
        }

        std::string bandObject (const BandState& band)
        {
            return JsonWriter()
                .field ("on", band.on)
                .field ("type", band.type)
                .field ("hz", band.freqHz, 2)
                .field ("freq", band.freqStep)
                .field ("freqText", band.freqText)
                .field ("gain", band.gainDb, 2)
                .field ("q", band.qualStep)
                .field ("qText", band.qualText)
                .field ("qShown", band.qualityShown)
                .text();
        }
    }

    std::string deviceFrame (const DeviceState& state)
    {
        return JsonWriter()
            .field ("t", "device")
            .field ("connected", state.connected)
            .field ("name", state.name)
            .field ("model", state.model)
            .field ("zr", state.zrFamily)
            .text();
    }

    std::string panelFrame (const PanelState& state)
    {
        return JsonWriter()
            .field ("t", "panel")
            .field ("shown", state.shown)
            .raw ("gain", pair (state.gainDb, 1))
            .raw ("mute", pair (state.mute))
            .field ("link", state.link)
            .text();
    }

    std::string meterFrame (const MeterState& state, unsigned long long number)
    {
        return JsonWriter()
            .field ("t", "meters")
            .raw ("n", std::to_string (number))
            .raw ("in", pair (state.inputDb, 1))
            .raw ("out", pair (state.outputDb, 1))
            .raw ("clip", pair (state.inputClip))
            .raw ("limit", pair (state.outputLimit))
            .text();
    }

    std::string peqFrame (const PeqChannelState& state)
    {
        std::vector<std::string> bands;
        for (const auto& band : state.bands)
            bands.push_back (bandObject (band));
        return JsonWriter()
            .field ("t", "peq")
            .field ("ch", state.channel)
            .field ("name", state.name)
            .field ("shown", state.shown)
            .field ("bypass", state.bypassed)
            .raw ("bands", JsonWriter::array (bands))
            .raw ("curve", JsonWriter::numbers (state.curveDb, 2))
            .text();
    }

    std::string slotFrame (const std::vector<SlotState>& slots)
    {
        std::vector<std::string> items;
        for (std::size_t i = 0; i < slots.size(); ++i)
            items.push_back (JsonWriter()
                                 .field ("n", (int) i + 1)
                                 .field ("name", slots[i].name)
                                 .field ("mode", slots[i].mode)
                                 .text());
        return JsonWriter().field ("t", "slots").raw ("slots", JsonWriter::array (items)).text();
    }

    std::string historyFrame (const HistoryState& state)
    {
        return JsonWriter()
            .field ("t", "history")
            .field ("undo", state.canUndo)
            .field ("redo", state.canRedo)
            .field ("undoTip", state.undoTip)
            .field ("redoTip", state.redoTip)
            .field ("undoMode", state.undoChangesMode)
            .field ("redoMode", state.redoChangesMode)
            .field ("memory", std::string (1, state.memory == 'B' ? 'B' : 'A'))
            .field ("compare", state.canCompare)
            .field ("compareTip", state.compareTip)
            .field ("compareMode", state.compareChangesMode)
            .field ("copy", state.canCopy)
            .field ("copyTip", state.copyTip)
            .text();
    }
}
