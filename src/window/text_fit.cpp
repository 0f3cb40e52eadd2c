#include "window/text_fit.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QStringList>
#include <QTextLayout>
#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

#include "window/appearance.h"

namespace window {
namespace {

// Twips a growing label keeps clear of the controls below and beside it.
constexpr int kClearance = 120;
// The parts of an option button, in twips.
constexpr int kIndicatorLeft = 30;
constexpr int kIndicatorSize = 195;
constexpr int kLetterGap = 60;
constexpr int kCaptionGap = 90;
constexpr int kCaptionMargin = 30;
// Pixels of a title bar beside the title: the icon and three buttons.
constexpr int kTitleBarExtras = 160;
constexpr int kUnbounded = 1 << 20;
constexpr int kFloorPercent = 70;

// The texts textFit knows, by the name it is asked with.
struct NamedText {
    std::string_view name;
    ControlName control;
    AutoSize sizing;
    bool optionsShown;
};
constexpr std::array<NamedText, 7> kNamedTexts{{
    {"Label2", ControlName::Label2, AutoSize::WrapHeight, true},
    {"Label2.intro", ControlName::Label2, AutoSize::WrapHeight, false},
    {"Label16", ControlName::Label16, AutoSize::OneLine, false},
    {"Option1", ControlName::Option1, AutoSize::Off, true},
    {"Option2", ControlName::Option2, AutoSize::Off, true},
    {"Option3", ControlName::Option3, AutoSize::Off, true},
    {"Option4", ControlName::Option4, AutoSize::Off, true},
}};

const ControlDef& designOf(ControlName name) {
    return *std::ranges::find_if(kControls, [name](const ControlDef& def) { return def.name == name; });
}

int rightOf(const TwipRect& rect) { return rect.left + rect.width; }

// The right and bottom edges, in twips, that a growing label keeps clear of.
QPoint roomEnd(const ControlDef& def, bool optionsShown) {
    switch (def.name) {
    case ControlName::Label16: {
        const TwipRect& below = designOf(ControlName::Label2).rect;
        return {rightOf(below) - kClearance, below.top - kClearance};
    }
    case ControlName::Label2: {
        int bottom = kClientHeightTwips;
        for (const ControlDef& other : kControls) {
            const bool under = other.rect.top > def.rect.top && other.rect.left < rightOf(def.rect) &&
                               rightOf(other.rect) > def.rect.left;
            const bool shown = other.kind == ControlKind::Command || (optionsShown && other.kind == ControlKind::Option);
            if (under && shown) bottom = std::min(bottom, other.rect.top);
        }
        return {rightOf(def.rect), bottom - kClearance};
    }
    default:
        return {kClientWidthTwips, kClientHeightTwips};
    }
}

QSize measure(const QFont& font, const QString& text, const TextBox& box) {
    const int width = box.wrap ? box.room.width() : kUnbounded;
    return QFontMetrics(font).boundingRect(QRect(0, 0, width, kUnbounded), textFlags(box.wrap), text).size();
}

bool fits(QSize size, QSize room) { return size.width() <= room.width() && size.height() <= room.height(); }

// The lines of the text as laid out in the box: its own lines, broken at word
// boundaries when it wraps (inside a word wider than the room as well).
QStringList linesOf(const QString& text, const QFont& font, const TextBox& box) {
    QStringList lines;
    for (const QString& paragraph : text.split(QLatin1Char('\n'))) {
        if (!box.wrap || paragraph.isEmpty()) {
            lines << paragraph;
            continue;
        }
        QTextLayout layout(paragraph, font);
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(box.room.width());
            QString part = paragraph.mid(line.textStart(), line.textLength());
            while (part.endsWith(QLatin1Char(' '))) part.chop(1);
            lines << part;
        }
        layout.endLayout();
    }
    return lines;
}

// The first `count` lines, each cut to the width; the last one goes on with
// the rest of the text and is cut with "…" where the width ends.
QString firstLines(const QStringList& lines, qsizetype count, const QFontMetrics& metrics, int width) {
    QStringList shown;
    for (qsizetype i = 0; i + 1 < count; ++i) shown << metrics.elidedText(lines[i], Qt::ElideRight, width);
    shown << metrics.elidedText(lines.mid(count - 1).join(QLatin1Char(' ')), Qt::ElideRight, width);
    return shown.join(QLatin1Char('\n'));
}

// The first `count` characters, never ending inside a surrogate pair.
QString head(const QString& text, qsizetype count) {
    if (count >= text.size()) return text;
    if (count > 0 && text.at(count - 1).isHighSurrogate()) --count;
    return text.left(count);
}

// The most characters of any text that can show in the box in a font of
// this many pixels: as many lines as the room holds (lines are at least as
// far apart as the font is high), each at most two characters a pixel wide
// (no glyph of a readable size is narrower) and its line end. A longer text
// cannot show whole, and what shows of it comes from this much of its start.
// Plain arithmetic: a font not yet loaded costs start-up time.
qsizetype mostShown(int pixels, const TextBox& box) {
    const qsizetype lines = box.room.height() / std::max(1, pixels) + 1;
    return lines * (2 * qsizetype{std::max(0, box.room.width())} + 1);
}

QString elide(const QString& text, const QFont& font, const TextBox& box) {
    const QStringList lines = linesOf(text, font, box);
    const QFontMetrics metrics(font);
    const int width = box.room.width();
    qsizetype count = std::clamp<qsizetype>(box.room.height() / std::max(1, metrics.lineSpacing()) + 1, 1,
                                            lines.size());
    QString shown = firstLines(lines, count, metrics, width);
    while (count > 1 && !fits(measure(font, shown, box), box.room)) shown = firstLines(lines, --count, metrics, width);
    return shown;
}

}  // namespace

QString heldText(const QString& text) {
    return text.size() <= kHeldCharacters ? text : head(text, kHeldCharacters) + QChar(0x2026);
}

QString displayText(std::string_view utf8) {
    QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return text;
}

int titleBarWidth(const QString& title) {
    return QFontMetrics(QGuiApplication::font()).horizontalAdvance(title) + kTitleBarExtras;
}

int textFlags(bool wrap) { return Qt::AlignLeft | Qt::AlignTop | (wrap ? Qt::TextWordWrap : 0); }

FittedText fitText(const QString& text, const TextBox& box) {
    QFont font = box.font;
    const int designed = font.pixelSize();
    QFont floorFont = font;
    if (designed > 0) floorFont.setPixelSize(std::max(1, (designed * kFloorPercent + 50) / 100));
    // Time and memory stay bounded by the room, whatever the text's length:
    // no more of it is measured than can ever show.
    const qsizetype most = mostShown(floorFont.pixelSize(), box);
    if (text.size() > most) {
        QString shown = elide(head(text, most), floorFont, box);
        const QSize size = measure(floorFont, shown, box);
        return {Fit::Elided, floorFont, std::move(shown), size};
    }
    if (designed > 0) {
        for (int pixels = designed; pixels >= floorFont.pixelSize(); --pixels) {
            font.setPixelSize(pixels);
            if (const QSize size = measure(font, text, box); fits(size, box.room))
                return {pixels == designed ? Fit::AsDesigned : Fit::Shrunk, font, text, size};
        }
    } else if (const QSize size = measure(font, text, box); fits(size, box.room)) {
        return {Fit::AsDesigned, font, text, size};
    }
    QString shown = elide(text, font, box);
    const QSize size = measure(font, shown, box);
    return {Fit::Elided, font, std::move(shown), size};
}

OptionParts optionParts(const ControlDef& def, double scale) {
    OptionParts parts;
    parts.scale = scale;
    const QRect rect = pixelRect(def.rect, scale);
    parts.letterFont = designFont({def.font.points, 700}, scale);
    const QFontMetrics metrics(parts.letterFont);
    int letterWidth = 0;
    for (const std::string_view letter : kAnswerLetters)
        letterWidth = std::max(letterWidth, metrics.horizontalAdvance(displayText(letter)));
    const int side = twipsToPixels(kIndicatorSize, scale);
    parts.indicator = QRect(twipsToPixels(kIndicatorLeft, scale), (rect.height() - side) / 2, side, side);
    parts.letter = QRect(parts.indicator.right() + 1 + twipsToPixels(kLetterGap, scale), 0, letterWidth, rect.height());
    const int captionLeft = parts.letter.right() + 1 + twipsToPixels(kCaptionGap, scale);
    parts.caption =
        QRect(captionLeft, 0, rect.width() - captionLeft - twipsToPixels(kCaptionMargin, scale), rect.height());
    return parts;
}

TextBox textBox(const ControlDef& def, AutoSize sizing, bool optionsShown, double scale) {
    const QFont font = designFont(def.font, scale);
    if (def.kind == ControlKind::Option) return {font, optionParts(def, scale).caption.size(), true};
    TwipRect room = def.rect;
    if (sizing != AutoSize::Off) {
        const QPoint end = roomEnd(def, optionsShown);
        if (sizing == AutoSize::OneLine) room.width = end.x() - room.left;
        room.height = end.y() - room.top;
    }
    return {font, pixelRect(room, scale).size(), sizing == AutoSize::WrapHeight};
}

Fit textFit(std::string_view name, std::string_view utf8) {
    const QString text = displayText(utf8);
    if (name == "Form1") {
        // No title of more than two characters a pixel fits: the rest is not measured.
        const int room = twipsToPixels(kClientWidthTwips);
        return text.size() <= 2 * room && titleBarWidth(text) <= room ? Fit::AsDesigned : Fit::Elided;
    }
    const auto* found = std::ranges::find(kNamedTexts, name, &NamedText::name);
    if (found == kNamedTexts.end()) throw std::invalid_argument("no text of a control named " + std::string(name));
    return fitText(text, textBox(designOf(found->control), found->sizing, found->optionsShown, 1.0)).fit;
}

}  // namespace window
