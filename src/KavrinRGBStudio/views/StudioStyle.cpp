#include "KavrinRGBStudio/views/StudioStyle.hpp"

#include <QApplication>
#include <QFontDatabase>
#include <QLabel>
#include <QPalette>
#include <QStyle>
#include <QStyleFactory>

namespace kavrin {

namespace {

// The window background, sRGB 0.055, 0.063, 0.08.
const QColor windowBackground = QColor::fromRgbF(0.055f, 0.063f, 0.08f);
const QColor errorRed(255, 69, 58);

QString rgba(const QColor& color, double opacity)
{
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(color.red())
        .arg(color.green())
        .arg(color.blue())
        .arg(qRound(opacity * 255));
}

QPalette darkPalette()
{
    QPalette palette;
    const QColor text(236, 237, 240);
    const QColor field(28, 31, 38);
    palette.setColor(QPalette::Window, windowBackground);
    palette.setColor(QPalette::WindowText, text);
    palette.setColor(QPalette::Base, field);
    palette.setColor(QPalette::AlternateBase, windowBackground);
    palette.setColor(QPalette::Text, text);
    palette.setColor(QPalette::Button, QColor(38, 41, 49));
    palette.setColor(QPalette::ButtonText, text);
    palette.setColor(QPalette::BrightText, Qt::white);
    palette.setColor(QPalette::ToolTipBase, field);
    palette.setColor(QPalette::ToolTipText, text);
    palette.setColor(QPalette::PlaceholderText, QColor(120, 124, 134));
    palette.setColor(QPalette::Highlight, ember);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Link, ember);
    palette.setColor(QPalette::Light, QColor(70, 74, 84));
    palette.setColor(QPalette::Midlight, QColor(54, 58, 67));
    palette.setColor(QPalette::Mid, QColor(40, 43, 50));
    palette.setColor(QPalette::Dark, QColor(10, 11, 14));
    palette.setColor(QPalette::Shadow, Qt::black);
    for (const auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText}) {
        palette.setColor(QPalette::Disabled, role, QColor(110, 114, 124));
    }
    palette.setColor(QPalette::Disabled, QPalette::Button, QColor(30, 33, 40));
    palette.setColor(QPalette::Disabled, QPalette::Highlight, QColor(80, 84, 94));
    return palette;
}

QString styleSheet()
{
    const QString white = QStringLiteral("255, 255, 255");
    return QStringLiteral(R"(
QWidget#studioWindow, QScrollArea#editorScroll, QWidget#editor { background: %1; }
QFrame#sidebar { background: rgba(%2, 6); }
QFrame#sidebarDivider { background: rgba(%2, 20); }
QFrame[card="box"] { background: rgba(%2, 9); border-radius: 12px; }
QFrame[card="status"] { background: rgba(%2, 9); border-radius: 10px; }
QFrame[card="preview"] { background: rgba(0, 0, 0, 61); border-radius: 18px; }
QFrame[card="row"] { background: rgba(%2, 8); border: 1px solid transparent; border-radius: 12px; }
QFrame[card="row"][current="true"] { background: %3; border: 1px solid %4; }
QLabel[tone="secondary"] { color: rgba(235, 235, 245, 153); }
QLabel[tone="tertiary"] { color: rgba(235, 235, 245, 90); }
QLabel[tone="accent"] { color: %5; }
QLabel[tone="error"] { color: %6; }
QLabel#badge { border-radius: 15px; padding: 7px 12px; background: rgba(142, 142, 147, 33); }
QLabel#badge[connected="true"] { background: rgba(48, 209, 88, 33); }
QToolButton[borderless="true"] { border: none; background: transparent; color: %5; padding: 2px 4px; }
QToolButton[borderless="true"]:disabled { color: rgba(235, 235, 245, 70); }
QToolButton[borderless="true"]:hover { color: rgba(255, 140, 90, 255); }
QPushButton { padding: 6px 14px; border-radius: 6px; background: rgba(%2, 18); border: 1px solid rgba(%2, 22); }
QPushButton:hover { background: rgba(%2, 28); }
QPushButton:pressed { background: rgba(%2, 12); }
QPushButton:disabled { background: rgba(%2, 8); color: rgba(235, 235, 245, 80); }
QPushButton[prominent="true"] { background: %5; color: white; border: none; font-weight: 600; }
QPushButton[prominent="true"]:hover { background: rgba(255, 120, 60, 255); }
QPushButton[prominent="true"]:disabled { background: %7; color: rgba(255, 255, 255, 110); }
QPushButton#modeHardware, QPushButton#modeSoftware { padding: 6px 22px; }
QPushButton#modeHardware:checked, QPushButton#modeSoftware:checked { background: %5; color: white; border: none; }
QPushButton[styleTile="true"] { text-align: left; padding: 12px; border-radius: 9px; border: 1px solid transparent;
                                background: rgba(%2, 9); }
QPushButton[styleTile="true"][current="true"] { background: %8; border: 1px solid %9; }
QToolButton[swatch="true"] { border: none; background: transparent; }
QLabel:disabled { color: rgba(235, 235, 245, 70); }
)")
        .arg(windowBackground.name(), white, rgba(ember, 0.12), rgba(ember, 0.45), ember.name(), errorRed.name(),
             rgba(ember, 0.35), rgba(accent, 0.14), rgba(accent, 0.5));
}

int pixelSize(TextStyle style)
{
    switch (style) {
    case TextStyle::largeTitle:
        return 30;
    case TextStyle::title2:
        return 22;
    case TextStyle::title3:
        return 18;
    case TextStyle::headline:
        return 14;
    case TextStyle::subheadline:
        return 13;
    case TextStyle::body:
        return 14;
    case TextStyle::caption:
        return 12;
    case TextStyle::caption2:
        return 11;
    }
    return 13;
}

QString toneName(TextTone tone)
{
    switch (tone) {
    case TextTone::primary:
        return QStringLiteral("primary");
    case TextTone::secondary:
        return QStringLiteral("secondary");
    case TextTone::tertiary:
        return QStringLiteral("tertiary");
    case TextTone::accent:
        return QStringLiteral("accent");
    case TextTone::error:
        return QStringLiteral("error");
    }
    return {};
}

} // namespace

void applyStudioStyle(QApplication& app)
{
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    app.setPalette(darkPalette());
    // Debian's fonts-noto-cjk; Qt falls back per glyph when a family is missing.
    QFont font(QStringList {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
                            QStringLiteral("Noto Sans"), QStringLiteral("sans-serif")});
    font.setPixelSize(pixelSize(TextStyle::body));
    app.setFont(font);
    app.setStyleSheet(styleSheet());
}

QFont studioFont(TextStyle style, QFont::Weight weight, bool monospaced)
{
    return studioFont(pixelSize(style), weight, monospaced);
}

QFont studioFont(int pixelSize, QFont::Weight weight, bool monospaced)
{
    QFont font = monospaced ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QApplication::font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QLabel* makeLabel(const QString& text, TextStyle style, TextTone tone, QFont::Weight weight)
{
    auto* label = makeSizedLabel(text, pixelSize(style), weight);
    setTone(label, tone);
    return label;
}

QLabel* makeSizedLabel(const QString& text, int pixelSize, QFont::Weight weight, bool monospaced)
{
    auto* label = new QLabel(text);
    label->setFont(studioFont(pixelSize, weight, monospaced));
    return label;
}

bool setStyleProperty(QWidget* widget, const char* name, const QString& value)
{
    if (widget->property(name).toString() == value) {
        return false;
    }
    widget->setProperty(name, value);
    widget->style()->unpolish(widget);
    widget->style()->polish(widget);
    return true;
}

void setTone(QWidget* widget, TextTone tone)
{
    setStyleProperty(widget, "tone", toneName(tone));
}

void setStatusText(QLabel* label, const QString& text, bool isError)
{
    setTextIfChanged(label, text);
    setTone(label, isError ? TextTone::error : TextTone::secondary);
}

void setTextIfChanged(QLabel* label, const QString& text)
{
    if (label->text() != text) {
        label->setText(text);
    }
}

} // namespace kavrin
