#include "framework/versiontext.h"

#include <gtest/gtest.h>

TEST(VersionQueryPath, LowerCaseHexOfTheFirstTranslation) {
    struct {
        uint16_t language, codePage;
        bool product;
        const wchar_t* expected;
    } cases[] = {
        {0x0411, 0x04B0, false, L"\\StringFileInfo\\041104b0\\FileVersion"},
        {0x0411, 0x03A4, false, L"\\StringFileInfo\\041103a4\\FileVersion"},
        {0x0411, 0x04B0, true, L"\\StringFileInfo\\041104b0\\ProductVersion"},
        {0xABCD, 0x0001, false, L"\\StringFileInfo\\abcd0001\\FileVersion"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(VersionQueryPath(c.language, c.codePage, VersionKey(c.product)), c.expected);
}
