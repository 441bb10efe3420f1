// The fonts that windows draw with on the screen, each made and measured once. Text in a
// font whose Latin-1 characters all have one advance (the fixed fonts) is drawn on a grid of
// cells that advance by the font's whole-pixel character width, the width the programs
// measure and place their carets by (Qt's layout would advance by a fraction more or less
// and drift off the grid along a line). The fast kernel places the glyphs of a run at once,
// without shaping it; the portable one draws each character at its cell with Qt's layout.
#pragma once

#include <QFont>
#include <QPainter>
#include <QRawFont>

#include <array>
#include <string_view>

#include "platform/ui/user_types.h"

namespace farvane::ui::qt {

struct ScreenFont {
    QFont font;
    TEXTMETRICA metrics;
    int ascent = 0;
    // The advance shared by every Latin-1 character with a glyph; 0 for a proportional font.
    int cellAdvance = 0;
    QRawFont raw;
    std::array<quint32, 256> glyphs{};  // 0: the character has no glyph of its own
};

// The Qt font of a logical font (a stock object's id, or -1), as the screen draws it.
QFont MakeFont(const LOGFONTA& logFont, int stockId);
// The platform's text metrics of a font on a device (the screen when null).
TEXTMETRICA MetricsOf(const QFont& font, QPaintDevice* device = nullptr);
// The screen font of a logical font, made on first use and kept.
const ScreenFont& ScreenFontFor(const LOGFONTA& logFont, int stockId);

// Which text kernel drew the last run (reported by the benchmarks).
enum class TextKernel { GlyphGrid, CellByCell, Layout };
TextKernel LastTextKernel();

// Both kernels draw the characters with their baseline at y + ascent, from x, each on its
// cell of the font's grid (the painter's pen gives the colour; blanks draw nothing).
// The fast kernel returns false, drawing nothing, when the font is proportional or a
// character has no glyph of its own.
bool DrawOnCellGrid(QPainter& painter, int x, int y, std::string_view text, const ScreenFont& font);
// The portable kernel: any character, any fixed font (cellAdvance > 0).
void DrawCellByCell(QPainter& painter, int x, int y, std::string_view text, const ScreenFont& font);
// Notes that a run was laid out by Qt as a whole (proportional fonts, printer pages).
void NoteLayoutKernel();

}  // namespace farvane::ui::qt
