#include "DesktopScale.h"

#include <gtest/gtest.h>

using desktopscale::announcedFactor;

TEST (DesktopScale, WholeNumberGdkScaleWinsOverTheXResources)
{
    EXPECT_DOUBLE_EQ (announcedFactor ("2", {}), 2.0);
    EXPECT_DOUBLE_EQ (announcedFactor (" 3\n", {}), 3.0);
    EXPECT_DOUBLE_EQ (announcedFactor ("2", "Xft.dpi:\t144\n"), 2.0);
    EXPECT_DOUBLE_EQ (announcedFactor ("1", "Xft.dpi:\t192\n"), 1.0);
}

TEST (DesktopScale, XftDpiCountsWhenGdkScaleIsAbsentOrUnreadable)
{
    const juce::String resources = "Xft.antialias:\t1\nXft.dpi:\t192\nXft.hinting:\t1\n";
    for (const char* unreadable : { (const char*) nullptr, "", "0", "-2", "1.5", "two", "2x" })
        EXPECT_DOUBLE_EQ (announcedFactor (unreadable, resources), 2.0) << (unreadable ? unreadable : "(unset)");

    EXPECT_DOUBLE_EQ (announcedFactor (nullptr, "Xft.dpi: 144"), 1.5);
    EXPECT_DOUBLE_EQ (announcedFactor (nullptr, "*customization:\t-color\nXft.dpi:\t96\n"), 1.0);
}

TEST (DesktopScale, StraySettingsNeitherShrinkNorBlowUpTheWindow)
{
    EXPECT_DOUBLE_EQ (announcedFactor (nullptr, {}), 1.0);
    EXPECT_DOUBLE_EQ (announcedFactor (nullptr, "Xft.dpi:\t72\n"), 1.0);
    EXPECT_DOUBLE_EQ (announcedFactor (nullptr, "Xft.dpi:\tlarge\n"), 1.0);
    EXPECT_DOUBLE_EQ (announcedFactor (nullptr, "Xft.dpi:\n"), 1.0);
    EXPECT_DOUBLE_EQ (announcedFactor (nullptr, "Xft.dpi:\t9600\n"), 4.0);
    EXPECT_DOUBLE_EQ (announcedFactor ("64", {}), 4.0);
    EXPECT_DOUBLE_EQ (announcedFactor ("99999999999", {}), 1.0);
}
