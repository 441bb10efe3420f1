#include "platform/ui/qt/qt_screen_fonts.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGlyphRun>

#include <algorithm>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/ui/user_constants.h"

namespace farvane::ui::qt {

namespace {

bool IsFixedFace(const LOGFONTA& logFont) {
    static const char* fixedFaces[] = {"fixedsys", "courier", "courier new", "terminal",
                                       "lucida console"};
    std::string face = logFont.lfFaceName;
    std::transform(face.begin(), face.end(), face.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* fixed : fixedFaces) {
        if (face == fixed) {
            return true;
        }
    }
    return (logFont.lfPitchAndFamily & 0x3) == FIXED_PITCH ||
           (logFont.lfPitchAndFamily & 0xF0) == FF_MODERN;
}

using FontKey = std::tuple<LONG, LONG, LONG, BYTE, BYTE, BYTE, BYTE, BYTE, std::string, int>;

FontKey KeyOf(const LOGFONTA& f, int stockId) {
    return {f.lfHeight,
            f.lfWidth,
            f.lfWeight,
            f.lfItalic,
            f.lfUnderline,
            f.lfStrikeOut,
            f.lfPitchAndFamily,
            f.lfCharSet,
            std::string(f.lfFaceName, strnlen(f.lfFaceName, LF_FACESIZE)),
            stockId};
}

// The glyph of every Latin-1 character and, when all of them advance alike, that advance.
void MeasureGrid(ScreenFont& screen) {
    QFontMetrics metrics(screen.font);
    screen.raw = QRawFont::fromFont(screen.font);
    if (!screen.raw.isValid() || screen.font.underline() || screen.font.strikeOut()) {
        return;  // decorations are drawn by the layout
    }
    int advance = metrics.horizontalAdvance(QLatin1Char('x'));
    for (int c = 0x20; c < 0x100; ++c) {
        if ((c >= 0x7F && c < 0xA0) || c == 0xAD) {
            continue;  // control characters and the soft hyphen: shown as the layout shows them
        }
        QList<quint32> glyph = screen.raw.glyphIndexesForString(QString(QChar(c)));
        if (glyph.size() != 1 || glyph[0] == 0) {
            continue;
        }
        if (metrics.horizontalAdvance(QChar(c)) != advance) {
            return;  // proportional
        }
        screen.glyphs[static_cast<std::size_t>(c)] = glyph[0];
    }
    screen.cellAdvance = advance;
}

TextKernel lastKernel = TextKernel::Layout;

}  // namespace

QFont MakeFont(const LOGFONTA& logFont, int stockId) {
    bool fixed = IsFixedFace(logFont);
    QFont font =
        QFontDatabase::systemFont(fixed ? QFontDatabase::FixedFont : QFontDatabase::GeneralFont);
    if (fixed) {
        font.setFamilies({"DejaVu Sans Mono", "Liberation Mono", "Monospace"});
        font.setStyleHint(QFont::TypeWriter);
    } else {
        font.setFamilies({"DejaVu Sans", "Liberation Sans", "Sans Serif"});
    }
    int pixels = 13;
    if (logFont.lfHeight < 0) {
        pixels = -logFont.lfHeight;
    } else if (logFont.lfHeight > 0) {
        pixels = std::max(1, logFont.lfHeight * 4 / 5);  // a cell height includes the leading
    }
    // The three stock fixed fonts are told apart by face and size, as the programs that
    // offer a choice between them expect.
    bool bold = logFont.lfWeight >= FW_BOLD;
    if (stockId == SYSTEM_FIXED_FONT) {
        pixels = 13;
    } else if (stockId == ANSI_FIXED_FONT) {
        font.setFamilies({"Liberation Mono", "DejaVu Sans Mono", "Monospace"});
        pixels = 15;
    } else if (stockId == OEM_FIXED_FONT) {
        pixels = 12;
        bold = true;
    }
    font.setPixelSize(std::clamp(pixels, 1, 2000));
    font.setWeight(bold ? QFont::Bold : QFont::Normal);
    font.setItalic(logFont.lfItalic != 0);
    font.setUnderline(logFont.lfUnderline != 0);
    font.setStrikeOut(logFont.lfStrikeOut != 0);
    font.setKerning(false);
    return font;
}

TEXTMETRICA MetricsOf(const QFont& font, QPaintDevice* device) {
    QFontMetrics metrics = device ? QFontMetrics(font, device) : QFontMetrics(font);
    TEXTMETRICA result;
    result.tmHeight = metrics.height();
    result.tmAscent = metrics.ascent();
    result.tmDescent = metrics.descent();
    result.tmInternalLeading = std::max(0, metrics.height() - font.pixelSize());
    result.tmExternalLeading = std::max(0, metrics.leading());
    // The platform's average width: of the letters, rounded up.
    QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    result.tmAveCharWidth = std::max(1, (metrics.horizontalAdvance(letters) + 51) / 52);
    if (font.fixedPitch() || QFontInfo(font).fixedPitch()) {
        result.tmAveCharWidth = std::max(1, metrics.horizontalAdvance(QLatin1Char('x')));
    }
    result.tmMaxCharWidth = metrics.maxWidth();
    result.tmWeight = font.bold() ? FW_BOLD : FW_NORMAL;
    return result;
}

const ScreenFont& ScreenFontFor(const LOGFONTA& logFont, int stockId) {
    // A program that makes fonts without end keeps at most this many; the rest are made
    // for each use.
    constexpr std::size_t kMaximumKept = 256;
    static std::map<FontKey, ScreenFont> fonts;
    static ScreenFont spare;
    FontKey key = KeyOf(logFont, stockId);
    if (auto found = fonts.find(key); found != fonts.end()) {
        return found->second;
    }
    ScreenFont& screen = fonts.size() < kMaximumKept ? fonts[key] : spare;
    screen = ScreenFont{};
    screen.font = MakeFont(logFont, stockId);
    screen.metrics = MetricsOf(screen.font);
    screen.ascent = QFontMetrics(screen.font).ascent();
    MeasureGrid(screen);
    return screen;
}

bool DrawOnCellGrid(QPainter& painter, int x, int y, std::string_view text,
                    const ScreenFont& font) {
    if (font.cellAdvance == 0) {
        return false;
    }
    static std::vector<quint32> glyphs;
    static std::vector<QPointF> positions;
    glyphs.clear();
    positions.clear();
    int advance = font.cellAdvance;
    for (std::size_t i = 0; i < text.size(); ++i) {
        quint32 glyph = font.glyphs[static_cast<unsigned char>(text[i])];
        if (glyph == 0) {
            return false;
        }
        if (text[i] == ' ') {
            continue;  // a blank cell: only the background, drawn by the caller
        }
        glyphs.push_back(glyph);
        positions.emplace_back(static_cast<qreal>(static_cast<int>(i) * advance), 0.0);
    }
    lastKernel = TextKernel::GlyphGrid;
    if (glyphs.empty()) {
        return true;
    }
    QGlyphRun run;
    run.setRawFont(font.raw);
    run.setRawData(glyphs.data(), positions.data(), static_cast<int>(glyphs.size()));
    painter.drawGlyphRun(QPointF(x, y + font.ascent), run);
    return true;
}

void DrawCellByCell(QPainter& painter, int x, int y, std::string_view text,
                    const ScreenFont& font) {
    painter.setFont(font.font);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != ' ') {
            painter.drawText(x + static_cast<int>(i) * font.cellAdvance, y + font.ascent,
                             QString(QChar(static_cast<unsigned char>(text[i]))));
        }
    }
    lastKernel = TextKernel::CellByCell;
}

TextKernel LastTextKernel() {
    return lastKernel;
}

void NoteLayoutKernel() {
    lastKernel = TextKernel::Layout;
}

}  // namespace farvane::ui::qt
