// DDErrorTable's rows and DDErrorString's lookup.
#include <cstring>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "display/dd_errors.h"

namespace {

// The 111 codes DDErrorString knows, in the order of its table (0x00000000 first).
const unsigned kCodes[111] = {
    0x00000000, 0x88760005, 0x8876023E, 0x8876000A, 0x88760014, 0x88760249, 0x88760247, 0x887601B3,
    0x88760280, 0x88760294, 0x88760237, 0x88760190, 0x88760028, 0x8876026C, 0x887602BB, 0x88760232,
    0x88760037, 0x88760245, 0x887602B3, 0x80004005, 0x8876005A, 0x8876023B, 0x8876023A, 0x8876024C,
    0x8876005F, 0x88760064, 0x8876006E, 0x88760231, 0x88760078, 0x88760082, 0x80070057, 0x88760091,
    0x88760243, 0x88760096, 0x88760209, 0x88760250, 0x887600A0, 0x887602B2, 0x887600AA, 0x887600B4,
    0x8876023F, 0x887600CD, 0x88760238, 0x887600D2, 0x887600D7, 0x887600DC, 0x887600D4, 0x8876024A,
    0x88760240, 0x88760233, 0x887600DE, 0x88760235, 0x887600E1, 0x887600E6, 0x8876025A, 0x887600F0,
    0x88760239, 0x8876024F, 0x887600FA, 0x88760276, 0x88760258, 0x88760242, 0x88760104, 0x8876023C,
    0x8876023D, 0x88760118, 0x88760122, 0x88760136, 0x8876013C, 0x8876013D, 0x88760140, 0x88760244,
    0x8876014A, 0x88760246, 0x887600FF, 0x800401F0, 0x88760259, 0x88760248, 0x887602A8, 0x8876024D,
    0x8876014F, 0x88760154, 0x8876015E, 0x88760168, 0x8007000E, 0x8876017C, 0x8876010E, 0x8876017E,
    0x88760180, 0x88760241, 0x88760183, 0x88760234, 0x88760236, 0x8876019A, 0x887601A4, 0x887601AE,
    0x887601B8, 0x887601C2, 0x887601CC, 0x887601D6, 0x887601E0, 0x887601EA, 0x80004001, 0x887601FE,
    0x88760208, 0x8876024E, 0x88760219, 0x887602B7, 0x8876021C, 0x8876024B, 0x88760230,
};

struct QuotedRow {
    int row; // 1-based, as numbered in the table
    unsigned code;
    const char* text;
};

const QuotedRow kQuoted[] = {
    {1, 0x00000000, "The request completed successfully.."},
    {2, 0x88760005, "The object has already been initialized.."},
    {6, 0x88760249,
     "Windows can not create any more device contexts (DCs), or a DC was requested for a "
     "palette-indexed surface when the surface had no palette and the display mode was not "
     "palette-indexed (in this case DirectDraw cannot select a proper palette into the DC)."},
    {18, 0x88760245,
     "An attempt was made to set the cooperative level when it was already set to exclusive."},
    {20, 0x80004005, "There is an undefined error condition."},
    {29, 0x88760078, "DirectDraw does not support the requested mode."},
    {31, 0x80070057, "One or more of the parameters passed to the method are incorrect."},
    {35, 0x88760209, "The specified stream contains invalid data"},
    {38, 0x887602B2, "There is more data available than the specified buffer size can hold"},
    {47, 0x887600D4,
     "A create function is called without the IDirectDraw4::SetCooperativeLevel method being "
     "called."},
    {76, 0x800401F0,
     "An attempt was made to call an interface method of a DirectDraw object created by "
     "CoCreateInstance before the object was initialized."},
    {85, 0x8007000E, "DirectDraw does not have enough memory to perform the operation."},
    {86, 0x8876017C, "DirectDraw does not have enough display memory to perform the operation."},
    {98, 0x887601C2,
     "Access to the surface is refused because the surface memory is gone. Call the "
     "IDirectDrawSurface4::Restore method on this surface to restore the memory associated with "
     "it."},
    {103, 0x80004001, "The operation is not supported."},
    {106, 0x8876024E, "The display is currently in an unsupported mode."},
    {109, 0x8876021C,
     "The previous blit operation that is transferring information to or from this surface is "
     "incomplete."},
};

HRESULT Code(unsigned value) {
    return static_cast<HRESULT>(value);
}

TEST(DDErrorTableTest, HoldsTheCodesInTableOrder) {
    for (int row = 0; row < 111; ++row) {
        EXPECT_EQ(static_cast<unsigned>(DDErrorTable[row].code), kCodes[row]) << "row " << row + 1;
    }
}

TEST(DDErrorTableTest, QuotedRowsHoldTheirTextsExactly) {
    for (const QuotedRow& quoted : kQuoted) {
        const DDErrorEntry& entry = DDErrorTable[quoted.row - 1];
        EXPECT_EQ(static_cast<unsigned>(entry.code), quoted.code) << "row " << quoted.row;
        EXPECT_STREQ(entry.text, quoted.text) << "row " << quoted.row;
        EXPECT_STREQ(DDErrorString(Code(quoted.code)), quoted.text) << "row " << quoted.row;
    }
}

TEST(DDErrorTableTest, EveryTextIsOneShortLineAndEveryCodeIsFoundAtItsOwnRow) {
    std::set<unsigned> seen;
    for (const DDErrorEntry& entry : DDErrorTable) {
        ASSERT_NE(entry.text, nullptr);
        const size_t length = std::strlen(entry.text);
        EXPECT_GT(length, 10u);
        EXPECT_LE(length, 253u);
        EXPECT_EQ(std::strpbrk(entry.text, "\r\n"), nullptr);
        EXPECT_TRUE(seen.insert(static_cast<unsigned>(entry.code)).second);
        EXPECT_EQ(DDErrorString(entry.code), entry.text);
    }
    EXPECT_EQ(seen.size(), 111u);
}

TEST(DDErrorStringTest, UnknownCodesGiveTheFallback) {
    EXPECT_STREQ(DDErrorString(1), "( Unknown Error )");
    EXPECT_STREQ(DDErrorString(E_NOINTERFACE), "( Unknown Error )");
    // Only all 32 bits count: the low half of DDERR_SURFACELOST is not that code.
    EXPECT_STREQ(DDErrorString(0x000001C2), "( Unknown Error )");
    EXPECT_STREQ(DDErrorString(Code(0x087601C2)), "( Unknown Error )");
}

TEST(DDErrorStringTest, GeneralComCodesFindTheirDirectDrawNames) {
    EXPECT_STREQ(DDErrorString(E_NOTIMPL), "The operation is not supported.");
    EXPECT_STREQ(DDErrorString(E_FAIL), "There is an undefined error condition.");
    EXPECT_NE(std::strstr(DDErrorString(Code(0x887601C2)), "IDirectDrawSurface4::Restore"),
              nullptr);
}

} // namespace
