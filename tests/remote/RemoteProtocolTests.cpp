// A phone's messages read into commands: shape and types checked, values left for the
// program's controls to clamp.

#include "JsonWriter.h"
#include "RemoteProtocol.h"

#include <gtest/gtest.h>
#include <limits>

using namespace remote;

TEST (RemoteProtocol, ReadsEachKindWithItsFields)
{
    const auto hello = parseCommand (R"({"t":"hello","v":1,"k":"00ff"})");
    ASSERT_TRUE (hello);
    EXPECT_EQ (hello->kind, CommandKind::hello);
    EXPECT_EQ (hello->token, "00ff");
    EXPECT_EQ (hello->version, 1);

    const auto gain = parseCommand (R"({"t":"gain","ch":1,"db":-12.5})");
    ASSERT_TRUE (gain);
    EXPECT_EQ (gain->kind, CommandKind::gain);
    EXPECT_EQ (gain->channel, 1);
    EXPECT_EQ (gain->value, -12.5);

    const auto mute = parseCommand (R"({"t":"mute","ch":0,"on":true})");
    ASSERT_TRUE (mute);
    EXPECT_EQ (mute->kind, CommandKind::mute);
    EXPECT_EQ (mute->channel, 0);
    EXPECT_TRUE (mute->on);

    const auto link = parseCommand (R"({"t":"link","on":false})");
    ASSERT_TRUE (link);
    EXPECT_EQ (link->kind, CommandKind::link);
    EXPECT_FALSE (link->on);

    const auto bypass = parseCommand (R"({"t":"bypass","ch":1,"on":true})");
    ASSERT_TRUE (bypass);
    EXPECT_EQ (bypass->kind, CommandKind::bypass);
    EXPECT_EQ (bypass->channel, 1);

    const auto recall = parseCommand (R"({"t":"recall","slot":20})");
    ASSERT_TRUE (recall);
    EXPECT_EQ (recall->kind, CommandKind::recall);
    EXPECT_EQ (recall->slot, 20);
}

TEST (RemoteProtocol, ABandCommandCarriesOnlyWhatItChanges)
{
    const auto gainOnly = parseCommand (R"({"t":"band","ch":0,"b":3,"gain":4.5})");
    ASSERT_TRUE (gainOnly);
    EXPECT_EQ (gainOnly->band, 3);
    EXPECT_EQ (gainOnly->change.gain, 4.5);
    EXPECT_FALSE (gainOnly->change.freqStep || gainOnly->change.qualStep || gainOnly->change.type
                  || gainOnly->change.on);

    const auto all = parseCommand (R"({"t":"band","ch":1,"b":8,"on":true,"type":5,"gain":-3,"freq":401,"q":9})");
    ASSERT_TRUE (all);
    EXPECT_EQ (all->change.on, true);
    EXPECT_EQ (all->change.type, 5);
    EXPECT_EQ (all->change.freqStep, 401.0);
    EXPECT_EQ (all->change.qualStep, 9.0);

    // A field of the wrong kind is dropped; the rest still counts.
    const auto badType = parseCommand (R"({"t":"band","ch":0,"b":1,"type":6,"gain":1})");
    ASSERT_TRUE (badType);
    EXPECT_FALSE (badType->change.type);
    EXPECT_EQ (badType->change.gain, 1.0);

    // Values outside the controls' ranges are the program's to clamp, not the reader's.
    const auto far = parseCommand (R"({"t":"band","ch":0,"b":1,"gain":99,"freq":-5000,"q":1e9})");
    ASSERT_TRUE (far);
    EXPECT_EQ (far->change.gain, 99.0);
    EXPECT_EQ (far->change.freqStep, -5000.0);
}

TEST (RemoteProtocol, HistoryCommandsAgreeToAModeChangeOnlyWithATrueMode)
{
    const std::pair<const char*, CommandKind> kinds[] = {
        { "undo", CommandKind::undo },
        { "redo", CommandKind::redo },
        { "compare", CommandKind::compare },
        { "copy", CommandKind::copy },
    };
    for (const auto& [name, kind] : kinds)
    {
        SCOPED_TRACE (name);
        const std::string plain = std::string (R"({"t":")") + name + "\"";
        const auto bare = parseCommand (plain + "}");
        ASSERT_TRUE (bare);
        EXPECT_EQ (bare->kind, kind);
        EXPECT_FALSE (bare->modeAgreed);

        const auto agreed = parseCommand (plain + R"(,"mode":true})");
        ASSERT_TRUE (agreed);
        EXPECT_TRUE (agreed->modeAgreed);

        // Anything but true leaves the mode question open; the command itself still counts.
        for (const char* notAgreed :
             { R"(,"mode":false})", R"(,"mode":"true"})", R"(,"mode":1})", R"(,"mode":null})", R"(,"mode":[true]})" })
        {
            const auto command = parseCommand (plain + notAgreed);
            ASSERT_TRUE (command) << notAgreed;
            EXPECT_EQ (command->kind, kind);
            EXPECT_FALSE (command->modeAgreed) << notAgreed;
        }
    }
}

TEST (RemoteProtocol, UnknownFieldsAreIgnored)
{
    const auto gain = parseCommand (R"({"t":"gain","ch":0,"db":-6,"extra":[1,2],"why":"x"})");
    ASSERT_TRUE (gain);
    EXPECT_EQ (gain->value, -6.0);
}

TEST (RemoteProtocol, AMessageWithoutItsFieldsOrOfAnUnknownKindIsNothing)
{
    for (const char* bad : {
             R"({"t":"gain","ch":2,"db":-6})",   // no channel C
             R"({"t":"gain","ch":0.5,"db":-6})",
             R"({"t":"gain","ch":"0","db":-6})",
             R"({"t":"gain","ch":0,"db":"-6"})",
             R"({"t":"gain","ch":0,"db":1e999})",   // not finite
             R"({"t":"gain","ch":0})",
             R"({"t":"mute","ch":0,"on":1})",
             R"({"t":"mute","on":true})",
             R"({"t":"link"})",
             R"({"t":"band","ch":0,"b":9,"gain":1})",
             R"({"t":"band","ch":0,"b":0,"gain":1})",
             R"({"t":"band","ch":0,"b":1})",            // changes nothing
             R"({"t":"band","ch":0,"b":1,"type":0})",   // "OFF" is the button's, not the list's
             R"({"t":"recall","slot":0})",
             R"({"t":"recall","slot":21})",
             R"({"t":"recall","slot":"5"})",
             R"({"t":"hello","k":5})",
             R"({"t":"Undo"})",                            // kinds are lower case
             R"({"t":"undo","mode":true,"mode":false})",   // which one counts is a guess
             R"({"t":"undo",})",
             R"({"t":"redo")",
             R"({"t":["undo"]})",
             R"({"t":"undo redo"})",
             R"({"t":"swap"})",
             R"({"t":"store","slot":5,"name":"x"})",   // never from a phone
             R"({"t":"siggen","on":true})",
             R"({"kind":"gain","ch":0,"db":-6})",
             R"({"t":3})",
             "not json",
         })
        EXPECT_FALSE (parseCommand (bad)) << bad;
}

TEST (RemoteProtocol, TheHelloReadsBack)
{
    const auto hello = parseCommand (helloText ("0123456789abcdef0123456789abcdef"));
    ASSERT_TRUE (hello);
    EXPECT_EQ (hello->kind, CommandKind::hello);
    EXPECT_EQ (hello->token, "0123456789abcdef0123456789abcdef");
    EXPECT_EQ (hello->version, protocolVersion);
}

TEST (JsonWriter, WritesNumbersWithoutTheLocaleAndStringsEscaped)
{
    EXPECT_EQ (JsonWriter::number (3.0, 2), "3");
    EXPECT_EQ (JsonWriter::number (-12.5, 1), "-12.5");
    EXPECT_EQ (JsonWriter::number (0.125, 2), "0.12");   // half to even, as the value is exact
    EXPECT_EQ (JsonWriter::number (-0.001, 2), "0");
    EXPECT_EQ (JsonWriter::number (std::numeric_limits<double>::infinity(), 2), "null");
    EXPECT_EQ (JsonWriter::number (1e300, 2), "null");
    EXPECT_EQ (JsonWriter::numbers ({ 1.5f, -2.0f }, 1), "[1.5,-2]");

    EXPECT_EQ (JsonWriter::quote ("Stage \"Left\"\\\n\x01\xc3\xa9"),
               "\"Stage \\\"Left\\\"\\\\\\u000a\\u0001\xc3\xa9\"");
    EXPECT_EQ (JsonWriter().field ("t", "x").field ("n", 2).field ("b", true).text(), R"({"t":"x","n":2,"b":true})");
    EXPECT_EQ (JsonWriter().text(), "{}");
}
