// The frames a phone is sent: the page reads these fields by name.

#include "FlatJson.h"
#include "RemoteFrames.h"

#include <gtest/gtest.h>

using namespace remote;

TEST (RemoteFrames, DeviceAndPanelCarryWhatThePanelShows)
{
    DeviceState device;
    device.connected = true;
    device.name = "Stage \"Left\"";
    device.model = "ZR440";
    device.zrFamily = true;
    EXPECT_EQ (deviceFrame (device),
               R"({"t":"device","connected":true,"name":"Stage \"Left\"","model":"ZR440","zr":true})");
    EXPECT_EQ (FlatJson::parse (deviceFrame (device))->string ("name"), "Stage \"Left\"");

    PanelState panel;
    panel.shown = true;
    panel.gainDb = { -12.5, -60.0 };
    panel.mute = { false, true };
    panel.link = true;
    EXPECT_EQ (panelFrame (panel), R"({"t":"panel","shown":true,"gain":[-12.5,-60],"mute":[false,true],"link":true})");
}

TEST (RemoteFrames, MetersAreNumbered)
{
    MeterState meters;
    meters.inputDb = { -3.0, -60.0 };
    meters.outputDb = { 0.0, -21.0 };
    meters.inputClip = { true, false };
    meters.outputLimit = { false, true };
    EXPECT_EQ (meterFrame (meters, 41),
               R"({"t":"meters","n":41,"in":[-3,-60],"out":[0,-21],"clip":[true,false],"limit":[false,true]})");
}

TEST (RemoteFrames, APeqFrameHoldsEightBandsAndTheCurve)
{
    PeqChannelState channel;
    channel.channel = 1;
    channel.name = "Channel B";
    channel.bypassed = true;
    channel.bands[2].on = true;
    channel.bands[2].type = 3;
    channel.bands[2].freqHz = 2023.24;
    channel.bands[2].freqStep = 401;
    channel.bands[2].freqText = "2k02";
    channel.bands[2].gainDb = 4.5;
    channel.bands[2].qualStep = 50;
    channel.bands[2].qualText = "1.00";
    channel.bands[2].qualityShown = false;
    channel.curveDb = { 0.0f, 0.125f, -3.5f };

    const auto text = peqFrame (channel);
    EXPECT_EQ (text.rfind (R"({"t":"peq","ch":1,"name":"Channel B","shown":true,"bypass":true,"bands":[{)", 0), 0u)
        << text;
    EXPECT_NE (text.find (R"({"on":true,"type":3,"hz":2023.24,"freq":401,"freqText":"2k02","gain":4.5,"q":50,)"
                          R"("qText":"1.00","qShown":false})"),
               std::string::npos)
        << text;
    EXPECT_NE (text.find (R"("curve":[0,0.12,-3.5]})"), std::string::npos) << text;

    std::size_t bands = 0;
    for (auto at = text.find ("\"on\":"); at != std::string::npos; at = text.find ("\"on\":", at + 1))
        ++bands;
    EXPECT_EQ (bands, 8u);
}

TEST (RemoteFrames, SlotsAreNumberedFromOne)
{
    std::vector<SlotState> slots (20, SlotState { "", "-MODE-" });
    slots[0] = { "INIT_DATA", "DUAL" };
    slots[19] = { "Club A", "BRIDGE" };
    const auto text = slotFrame (slots);
    EXPECT_EQ (text.rfind (R"({"t":"slots","slots":[{"n":1,"name":"INIT_DATA","mode":"DUAL"},{"n":2,)", 0), 0u);
    EXPECT_NE (text.find (R"({"n":20,"name":"Club A","mode":"BRIDGE"}]})"), std::string::npos);
}

TEST (RemoteFrames, TheHistoryFrameCarriesTheButtonsStateAndTheirTips)
{
    HistoryState history;
    EXPECT_EQ (historyFrame (history),
               R"({"t":"history","undo":false,"redo":false,"undoTip":"Undo","redoTip":"Redo","undoMode":false,)"
               R"("redoMode":false,"memory":"A","compare":true,"compareTip":"","compareMode":false,"copy":true,)"
               R"("copyTip":""})");

    history.canUndo = true;
    history.undoTip = "Undo: Band 3 gain \"A\"";
    history.redoChangesMode = true;
    history.memory = 'B';
    history.compareTip = "Memory B in use: switch to A";
    history.compareChangesMode = true;
    history.copyTip = "Copy B onto A";
    const auto json = FlatJson::parse (historyFrame (history));
    ASSERT_TRUE (json);
    EXPECT_EQ (json->boolean ("undo"), true);
    EXPECT_EQ (json->string ("undoTip"), "Undo: Band 3 gain \"A\"");
    EXPECT_EQ (json->boolean ("redoMode"), true);
    EXPECT_EQ (json->string ("memory"), "B");
    EXPECT_EQ (json->boolean ("compareMode"), true);
    EXPECT_EQ (json->string ("copyTip"), "Copy B onto A");

    // A memory that is neither letter is never sent as it is.
    history.memory = '\0';
    EXPECT_EQ (FlatJson::parse (historyFrame (history))->string ("memory"), "A");
}
