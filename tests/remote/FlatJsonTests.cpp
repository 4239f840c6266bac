// The reader of a phone's messages: strict JSON, one object of plain values, bounded.

#include "FlatJson.h"

#include <gtest/gtest.h>

using remote::FlatJson;

TEST (FlatJson, ReadsEveryPlainValue)
{
    const auto json = FlatJson::parse (R"( { "t" : "band", "n":-1.5e2, "on":true, "off":false, "z":null } )");
    ASSERT_TRUE (json);
    EXPECT_EQ (json->string ("t"), "band");
    EXPECT_EQ (json->number ("n"), -150.0);
    EXPECT_EQ (json->boolean ("on"), true);
    EXPECT_EQ (json->boolean ("off"), false);
    ASSERT_NE (json->find ("z"), nullptr);
    EXPECT_EQ (json->find ("z")->type, FlatJson::Type::null);
    EXPECT_EQ (json->fields().size(), 5u);
    EXPECT_TRUE (FlatJson::parse ("{}"));
}

TEST (FlatJson, AValueOfAnotherTypeIsNotThere)
{
    const auto json = FlatJson::parse (R"({"ch":"0","on":1,"db":true})");
    ASSERT_TRUE (json);
    EXPECT_FALSE (json->number ("ch"));
    EXPECT_FALSE (json->boolean ("on"));
    EXPECT_FALSE (json->number ("db"));
    EXPECT_FALSE (json->string ("missing"));
}

TEST (FlatJson, EscapesBecomeUtf8)
{
    const auto json = FlatJson::parse (R"({"a":"\"\\\/\b\f\n\r\t","e":"\u00e9","g":"\ud834\udd1e","z":"\u0000"})");
    ASSERT_TRUE (json);
    EXPECT_EQ (json->string ("a"), std::string ("\"\\/\b\f\n\r\t"));
    EXPECT_EQ (json->string ("e"), std::string ("\xc3\xa9"));
    EXPECT_EQ (json->string ("g"), std::string ("\xf0\x9d\x84\x9e"));
    EXPECT_EQ (json->string ("z"), std::string (1, '\0'));

    for (const char* bad : { R"({"a":"\ud834"})", R"({"a":"\udd1e"})", R"({"a":"\ud834\u0041"})", R"({"a":"\x41"})",
                             R"({"a":"\u12g4"})", "{\"a\":\"tab\there\"}", R"({"a":"open)" })
        EXPECT_FALSE (FlatJson::parse (bad)) << bad;
}

TEST (FlatJson, ArraysAndObjectsAreSkippedWithinTheirDepth)
{
    const auto json = FlatJson::parse (R"({"x":[1,{"y":[true,null,"]"]}],"t":"gain","o":{}})");
    ASSERT_TRUE (json);
    EXPECT_EQ (json->fields().size(), 1u);
    EXPECT_EQ (json->string ("t"), "gain");

    const std::string eightDeep = R"({"x":[[[[[[[[1]]]]]]]]})";
    const std::string nineDeep = R"({"x":[[[[[[[[[1]]]]]]]]]})";
    EXPECT_TRUE (FlatJson::parse (eightDeep));
    EXPECT_FALSE (FlatJson::parse (nineDeep));
    EXPECT_FALSE (FlatJson::parse (std::string (3000, '[')));
    EXPECT_FALSE (FlatJson::parse (R"({"x":[1,]})"));
    EXPECT_FALSE (FlatJson::parse (R"({"x":{1:2}})"));
}

TEST (FlatJson, NumbersFollowTheGrammar)
{
    for (const char* good : { "0", "-0", "12", "1.5", "-2.25e-3", "1E3", "1e+2" })
        EXPECT_TRUE (FlatJson::parse (std::string (R"({"n":)") + good + "}")) << good;
    for (const char* bad : { "01", "1.", ".5", "+1", "-", "1e", "0x10", "NaN", "Infinity", "1..2", "--1" })
        EXPECT_FALSE (FlatJson::parse (std::string (R"({"n":)") + bad + "}")) << bad;

    // Too large for a double: read, but not a number the program can use.
    const auto huge = FlatJson::parse (R"({"n":1e400})");
    ASSERT_TRUE (huge);
    EXPECT_FALSE (huge->number ("n"));
}

TEST (FlatJson, IntegersAreWholeAndInRange)
{
    const auto json = FlatJson::parse (R"({"a":3.0,"b":3.5,"c":21,"d":-1,"e":1e300})");
    ASSERT_TRUE (json);
    EXPECT_EQ (json->integer ("a", 1, 20), 3);
    EXPECT_FALSE (json->integer ("b", 1, 20));
    EXPECT_FALSE (json->integer ("c", 1, 20));
    EXPECT_FALSE (json->integer ("d", 0, 20));
    EXPECT_FALSE (json->integer ("e", 0, 1 << 30));
}

TEST (FlatJson, WhatIsNotOneBoundedObjectIsUnreadable)
{
    const std::string longKey (FlatJson::maxKeyLength + 1, 'k');
    const std::string longText (FlatJson::maxStringLength + 1, 's');
    std::string manyFields = "{";
    for (std::size_t i = 0; i <= FlatJson::maxFields; ++i)
        manyFields += (i > 0 ? ",\"f" : "\"f") + std::to_string (i) + "\":1";
    manyFields += "}";

    for (const std::string& bad :
         { std::string(), std::string ("[]"), std::string ("\"t\""), std::string ("{"), std::string ("{\"t\":1"),
           std::string ("{\"t\":1}x"), std::string ("{\"t\":1,}"), std::string ("{t:1}"), std::string ("{'t':1}"),
           std::string ("{\"t\":1,\"t\":2}"), std::string ("{\"t\" 1}"), std::string ("{\"t\":tru}"),
           "{\"" + longKey + "\":1}", "{\"t\":\"" + longText + "\"}", manyFields, std::string ("{\"t\":1}\0", 8) })
        EXPECT_FALSE (FlatJson::parse (bad)) << bad;

    EXPECT_TRUE (FlatJson::parse ("{\"" + std::string (FlatJson::maxKeyLength, 'k') + "\":1}"));
}
