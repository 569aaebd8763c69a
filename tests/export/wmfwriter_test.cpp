#include "export/wmfwriter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <map>
#include <sstream>
#include <stdexcept>

namespace tarvel {
namespace {

constexpr std::uint16_t META_EOF = 0x0000;
constexpr std::uint16_t META_SETBKMODE = 0x0102;
constexpr std::uint16_t META_SETMAPMODE = 0x0103;
constexpr std::uint16_t META_SELECTOBJECT = 0x012D;
constexpr std::uint16_t META_SETTEXTALIGN = 0x012E;
constexpr std::uint16_t META_DELETEOBJECT = 0x01F0;
constexpr std::uint16_t META_SETTEXTCOLOR = 0x0209;
constexpr std::uint16_t META_SETWINDOWORG = 0x020B;
constexpr std::uint16_t META_SETWINDOWEXT = 0x020C;
constexpr std::uint16_t META_CREATEPENINDIRECT = 0x02FA;
constexpr std::uint16_t META_CREATEFONTINDIRECT = 0x02FB;
constexpr std::uint16_t META_CREATEBRUSHINDIRECT = 0x02FC;
constexpr std::uint16_t META_POLYGON = 0x0324;
constexpr std::uint16_t META_POLYLINE = 0x0325;
constexpr std::uint16_t META_ELLIPSE = 0x0418;
constexpr std::uint16_t META_RECTANGLE = 0x041B;
constexpr std::uint16_t META_ROUNDRECT = 0x061C;
constexpr std::uint16_t META_EXTTEXTOUT = 0x0A32;

struct WmfRecord {
    std::uint32_t words = 0;
    std::uint16_t function = 0;
    std::vector<std::uint16_t> params;
};

// The fields of a placeable metafile and its records, read the way a player
// reads them. Malformed files throw, which fails the test that reads them.
struct WmfFile {
    std::uint32_t key = 0;
    std::array<std::int16_t, 4> box{};  // left, top, right, bottom
    std::uint16_t unitsPerInch = 0;
    std::uint16_t checksum = 0;
    std::uint16_t expectedChecksum = 0;
    std::uint16_t type = 0;
    std::uint16_t headerWords = 0;
    std::uint16_t version = 0;
    std::uint32_t sizeWords = 0;
    std::uint16_t objects = 0;
    std::uint32_t maxRecordWords = 0;
    std::vector<WmfRecord> records;  // the end record included

    std::vector<WmfRecord> withFunction(std::uint16_t function) const {
        std::vector<WmfRecord> found;
        std::copy_if(records.begin(), records.end(), std::back_inserter(found),
                     [&](const WmfRecord& r) { return r.function == function; });
        return found;
    }
};

std::uint16_t wordAt(const std::string& bytes, std::size_t pos) {
    if (pos + 2 > bytes.size()) {
        throw std::runtime_error("read past the end at " + std::to_string(pos));
    }
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[pos]) |
                                      static_cast<unsigned char>(bytes[pos + 1]) << 8);
}

std::uint32_t dwordAt(const std::string& bytes, std::size_t pos) {
    return wordAt(bytes, pos) | static_cast<std::uint32_t>(wordAt(bytes, pos + 2)) << 16;
}

std::int16_t sword(std::uint16_t w) {
    return static_cast<std::int16_t>(w);
}

WmfFile parseWmf(const std::string& bytes) {
    WmfFile f;
    f.key = dwordAt(bytes, 0);
    for (std::size_t i = 0; i < 4; ++i) {
        f.box[i] = sword(wordAt(bytes, 6 + 2 * i));
    }
    f.unitsPerInch = wordAt(bytes, 14);
    f.checksum = wordAt(bytes, 20);
    for (std::size_t pos = 0; pos < 20; pos += 2) {
        f.expectedChecksum ^= wordAt(bytes, pos);
    }
    f.type = wordAt(bytes, 22);
    f.headerWords = wordAt(bytes, 24);
    f.version = wordAt(bytes, 26);
    f.sizeWords = dwordAt(bytes, 28);
    f.objects = wordAt(bytes, 32);
    f.maxRecordWords = dwordAt(bytes, 34);
    std::size_t pos = 22 + 2 * std::size_t{f.headerWords};
    while (f.records.empty() || f.records.back().function != META_EOF) {
        WmfRecord r;
        r.words = dwordAt(bytes, pos);
        if (r.words < 3 || pos + 2 * std::size_t{r.words} > bytes.size()) {
            throw std::runtime_error("bad record size at " + std::to_string(pos));
        }
        r.function = wordAt(bytes, pos + 4);
        for (std::size_t p = pos + 6; p < pos + 2 * r.words; p += 2) {
            r.params.push_back(wordAt(bytes, p));
        }
        pos += 2 * r.words;
        f.records.push_back(std::move(r));
    }
    if (pos != bytes.size()) {
        throw std::runtime_error("bytes after the end record");
    }
    return f;
}

// Plays the object records as a player does: a created object takes the
// lowest free slot, selecting or deleting names a live object, and a selected
// object is never deleted. Returns the size the object table reached.
std::size_t playObjects(const WmfFile& f) {
    std::vector<int> slots;  // kind (create function) per slot, 0 when free
    std::map<int, int> selected;
    for (const WmfRecord& r : f.records) {
        switch (r.function) {
            case META_CREATEPENINDIRECT:
            case META_CREATEBRUSHINDIRECT:
            case META_CREATEFONTINDIRECT: {
                const auto free = std::find(slots.begin(), slots.end(), 0);
                if (free == slots.end()) {
                    slots.push_back(r.function);
                } else {
                    *free = r.function;
                }
                break;
            }
            case META_SELECTOBJECT: {
                const std::size_t slot = r.params.at(0);
                EXPECT_TRUE(slot < slots.size() && slots[slot] != 0) << "select " << slot;
                if (slot < slots.size()) {
                    selected[slots[slot]] = static_cast<int>(slot);
                }
                break;
            }
            case META_DELETEOBJECT: {
                const std::size_t slot = r.params.at(0);
                EXPECT_TRUE(slot < slots.size() && slots[slot] != 0) << "delete " << slot;
                if (slot < slots.size()) {
                    EXPECT_NE(selected[slots[slot]], static_cast<int>(slot)) << "deletes selected";
                    slots[slot] = 0;
                }
                break;
            }
        }
    }
    return slots.size();
}

RectF bounds(float width, float height) {
    return {0, 0, width, height};
}

// A little of everything: every kind of shape, two pens, a text.
void drawSample(Canvas& c) {
    c.setPen({rgb(255, 0, 0), 30, LineStyle::Solid});
    c.setBrush({rgb(0, 0, 255), true});
    c.drawRectangle({100, 100, 1000, 500});
    c.setPen({rgb(0, 128, 0), 15, LineStyle::Dash});
    c.setBrush({0, false});
    c.drawEllipse({1200, 100, 800, 500});
    c.drawRoundedRectangle({100, 800, 1000, 500}, 100, 60);
    c.drawPolyline({{100, 1500}, {1000, 1600}, {2000, 1500}});
    c.drawPolygon({{2100, 100}, {2500, 600}, {2100, 600}});
    Font font;
    font.name = "Arial";
    font.size = 12;
    c.setFont(font);
    c.setTextColor(rgb(255, 0, 0));
    c.drawText({200, 2000}, "Gr\xC3\xBC\xC3\x9F \xE2\x82\xAC!");
}

TEST(WmfWriter, HeadersDescribeTheFileExactly) {
    WmfWriter writer(bounds(4000, 3000));
    drawSample(writer);
    const std::string bytes = writer.finish();
    const WmfFile f = parseWmf(bytes);

    EXPECT_EQ(f.key, 0x9AC6CDD7u);
    EXPECT_EQ(f.box, (std::array<std::int16_t, 4>{0, 0, 4000, 3000}));
    EXPECT_EQ(f.unitsPerInch, 1440);
    EXPECT_EQ(f.checksum, f.expectedChecksum);
    EXPECT_EQ(f.type, 1);
    EXPECT_EQ(f.headerWords, 9);
    EXPECT_EQ(f.version, 0x0300);
    // The size counts the metafile after the 22-byte placeable header.
    EXPECT_EQ(22 + 2 * std::size_t{f.sizeWords}, bytes.size());
    std::uint32_t largest = 0;
    for (const WmfRecord& r : f.records) {
        largest = std::max(largest, r.words);
    }
    EXPECT_EQ(f.maxRecordWords, largest);
    EXPECT_EQ(f.objects, playObjects(f));

    // The mapping comes first: twips, the picture's extent, y before x.
    ASSERT_GE(f.records.size(), 6u);
    EXPECT_EQ(f.records[0].function, META_SETMAPMODE);
    EXPECT_EQ(f.records[0].params, std::vector<std::uint16_t>{8});
    EXPECT_EQ(f.records[1].function, META_SETWINDOWORG);
    EXPECT_EQ(f.records[1].params, (std::vector<std::uint16_t>{0, 0}));
    EXPECT_EQ(f.records[2].function, META_SETWINDOWEXT);
    EXPECT_EQ(f.records[2].params, (std::vector<std::uint16_t>{3000, 4000}));
    EXPECT_EQ(f.records[3].function, META_SETBKMODE);
    EXPECT_EQ(f.records[3].params, std::vector<std::uint16_t>{1});
    EXPECT_EQ(f.records[4].function, META_SETTEXTALIGN);
    EXPECT_EQ(f.records[4].params, std::vector<std::uint16_t>{0});
    EXPECT_EQ(f.records.back().words, 3u);

    // Finishing twice gives the same file.
    EXPECT_EQ(writer.finish(), bytes);
}

TEST(WmfWriter, EmptyPictureIsAValidSmallFile) {
    const std::string bytes = WmfWriter(bounds(0, 0)).finish();
    const WmfFile f = parseWmf(bytes);
    EXPECT_EQ(f.checksum, f.expectedChecksum);
    EXPECT_EQ(22 + 2 * std::size_t{f.sizeWords}, bytes.size());
    EXPECT_EQ(f.objects, 0);
    EXPECT_EQ(f.records.size(), 6u);  // the mapping and the end record
    EXPECT_LT(bytes.size(), 100u);
    // A zero extent would make players divide by zero.
    EXPECT_EQ(f.box, (std::array<std::int16_t, 4>{0, 0, 1, 1}));
    EXPECT_EQ(f.records[2].params, (std::vector<std::uint16_t>{1, 1}));
}

TEST(WmfWriter, ObjectTableStaysSmallWhateverTheChanges) {
    WmfWriter writer(bounds(10000, 10000));
    for (int i = 0; i < 2000; ++i) {
        writer.setPen({static_cast<Color>(i), 15, LineStyle::Solid});
        writer.setBrush({static_cast<Color>(i), i % 3 != 0});
        Font font;
        font.size = static_cast<float>(8 + i % 5);
        writer.setFont(font);
        writer.drawRectangle({0, 0, 100, 100});
        writer.drawText({0, 0}, "x");
    }
    const WmfFile f = parseWmf(writer.finish());
    const std::size_t table = playObjects(f);
    EXPECT_EQ(f.objects, table);
    // One pen, brush and font each, and one new object while it replaces its predecessor.
    EXPECT_LE(table, 4u);
    EXPECT_EQ(f.withFunction(META_DELETEOBJECT).size(),
              f.withFunction(META_CREATEPENINDIRECT).size() +
                  f.withFunction(META_CREATEBRUSHINDIRECT).size() +
                  f.withFunction(META_CREATEFONTINDIRECT).size() - 3);
}

TEST(WmfWriter, OnlyChangesThatShowAreWritten) {
    WmfWriter writer(bounds(1000, 1000));
    for (int i = 0; i < 5; ++i) {
        // 15 and 15.2 twips are the same width in the file.
        writer.setPen({rgb(1, 2, 3), i % 2 == 0 ? 15.0f : 15.2f, LineStyle::Solid});
        writer.setTextColor(rgb(4, 5, 6));
        writer.drawPolyline({{0, 0}, {10, 10}});
        writer.drawText({0, 0}, "a");
    }
    // Set but never used before the end.
    writer.setPen({rgb(9, 9, 9), 15, LineStyle::Solid});
    writer.setBrush({rgb(9, 9, 9), true});
    const WmfFile f = parseWmf(writer.finish());
    EXPECT_EQ(f.withFunction(META_CREATEPENINDIRECT).size(), 1u);
    EXPECT_EQ(f.withFunction(META_CREATEBRUSHINDIRECT).size(), 0u);  // lines need no brush
    EXPECT_EQ(f.withFunction(META_CREATEFONTINDIRECT).size(), 1u);
    EXPECT_EQ(f.withFunction(META_SETTEXTCOLOR).size(), 1u);
    EXPECT_EQ(f.withFunction(META_DELETEOBJECT).size(), 0u);
}

TEST(WmfWriter, PenRecords) {
    // Styled pens are written 0 wide: one device pixel at any scale, the only
    // width at which players keep the pattern.
    const struct {
        Pen pen;
        std::vector<std::uint16_t> params;  // style, width, 0, colour
    } cases[] = {
        {{rgb(1, 2, 3), 30, LineStyle::Solid}, {0, 30, 0, 0x0201, 0x0003}},
        {{rgb(1, 2, 3), 0.3f, LineStyle::Solid}, {0, 0, 0, 0x0201, 0x0003}},
        {{rgb(1, 2, 3), -4, LineStyle::Solid}, {0, 0, 0, 0x0201, 0x0003}},
        {{0, 30, LineStyle::Dash}, {1, 0, 0, 0, 0}},
        {{0, 30, LineStyle::Dot}, {2, 0, 0, 0, 0}},
        {{0, 30, LineStyle::DashDot}, {3, 0, 0, 0, 0}},
        {{0, 30, LineStyle::DashDotDot}, {4, 0, 0, 0, 0}},
        {{0, 30, LineStyle::None}, {5, 0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        WmfWriter writer(bounds(1000, 1000));
        writer.setPen(c.pen);
        writer.drawPolyline({{0, 0}, {10, 10}});
        const auto pens = parseWmf(writer.finish()).withFunction(META_CREATEPENINDIRECT);
        ASSERT_EQ(pens.size(), 1u);
        EXPECT_EQ(pens[0].params, c.params) << static_cast<int>(c.pen.style) << " " << c.pen.width;
    }
}

TEST(WmfWriter, BrushAndFontRecords) {
    WmfWriter writer(bounds(1000, 1000));
    writer.setBrush({rgb(0x11, 0x22, 0x33), true});
    writer.drawRectangle({0, 0, 10, 10});
    writer.setBrush({rgb(0x11, 0x22, 0x33), false});
    writer.drawRectangle({0, 0, 10, 10});
    Font font;
    font.name = "Se\xC3\xB1or";
    font.size = 12;
    font.bold = true;
    font.underline = true;
    writer.setFont(font);
    writer.drawText({0, 0}, "a");
    font.name = std::string(40, 'N');
    font.bold = false;
    font.italic = true;
    font.underline = false;
    font.strikeout = true;
    writer.setFont(font);
    writer.drawText({0, 0}, "a");
    const WmfFile f = parseWmf(writer.finish());

    const auto brushes = f.withFunction(META_CREATEBRUSHINDIRECT);
    ASSERT_EQ(brushes.size(), 2u);
    EXPECT_EQ(brushes[0].params, (std::vector<std::uint16_t>{0, 0x2211, 0x0033, 0}));
    EXPECT_EQ(brushes[1].params[0], 1);  // BS_NULL

    const auto fonts = f.withFunction(META_CREATEFONTINDIRECT);
    ASSERT_EQ(fonts.size(), 2u);
    // Height, width, escapement, orientation, weight, then byte pairs: italic
    // and underline, strikeout and charset, precisions, quality and family;
    // then the NUL-terminated face name padded to whole words.
    EXPECT_EQ(fonts[0].params,
              (std::vector<std::uint16_t>{static_cast<std::uint16_t>(-240), 0, 0, 0, 700, 0x0100, 0,
                                          0, 0, 0x6553, 0x6FF1, 0x0072}));
    ASSERT_EQ(fonts[1].params.size(), 9u + 16u);  // 31 letters and the NUL
    EXPECT_EQ(fonts[1].params[4], 400);
    EXPECT_EQ(fonts[1].params[5], 0x0001);
    EXPECT_EQ(fonts[1].params[6], 0x0001);
    EXPECT_EQ(fonts[1].params[24], 0x004E);
}

TEST(WmfWriter, ShapeRecordsCarryCoordinatesRelativeToTheBounds) {
    WmfWriter writer({1000, 2000, 3000, 3000});
    writer.drawRectangle({1100, 2200, 300, 400});
    writer.drawEllipse({1400, 2600, -300, -400});  // the same box, drawn from its other corner
    writer.drawRoundedRectangle({1100, 2200, 300, 400}, 50, -25);
    writer.drawPolygon({{1000, 2000}, {1500, 2500}, {1000, 2500}});
    writer.drawPolygon({{1000, 2000}});  // nothing to draw
    writer.drawPolyline({});
    writer.drawText({1010, 2020}, "\xCE\xA9xy");
    writer.drawText({0, 0}, "");
    const WmfFile f = parseWmf(writer.finish());

    // Boxes go bottom, right, top, left; the rounded one starts with its corner size.
    const std::vector<std::uint16_t> box = {600, 400, 200, 100};
    EXPECT_EQ(f.withFunction(META_RECTANGLE).at(0).params, box);
    EXPECT_EQ(f.withFunction(META_ELLIPSE).at(0).params, box);
    EXPECT_EQ(f.withFunction(META_ROUNDRECT).at(0).params,
              (std::vector<std::uint16_t>{50, 100, 600, 400, 200, 100}));
    const auto polygons = f.withFunction(META_POLYGON);
    ASSERT_EQ(polygons.size(), 1u);
    EXPECT_EQ(polygons[0].params, (std::vector<std::uint16_t>{3, 0, 0, 500, 500, 0, 500}));
    EXPECT_TRUE(f.withFunction(META_POLYLINE).empty());
    const auto texts = f.withFunction(META_EXTTEXTOUT);
    ASSERT_EQ(texts.size(), 1u);
    // y, x, length, options, then the windows-1252 bytes padded to a word.
    EXPECT_EQ(texts[0].params, (std::vector<std::uint16_t>{20, 10, 3, 0, 0x783F, 0x0079}));
}

TEST(WmfWriter, CoordinatesOutsideTheRangeAreClampedNotWrapped) {
    WmfWriter writer(bounds(1000, 1000));
    const float nan = std::numeric_limits<float>::quiet_NaN();
    writer.drawPolyline({{40000, -40000}, {nan, 1e30f}});
    const auto lines = parseWmf(writer.finish()).withFunction(META_POLYLINE);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].params, (std::vector<std::uint16_t>{2, 32767, 0x8000, 0, 32767}));
}

TEST(WmfWriter, LargeBoundsAreScaledToKeepThePhysicalSize) {
    const struct {
        float width;
        float height;
        int unitsPerInch;
    } cases[] = {
        {32767, 100, 1440},    // still fits
        {100, 32768, 1439},    // just too tall
        {100000, 50000, 471},  // 1440 * 32767 / 100000 = 471.8
        {2e9f, 2e9f, 1},       // no coarser unit: what lies beyond is clamped
    };
    for (const auto& c : cases) {
        WmfWriter writer(bounds(c.width, c.height));
        writer.drawRectangle(bounds(c.width, c.height));
        const WmfFile f = parseWmf(writer.finish());
        EXPECT_EQ(f.unitsPerInch, c.unitsPerInch) << c.width;
        EXPECT_EQ(writer.unitsPerInch(), c.unitsPerInch);
        // The box in inches is the bounds in inches, within rounding.
        const double scale = c.unitsPerInch / 1440.0;
        const double expectedRight = std::min(32767.0, std::round(c.width * scale));
        const double expectedBottom = std::min(32767.0, std::round(c.height * scale));
        EXPECT_EQ(f.box[2], expectedRight) << c.width;
        EXPECT_EQ(f.box[3], expectedBottom) << c.width;
        EXPECT_EQ(f.records[2].params,
                  (std::vector<std::uint16_t>{static_cast<std::uint16_t>(f.box[3]),
                                              static_cast<std::uint16_t>(f.box[2])}));
        // Drawing coordinates are scaled the same way: the picture's own
        // outline lands on the box.
        EXPECT_EQ(f.withFunction(META_RECTANGLE).at(0).params,
                  (std::vector<std::uint16_t>{static_cast<std::uint16_t>(f.box[3]),
                                              static_cast<std::uint16_t>(f.box[2]), 0, 0}));
    }
}

TEST(WmfWriter, FontHeightAndPenWidthFollowTheScale) {
    WmfWriter writer(bounds(65534, 100));  // half a unit per twip
    writer.setPen({0, 30, LineStyle::Solid});
    Font font;
    font.size = 10;
    writer.setFont(font);
    writer.drawPolyline({{0, 0}, {10, 10}});
    writer.drawText({0, 0}, "a");
    const WmfFile f = parseWmf(writer.finish());
    ASSERT_EQ(f.unitsPerInch, 720);
    EXPECT_EQ(f.withFunction(META_CREATEPENINDIRECT).at(0).params[1], 15);
    EXPECT_EQ(sword(f.withFunction(META_CREATEFONTINDIRECT).at(0).params[0]), -100);
}

TEST(WmfWriter, LongPolylinesContinueInConnectedRecords) {
    std::vector<PointF> points;
    for (int i = 0; i < 40000; ++i) {
        points.push_back({static_cast<float>(i % 1000), static_cast<float>(i / 1000)});
    }
    WmfWriter writer(bounds(1000, 1000));
    writer.drawPolyline(points);
    const auto lines = parseWmf(writer.finish()).withFunction(META_POLYLINE);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0].params[0], 32767);
    EXPECT_EQ(lines[1].params[0], 40000 - 32766);
    // The second record starts where the first ended.
    const auto& first = lines[0].params;
    EXPECT_EQ(lines[1].params[1], first[first.size() - 2]);
    EXPECT_EQ(lines[1].params[2], first[first.size() - 1]);
    EXPECT_EQ(lines[1].params[lines[1].params.size() - 2], 999);  // the last point: (999, 39)
    EXPECT_EQ(lines[1].params.back(), 39);

    // A polygon cannot be split without changing its fill.
    EXPECT_THROW(writer.drawPolygon(points), std::length_error);
}

std::string readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A folder of its own under the temporary folder, removed at the end.
class TemporaryFolder {
public:
    TemporaryFolder() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarvel-wmf-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            throw std::runtime_error("cannot create a temporary folder");
        }
        m_path = pattern;
    }
    ~TemporaryFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    const std::filesystem::path& path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

TEST(WmfWriter, AnIndependentReaderConvertsThePicture) {
    if (std::system("command -v wmf2svg >/dev/null 2>&1") != 0) {
        GTEST_SKIP() << "wmf2svg is not on the PATH";
    }
    const TemporaryFolder folder;
    WmfWriter writer(bounds(4000, 3000));
    drawSample(writer);
    std::ofstream(folder.path() / "in.wmf", std::ios::binary) << writer.finish();

    const std::string command = "wmf2svg -o '" + (folder.path() / "out.svg").string() + "' '" +
                                (folder.path() / "in.wmf").string() + "' 2>'" +
                                (folder.path() / "errors.txt").string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << readFile(folder.path() / "errors.txt");
    const std::string svg = readFile(folder.path() / "out.svg");
    EXPECT_NE(svg.find("<rect"), std::string::npos) << svg;
    EXPECT_NE(svg.find("<ellipse"), std::string::npos) << svg;
    EXPECT_NE(svg.find("<polyline"), std::string::npos) << svg;
    EXPECT_NE(svg.find("<polygon"), std::string::npos) << svg;
    EXPECT_NE(svg.find("fill:blue"), std::string::npos) << svg;
    EXPECT_NE(svg.find("stroke:red"), std::string::npos) << svg;
    // The converter copies the text's windows-1252 bytes as they are.
    EXPECT_NE(svg.find("Gr\xFC\xDF \x80!"), std::string::npos) << svg;
}

}  // namespace
}  // namespace tarvel
