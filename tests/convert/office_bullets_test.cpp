#include "convert/libreoffice/libreoffice_server.h"
#include "convert/libreoffice/office_process.h"
#include "convert/result_codes.h"
#include "tests/support/office_deck.h"
#include "tests/support/slide_pixels.h"
#include "tests/support/temp_folder.h"

#include <QImage>
#include <QRect>
#include <QString>
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <set>
#include <utility>

namespace fs = std::filesystem;

namespace {

// A bullet as decks set it in a symbol font, and the OpenSymbol character
// that the office's table for that font draws it with.
struct SymbolBullet
{
    const char* name;
    const char* font;
    char16_t code;
    char16_t openSymbol;
};

// The usual check mark, arrow, square, diamond and star of Wingdings, and
// the bullet and diamond of Symbol.
const SymbolBullet kBullets[] = {
    {"check mark", "Wingdings", 0xFC, 0xE4C2}, {"arrow", "Wingdings", 0xD8, 0xE49E},
    {"square", "Wingdings", 0xA7, 0xE46F},     {"diamond", "Wingdings", 0x76, 0xE441},
    {"star", "Wingdings", 0xAB, 0xE473},       {"bullet", "Symbol", 0xB7, 0xE12C},
    {"suit diamond", "Symbol", 0xA8, 0x2666},
};

std::string Utf8(char16_t character)
{
    return QString(QChar(character)).toStdString();
}

// A 40 pt text box at 2 cm from the top left corner, holding one paragraph.
std::string Page(const std::string& paragraph)
{
    return "<draw:page draw:master-page-name=\"Default\"><draw:frame draw:style-name=\"Box\" "
           "svg:x=\"2cm\" svg:y=\"2cm\" svg:width=\"28cm\" svg:height=\"16cm\"><draw:text-box>" +
           paragraph + "</draw:text-box></draw:frame></draw:page>\n";
}

// Two slides per bullet: a paragraph with the bullet, in the 3 cm before its
// text, and the OpenSymbol character as text where the bullet stands.
std::string BulletDeck()
{
    std::string lists;
    std::string pages;
    int number = 0;
    for (const SymbolBullet& bullet : kBullets) {
        const std::string list = "List" + std::to_string(++number);
        lists += "<text:list-style style:name=\"" + list +
                 "\"><text:list-level-style-bullet text:level=\"1\" text:bullet-char=\"" +
                 Utf8(0xF000 + bullet.code) +
                 "\"><style:list-level-properties text:space-before=\"0cm\" "
                 "text:min-label-width=\"3cm\"/><style:text-properties fo:font-family=\"" +
                 bullet.font +
                 "\" style:font-charset=\"x-symbol\" fo:font-size=\"100%\"/>"
                 "</text:list-level-style-bullet></text:list-style>\n";
        pages += Page("<text:list text:style-name=\"" + list +
                      "\"><text:list-item><text:p>Item</text:p></text:list-item></text:list>");
        pages += Page("<text:p><text:span text:style-name=\"OpenSymbol\">" +
                      Utf8(bullet.openSymbol) + "</text:span></text:p>");
    }
    return FlatPresentation(
        "<style:style style:name=\"Box\" style:family=\"graphic\"><style:graphic-properties "
        "draw:stroke=\"none\" draw:fill=\"none\"/><style:text-properties fo:font-size=\"40pt\" "
        "fo:font-family=\"Liberation Sans\"/></style:style>\n",
        "<style:style style:name=\"OpenSymbol\" style:family=\"text\"><style:text-properties "
        "fo:font-family=\"OpenSymbol\"/></style:style>\n" +
            lists,
        pages);
}

// The dark pixels of an area, as offsets from the top left corner of their
// bounding box.
struct Ink
{
    QSize size;
    std::set<std::pair<int, int>> pixels;
};

Ink InkIn(const QImage& slide, const QRect& area)
{
    std::set<std::pair<int, int>> dark;
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(slide.pixel(x, y)) < 128) {
                dark.emplace(x, y);
                box |= QRect(x, y, 1, 1);
            }
        }
    }
    Ink ink{box.size(), {}};
    for (const auto& [x, y] : dark)
        ink.pixels.emplace(x - box.left(), y - box.top());
    return ink;
}

// What a missing glyph looks like: a box with no ink inside its edge.
bool IsEmptyRectangle(const Ink& ink)
{
    const QRect inside = QRect(QPoint(0, 0), ink.size).adjusted(4, 4, -4, -4);
    return std::none_of(ink.pixels.begin(), ink.pixels.end(), [&inside](const auto& pixel) {
        return inside.contains(pixel.first, pixel.second);
    });
}

// The share of the dark pixels of both that both have.
double Overlap(const Ink& one, const Ink& other)
{
    std::set<std::pair<int, int>> both = one.pixels;
    both.insert(other.pixels.begin(), other.pixels.end());
    const std::size_t shared = one.pixels.size() + other.pixels.size() - both.size();
    return both.empty() ? 0.0 : static_cast<double>(shared) / static_cast<double>(both.size());
}

} // namespace

TEST(OfficeSymbolBullets, WingdingsAndSymbolBulletsAreDrawnWithOpenSymbolsGlyphs)
{
    LibreOfficeServer::Instance().SetLaneCount(1);
    TempFolder folder;
    const fs::path deck = SaveAsDeck(BulletDeck(), folder.Path(), "bullets", "pptx");
    ASSERT_FALSE(deck.empty()) << "LibreOffice did not save the deck";
    const fs::path images = folder / "images";
    ASSERT_EQ(RESULT_SUCCESS, ExportSlides(deck, images));

    // The 3 cm before the text at 40 pixels a centimetre, and one line.
    const QRect bulletArea(80, 80, 120, 160);
    const int slides = 2 * static_cast<int>(std::size(kBullets));
    int slide = 0;
    for (const SymbolBullet& bullet : kBullets) {
        SCOPED_TRACE(std::string(bullet.font) + " " + bullet.name);
        const QImage bulleted = SlidePixels(images, ++slide, slides);
        const QImage glyph = SlidePixels(images, ++slide, slides);
        ASSERT_FALSE(bulleted.isNull() || glyph.isNull()) << "a slide did not decode";
        const Ink drawn = InkIn(bulleted, bulletArea);
        const Ink expected = InkIn(glyph, bulletArea);
        ASSERT_FALSE(drawn.pixels.empty()) << "no bullet";
        EXPECT_FALSE(IsEmptyRectangle(drawn)) << "a box where the glyph is missing";
        // The same outline, but for the edge pixels where the two fall apart
        // on the pixel grid.
        EXPECT_LT(0.75, Overlap(drawn, expected));
    }
    EXPECT_EQ(0, office::FindAnyOfficeProcess()) << "an office was left running";
}
