// DDErrorTable against the result codes the platform's ddraw.h declares, DDErrorString's lookup,
// and the descriptions as they reach a failure message.
#include <cstdint>
#include <cstring>
#include <fstream>
#include <map>
#include <set>
#include <string>

#include <gtest/gtest.h>

#include "display/dd_errors.h"
#include "intro_test_support.h"

namespace {

// DD_OK and every DDERR_ name the stand-in ddraw.h declares, with its value: MAKE_DDHRESULT's
// codes worked out, and the names that stand for general COM codes followed to windows.h.
std::map<std::string, std::uint32_t> DeclaredResults() {
    // Every "constexpr HRESULT NAME = VALUE;" of the two headers.
    std::map<std::string, std::string> definitions;
    for (const char* header : {"windows.h", "ddraw.h"}) {
        std::ifstream in(std::string(ZARVO_STANDIN_HEADERS) + "/" + header);
        EXPECT_TRUE(in) << header;
        const std::string declaration = "constexpr HRESULT ";
        for (std::string line; std::getline(in, line);) {
            const std::size_t equals = line.find(" = ");
            if (line.rfind(declaration, 0) == 0 && equals != std::string::npos) {
                const std::size_t end = line.find(';', equals);
                definitions[line.substr(declaration.size(), equals - declaration.size())] =
                    line.substr(equals + 3, end - equals - 3);
            }
        }
    }
    const std::string directDrawCode = "MAKE_DDHRESULT(";
    const std::string hexCode = "static_cast<HRESULT>(";
    std::map<std::string, std::uint32_t> results;
    for (const auto& [name, definition] : definitions) {
        if (name != "DD_OK" && name.rfind("DDERR_", 0) != 0) {
            continue;
        }
        std::string value = definition;
        while (definitions.count(value) != 0) {
            value = definitions.at(value); // a name given to another code
        }
        if (value.rfind(directDrawCode, 0) == 0) {
            results[name] = 0x88760000u | std::stoul(value.substr(directDrawCode.size()));
        } else if (value.rfind(hexCode, 0) == 0) {
            results[name] =
                static_cast<std::uint32_t>(std::stoul(value.substr(hexCode.size()), nullptr, 16));
        } else {
            EXPECT_EQ(value, "0") << name << " = " << definition;
            results[name] = 0;
        }
    }
    return results;
}

TEST(DDErrorTableTest, DescribesEveryResultTheHeaderDeclaresInTheOrderOfItsName) {
    const std::map<std::string, std::uint32_t> declared = DeclaredResults();
    constexpr std::size_t kRows = std::size(DDErrorTable);
    ASSERT_EQ(declared.size(), kRows);
    EXPECT_EQ(DDErrorTable[0].code, DD_OK);

    // The map walks the names in order: the table's rows after DD_OK must follow it.
    std::size_t row = 1;
    int general = 0;
    for (const auto& [name, value] : declared) {
        if (name == "DD_OK") {
            continue;
        }
        EXPECT_EQ(static_cast<std::uint32_t>(DDErrorTable[row].code), value)
            << "row " << row + 1 << " should be " << name;
        ++row;
        // DirectDraw's own codes: severity bit, facility 0x876, a code number from 5 to 699;
        // the rest are the general COM codes DirectDraw gives its own names.
        const std::uint32_t number = value & 0xFFFFu;
        if ((value & 0xFFFF0000u) == 0x88760000u) {
            EXPECT_TRUE(number >= 5 && number <= 699) << name;
        } else {
            const std::set<std::uint32_t> com = {0x80004005u, 0x80070057u, 0x800401F0u, 0x8007000Eu,
                                                 0x80004001u};
            EXPECT_EQ(com.count(value), 1u) << name;
            ++general;
        }
    }
    EXPECT_EQ(general, 5);

    // One description per code, distinct from every other, on one line.
    std::set<std::string> texts;
    for (const DDErrorEntry& entry : DDErrorTable) {
        ASSERT_NE(entry.text, nullptr);
        EXPECT_GT(std::strlen(entry.text), 10u);
        EXPECT_EQ(std::strpbrk(entry.text, "\r\n"), nullptr) << entry.text;
        EXPECT_TRUE(texts.insert(entry.text).second) << entry.text;
        EXPECT_EQ(DDErrorString(entry.code), entry.text);
    }
}

TEST(DDErrorStringTest, UnknownCodesGiveTheFallback) {
    EXPECT_STREQ(DDErrorString(1), "( Unknown Error )");
    EXPECT_STREQ(DDErrorString(E_NOINTERFACE), "( Unknown Error )");
    // Only all 32 bits count: the low half of DDERR_SURFACELOST is not that code.
    EXPECT_STREQ(DDErrorString(0x000001C2), "( Unknown Error )");
    EXPECT_STREQ(DDErrorString(static_cast<HRESULT>(0x087601C2u)), "( Unknown Error )");
}

using DDErrorMessageTest = IntroTest;

// Whatever DirectDraw answers, the box shows its number and its whole description, and the
// advice after it: no description is cut off by the message buffer.
TEST_F(DDErrorMessageTest, EveryFailureMessageCarriesTheWholeDescriptionOfItsCode) {
    for (const DDErrorEntry& entry : DDErrorTable) {
        if (entry.code == DD_OK) {
            continue;
        }
        ResetIntroAndPlatform();
        fake::Script("SetCooperativeLevel", 1, entry.code);
        EXPECT_EQ(RunWinMain(), 0);
        ASSERT_EQ(fake::Boxes().size(), 1u) << entry.text;
        const std::string& text = fake::Boxes()[0].text;
        const std::string expected = "RC " +
                                     std::to_string(static_cast<std::uint32_t>(entry.code)) + " (" +
                                     entry.text + ").\r\nLamers: ";
        EXPECT_NE(text.find(expected), std::string::npos) << text;
        EXPECT_GT(text.size(), text.find(expected) + expected.size() + 10) << text;
    }
}

} // namespace
