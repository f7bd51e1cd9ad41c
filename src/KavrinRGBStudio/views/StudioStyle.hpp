#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QApplication;
class QLabel;
class QWidget;

namespace kavrin {

// The studio's orange, sRGB 1.0, 0.39, 0.12: `ember` tints the main window, `accent` the panels.
inline const QColor ember = QColor::fromRgbF(1.0f, 0.39f, 0.12f);
inline const QColor accent = ember;

// Fusion with the studio's dark palette, its style sheet and a font that has the CJK glyphs.
void applyStudioStyle(QApplication& app);

// Text sizes of the window, from the large header title down to the smallest footnote.
enum class TextStyle { largeTitle, title2, title3, headline, subheadline, body, caption, caption2 };

enum class TextTone { primary, secondary, tertiary, accent, error };

QFont studioFont(TextStyle style, QFont::Weight weight = QFont::Normal, bool monospaced = false);
QFont studioFont(int pixelSize, QFont::Weight weight, bool monospaced = false);
QLabel* makeLabel(const QString& text, TextStyle style, TextTone tone = TextTone::primary,
                  QFont::Weight weight = QFont::Normal);
// A label in a size of its own, for the few texts off the common scale.
QLabel* makeSizedLabel(const QString& text, int pixelSize, QFont::Weight weight, bool monospaced = false);

// Sets a style-sheet property and re-polishes the widget only when the value changes, so that
// refreshing an unchanged window costs nothing. True when it changed.
bool setStyleProperty(QWidget* widget, const char* name, const QString& value);
void setTone(QWidget* widget, TextTone tone);
// A status line: red when it reports a failure, secondary otherwise.
void setStatusText(QLabel* label, const QString& text, bool isError);

// Sets the text only when it differs, keeping selection and cursor of selectable labels intact.
void setTextIfChanged(QLabel* label, const QString& text);

} // namespace kavrin
