// zr-ctl's report: one line per result in text, one JSON document that parses, and the
// exit status that sums it up.

#include "CtlReport.h"
#include <gtest/gtest.h>
#include <sstream>

TEST (CtlReport, TextLinesNameTheirHostAndAnyFailureMakesExit1)
{
    CtlReport report ("info", false);
    report.begin ("192.0.2.11");
    report.item ("ZR440  Stage Left", "devices", juce::var());
    report.begin ("192.0.2.12");
    report.fail ("no answer to \"/info\"");
    EXPECT_EQ (report.exitStatus(), 1);

    std::ostringstream out;
    report.write (out);
    EXPECT_EQ (out.str(), "192.0.2.11  ZR440  Stage Left\n192.0.2.12  FAILED: no answer to \"/info\"\n");
}

TEST (CtlReport, FindingsMakeAResultUnconfirmedAndTheJsonDocumentParses)
{
    CtlReport report ("push", true);
    EXPECT_EQ (report.exitStatus(), 0);

    report.begin ("amp \"A\"");
    report.property ("blocks", 39);
    report.finding ("/channel/1/delay", "del: 999 clamped to 300.00");
    EXPECT_EQ (report.exitStatus(), 1);
    report.begin ("b");
    report.item ("sent 39 blocks: every value confirmed", "summary", 0);

    std::ostringstream out;
    report.write (out);
    const auto document = juce::JSON::parse (juce::String (out.str()));
    ASSERT_TRUE (document.isObject()) << out.str();
    EXPECT_EQ (document["command"].toString(), "push");
    EXPECT_FALSE ((bool) document["ok"]);

    const auto* results = document["results"].getArray();
    ASSERT_NE (results, nullptr);
    ASSERT_EQ (results->size(), 2);
    const auto& first = (*results)[0];
    EXPECT_EQ (first["host"].toString(), "amp \"A\"");
    EXPECT_FALSE ((bool) first["ok"]);
    EXPECT_EQ (first["error"].toString(), "values were clamped or refused");
    EXPECT_EQ ((int) first["blocks"], 39);
    EXPECT_EQ (first["findings"][0]["what"].toString(), "del: 999 clamped to 300.00");
    EXPECT_TRUE ((bool) (*results)[1]["ok"]);
    EXPECT_FALSE ((*results)[1].hasProperty ("error"));
}
