// The argument rules every backend's DirectDrawCreate and QueryInterface start with.
#include "ddraw_arguments.h"

#include <gtest/gtest.h>

namespace {

// Any non-null address stands for a caller's record; the checks never read through it.
int someRecord = 0;

TEST(DDrawArguments, CreateNeedsAnOutPointerAndClearsItBeforeAnyOtherRefusal) {
    EXPECT_EQ(platform::CheckCreateArguments(nullptr, nullptr, nullptr), DDERR_INVALIDPARAMS);

    auto* stale = reinterpret_cast<LPDIRECTDRAW>(&someRecord);
    LPDIRECTDRAW out = stale;
    const auto* outer = reinterpret_cast<const IUnknown*>(&someRecord);
    EXPECT_EQ(platform::CheckCreateArguments(nullptr, &out, outer), DDERR_INVALIDPARAMS);
    EXPECT_EQ(out, nullptr);

    out = stale;
    EXPECT_EQ(platform::CheckCreateArguments(&IID_IDirectDraw4, &out, nullptr),
              DDERR_INVALIDDIRECTDRAWGUID);
    EXPECT_EQ(out, nullptr);

    out = stale;
    EXPECT_EQ(platform::CheckCreateArguments(nullptr, &out, nullptr), DD_OK);
    EXPECT_EQ(out, nullptr);
}

TEST(DDrawArguments, QueryOffersOnlyTheVersionFourInterface) {
    EXPECT_EQ(platform::CheckQueryArguments(IID_IDirectDraw4, nullptr), DDERR_INVALIDPARAMS);

    LPVOID out = &someRecord;
    EXPECT_EQ(platform::CheckQueryArguments(IID_IDirectDraw4, &out), DD_OK);
    EXPECT_EQ(out, nullptr);

    GUID other = IID_IDirectDraw4;
    other.Data1 ^= 1;
    out = &someRecord;
    EXPECT_EQ(platform::CheckQueryArguments(other, &out), E_NOINTERFACE);
    EXPECT_EQ(out, nullptr);
}

} // namespace
