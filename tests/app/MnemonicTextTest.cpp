// Copyright (c) 2026 The Vostrel developers. MIT licence.
#include "app/MnemonicText.h"

#include <gtest/gtest.h>

namespace {

wxString U8(const char* text)
{
    return wxString::FromUTF8(text);
}

TEST(MnemonicTextTest, StrippingLeavesThePlainTextAndLiteralAmpersands)
{
    const struct {
        const char* label;
        const char* plain;
        wxChar letter;
    } cases[] = {
        {"&Yes", "Yes", 'y'},
        {"Save &As...", "Save As...", 'a'},
        {"写入设备(&W)", "写入设备", 'w'},
        {"名称(&N):", "名称:", 'n'},
        {"否（&N）", "否", 'n'},  // the full-width brackets of Chinese text
        {"sudo apt update && sudo apt install vostrel", "sudo apt update && sudo apt install vostrel", 0},
        {"Save && &Quit", "Save && Quit", 'q'},
        {"100 &", "100 &", 0},
        {"&", "&", 0},
        {"", "", 0},
        {"&7 bits", "7 bits", '7'},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(U8(c.plain), StripMnemonic(U8(c.label))) << c.label;
        EXPECT_EQ(c.letter, MnemonicOf(U8(c.label))) << c.label;
    }
}

// Labels given one after another in one window: each gets a letter the earlier ones
// did not take.
TEST(MnemonicTextTest, EachLabelOfAWindowGetsAFreeLetterPreferringItsOwnMarkAndWordInitials)
{
    const struct {
        const char* label;
        const char* result;
    } window[] = {
        {"&No", "&No"},
        {"Write to scanner", "&Write to scanner"},
        {"Read from scanner", "&Read from scanner"},
        {"Save as", "&Save as"},
        {"Show &all", "Show &all"},
        {"&Next", "N&ext"},  // its own letter was taken by "&No": the next free one
        {"Send", "Sen&d"},
        {"写入设备(&W)", "写入设备(&B)"},  // W is taken; (&A) is, too, by "Show &all"
        {"名称:", "名称(&C):"},
        {"Fish && chips", "&Fish && chips"},
        {"导出...", "导出(&G)..."},
        {">>", ">>(&H)"},
    };
    std::set<wxChar> taken;
    for (const auto& row : window)
        EXPECT_EQ(U8(row.result), WithMnemonic(U8(row.label), taken)) << row.label;
}

TEST(MnemonicTextTest, ALabelWhoseLettersAreAllTakenGetsNoneAndNothingIsGivenTwice)
{
    std::set<wxChar> taken;
    EXPECT_EQ("&Ab", WithMnemonic("Ab", taken));
    EXPECT_EQ("A&b", WithMnemonic("Ab", taken));
    EXPECT_EQ("Ab", WithMnemonic("Ab", taken));
    // The other 34 go to labels without Latin letters; after that none is left.
    for (int i = 0; i < 34; ++i)
        EXPECT_NE(0, MnemonicOf(WithMnemonic(U8("确定"), taken))) << i;
    EXPECT_EQ(36u, taken.size());
    EXPECT_EQ(U8("确定"), WithMnemonic(U8("确定"), taken));
    EXPECT_EQ(U8("确定"), WithMnemonic(U8("确定(&Q)"), taken));
}

}  // namespace
