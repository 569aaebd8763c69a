#include "dialogs/coderini.h"

#include <gtest/gtest.h>

#include <map>

#include "../support/tempdir.h"
#include "dialogs/editoroptions.h"
#include "dialogs/inifile.h"

namespace tarvel {
namespace {

std::string shippedDefaults() {
    return test::readFile(std::string(TARVEL_SOURCE_DIR) + "/resources/Coder.ini");
}

TEST(IniFile, ReadsLikeTheProfileFunctions) {
    const IniFile ini = IniFile::parse(
        "; comment\r\n"
        "[Colors]\r\n"
        "  CLR0BG = 12  \r\n"
        "clr0bg=99\r\n"  // the first of two equal keys counts
        "q=\"quoted\"\r\n"
        "one=\"\r\n"
        "[keywords]\n"
        "k1=" +
        std::string(300, 'x') + "\n");
    EXPECT_EQ(ini.value("colors", "clr0bg"), "12");
    EXPECT_EQ(ini.value("Colors", "q"), "quoted");
    EXPECT_EQ(ini.value("Colors", "one"), "\"");
    EXPECT_EQ(ini.value("keywords", "k1")->size(), IniFile::VALUE_LIMIT);
    EXPECT_EQ(ini.value("Colors", "missing"), std::nullopt);
    EXPECT_EQ(ini.value("Nowhere", "k1"), std::nullopt);
}

TEST(IniFile, WritingKeepsTheOtherLines) {
    IniFile ini = IniFile::parse("; keep me\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    ini.setValue("a", "x", "5");
    ini.setValue("A", "z", "6");
    ini.setValue("C", "w", "7");
    EXPECT_EQ(ini.text(), "; keep me\r\n[A]\r\nx=5\r\nz=6\r\n\r\n[B]\r\ny=2\r\n\r\n[C]\r\nw=7\r\n");
}

TEST(CoderIni, NumbersAsTheFileMayHoldThem) {
    const struct {
        const char* text;
        std::optional<std::int32_t> value;
    } cases[] = {
        {"-1", -1},
        {" 255 ", 255},
        {"&HFF0000", 0xFF0000},
        {"&hffffffff", -1},
        {"", std::nullopt},
        {"12a", std::nullopt},
        {"&H", std::nullopt},
        {"99999999999", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(CoderIni::parseNumber(c.text), c.value);
    }
}

TEST(CoderIni, ShippedFileHoldsTheDefaultTableAndTheLists) {
    const IniFile ini = IniFile::parse(shippedDefaults());
    EXPECT_EQ(CoderIni::readColours(ini), CoderIni::defaultColours());
    const CoderLanguage language = CoderIni::readLanguage(ini);
    EXPECT_TRUE(language[LL_KEYWORDS].starts_with("auto\nbreak\ncase\n"));
    EXPECT_EQ(language[LL_SINGLE_LINE_COMMENTS], "//");
    EXPECT_EQ(language[LL_STRING_DELIMS], "\"\n'");
    EXPECT_EQ(language[LL_TAG_ENTITIES], "");  // a missing section is an empty list
}

TEST(CoderIni, MissingFileFallsBackToTheShippedDefaults) {
    const auto loaded = CoderIni::load(std::nullopt, shippedDefaults());
    EXPECT_TRUE(loaded.damaged);
    EXPECT_EQ(loaded.colours, CoderIni::defaultColours());
    EXPECT_FALSE(loaded.language[LL_KEYWORDS].empty());
    EXPECT_EQ(CoderIni::readColours(IniFile::parse(loaded.repairedText)),
              CoderIni::defaultColours());
}

TEST(CoderIni, DamagedTableIsReplacedAndTheListsAreKept) {
    IniFile ini = IniFile::parse("[keywords]\r\nk1=motor\r\nk2=\r\nk3=never\r\n");
    ColourTable custom = CoderIni::defaultColours();
    custom[5].fr = 0x123456;
    CoderIni::writeColours(ini, custom);

    const auto good = CoderIni::load(ini.text(), shippedDefaults());
    EXPECT_FALSE(good.damaged);
    EXPECT_EQ(good.colours[5].fr, 0x123456);
    EXPECT_EQ(good.language[LL_KEYWORDS], "motor");  // the list stops at the empty k2

    for (const char* bad : {"", "blue"}) {
        SCOPED_TRACE(bad);
        IniFile damaged = ini;
        damaged.setValue("Colors", "clr17fnt", bad);
        const auto loaded = CoderIni::load(damaged.text(), shippedDefaults());
        EXPECT_TRUE(loaded.damaged);
        EXPECT_EQ(loaded.colours, CoderIni::defaultColours());
        const IniFile repaired = IniFile::parse(loaded.repairedText);
        EXPECT_EQ(CoderIni::readColours(repaired), CoderIni::defaultColours());
        EXPECT_EQ(repaired.value("keywords", "k1"), "motor");
    }
}

TEST(EditorOptions, StoredValuesAndTheirDefaults) {
    std::map<std::string, std::string, std::less<>> store{
        {"fontSize", "12"},          {"tabSize", "99999"},  // out of 16-bit range: default
        {"expandTabs", "false"},     {"lineNumbering", "maybe"},
        {"displayWhiteSpace", "-1"}, {"fontName", "Mono"},
    };
    auto reader = [&store](std::string_view key) -> std::optional<std::string> {
        const auto it = store.find(key);
        return it == store.end() ? std::nullopt : std::optional<std::string>(it->second);
    };
    const EditorOptions o = EditorOptions::read(reader);
    EXPECT_EQ(o.fontSize, 12);
    EXPECT_EQ(o.tabSize, 4);
    EXPECT_FALSE(o.expandTabs);
    EXPECT_TRUE(o.lineNumbering);
    EXPECT_TRUE(o.displayWhiteSpace);
    EXPECT_EQ(o.fontName, "Mono");
    EXPECT_TRUE(o.overtypeCaret);

    std::map<std::string, std::string, std::less<>> written;
    o.write([&written](std::string_view key, const std::string& value) {
        written[std::string(key)] = value;
    });
    EXPECT_EQ(written.size(), 19u);
    EXPECT_EQ(written["expandTabs"], "False");
    EXPECT_EQ(written["normalizeCase"], "False");
    store = written;
    EXPECT_EQ(EditorOptions::read(reader), o);
}

}  // namespace
}  // namespace tarvel
