// A window's image on the Qt backend: screen text in fixed fonts is drawn on a grid of
// whole-pixel cells, the width programs measure with; the fast kernel (glyph runs) draws the
// same pixels as the portable one (each character laid out at its cell), and runs it cannot
// draw go to the other. Scrolling moves the pixels of an area and leaves the rest.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <string>
#include <vector>

#include "platform/ui/gdi_api.h"
#include "platform/ui/qt/qt_surface.h"
#include "qt_test_support.h"

namespace farvane::ui::testing {
namespace {

LOGFONTA StockLogFont(int stockId) {
    LOGFONTA logFont;
    GetObjectA(GetStockObject(stockId), sizeof logFont, &logFont);
    return logFont;
}

QImage Blank() {
    QImage image(1200, 24, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

// Every printable Latin-1 character but the soft hyphen, in runs the width of an editor row.
std::vector<std::string> Runs() {
    std::string all;
    for (int c = 0x20; c < 0x100; ++c) {
        if (c < 0x7F || (c >= 0xA0 && c != 0xAD)) {
            all += static_cast<char>(c);
        }
    }
    std::vector<std::string> runs;
    for (std::size_t at = 0; at < all.size(); at += 100) {
        runs.push_back(all.substr(at, 100));
    }
    runs.push_back("    if (x == 0) {  // two  blanks");
    return runs;
}

TEST(QtScreenTextTest, BothKernelsDrawTheSamePixelsOnTheFontsCellGrid) {
    ASSERT_NE(StartQtBackend(), nullptr);
    for (int stockId : {SYSTEM_FIXED_FONT, ANSI_FIXED_FONT, OEM_FIXED_FONT}) {
        const qt::ScreenFont& font = qt::ScreenFontFor(StockLogFont(stockId), stockId);
        ASSERT_GT(font.cellAdvance, 0) << "stock font " << stockId << " is fixed";
        // The cells are as wide as the metrics the programs place carets and clicks by.
        EXPECT_EQ(font.cellAdvance, font.metrics.tmAveCharWidth);
        for (const std::string& run : Runs()) {
            QImage portable = Blank();
            QImage fast = Blank();
            {
                QPainter painter(&portable);
                painter.setPen(Qt::black);
                qt::DrawCellByCell(painter, 3, 2, run, font);
            }
            {
                QPainter painter(&fast);
                painter.setPen(Qt::black);
                ASSERT_TRUE(qt::DrawOnCellGrid(painter, 3, 2, run, font));
            }
            EXPECT_TRUE(portable == fast) << "stock font " << stockId << ": \"" << run << '"';
        }
    }
}

TEST(QtScreenTextTest, RunsTheFastKernelCannotDrawGoToThePortableOne) {
    ASSERT_NE(StartQtBackend(), nullptr);
    const qt::ScreenFont& fixed =
        qt::ScreenFontFor(StockLogFont(SYSTEM_FIXED_FONT), SYSTEM_FIXED_FONT);
    const qt::ScreenFont& proportional =
        qt::ScreenFontFor(StockLogFont(DEFAULT_GUI_FONT), DEFAULT_GUI_FONT);
    EXPECT_EQ(proportional.cellAdvance, 0);
    QImage image = Blank();
    {
        QPainter painter(&image);
        EXPECT_FALSE(qt::DrawOnCellGrid(painter, 0, 0, "Proportional", proportional));
        // A control character has no glyph of its own: the fast kernel leaves the whole run.
        EXPECT_FALSE(qt::DrawOnCellGrid(painter, 0, 0, std::string("a\x01z"), fixed));
        EXPECT_FALSE(qt::DrawOnCellGrid(painter, 0, 0, std::string("soft\xADhyphen"), fixed));
    }
    EXPECT_TRUE(image == Blank());

    qt::ImageSurface surface(200, 20);
    FontSpec fixedFont{StockLogFont(SYSTEM_FIXED_FONT), SYSTEM_FIXED_FONT, fixed.metrics};
    TextStyle style{0, 0xFFFFFF, true};
    RECT clip{0, 0, 200, 20};
    surface.drawText(0, 0, std::string("a\x01z"), fixedFont, style, clip);
    EXPECT_EQ(qt::LastTextKernel(), qt::TextKernel::CellByCell);
    QImage slow = surface.image();
    surface.drawText(0, 0, "a z", fixedFont, style, clip);
    EXPECT_EQ(qt::LastTextKernel(), qt::TextKernel::GlyphGrid);
    // The 'z' stands in the third cell either way.
    QRect third(2 * fixed.cellAdvance, 0, fixed.cellAdvance, 20);
    EXPECT_TRUE(slow.copy(third) == surface.image().copy(third));
    EXPECT_EQ(surface.textWidth("abc", fixedFont), 3 * fixed.cellAdvance);

    FontSpec gui{StockLogFont(DEFAULT_GUI_FONT), DEFAULT_GUI_FONT, proportional.metrics};
    surface.drawText(0, 0, "Proportional", gui, style, clip);
    EXPECT_EQ(qt::LastTextKernel(), qt::TextKernel::Layout);
}

// Each pixel of the image holds its own coordinates, so that any move shows.
void FillWithCoordinates(qt::ImageSurface& surface) {
    auto& image = const_cast<QImage&>(surface.image());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            image.setPixel(x, y, qRgb(x, y, 7));
        }
    }
}

TEST(QtImageSurfaceTest, ScrollingMovesThePixelsOfTheAreaOnly) {
    ASSERT_NE(StartQtBackend(), nullptr);
    struct Move {
        int dx, dy;
    };
    for (Move move : {Move{0, -16}, Move{0, 16}, Move{-3, 0}, Move{5, 2}}) {
        qt::ImageSurface surface(60, 80);
        FillWithCoordinates(surface);
        RECT area{10, 8, 50, 72};
        surface.scroll(move.dx, move.dy, area);
        const QImage& image = surface.image();
        for (int y = 0; y < 80; ++y) {
            for (int x = 0; x < 60; ++x) {
                int fromX = x - move.dx;
                int fromY = y - move.dy;
                bool inside = x >= area.left && x < area.right && y >= area.top && y < area.bottom;
                bool moved = inside && fromX >= area.left && fromX < area.right &&
                             fromY >= area.top && fromY < area.bottom;
                QRgb expected = moved ? qRgb(fromX, fromY, 7) : qRgb(x, y, 7);
                ASSERT_EQ(image.pixel(x, y), expected)
                    << "move " << move.dx << "," << move.dy << " at " << x << "," << y;
            }
        }
    }
}

}  // namespace
}  // namespace farvane::ui::testing
