#pragma once

#include "KavrinRGBStudio/views/StudioIcons.hpp"
#include "RGBProtocol/lighting/LightingValues.hpp"

#include <span>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QVBoxLayout;
class QWidget;

namespace kavrin {

// Pieces the editor's boxes share.

// Layouts without margins, for rows and columns nested inside a card or a panel.
QHBoxLayout* flushRow(QWidget* owner, int spacing);
QVBoxLayout* flushColumn(QWidget* owner, int spacing);
// A box header: the icon and title on the left, one widget on the right.
QHBoxLayout* panelHeader(StudioIcon icon, const QString& title, QWidget* trailing);
// A panel's status line: selectable, wrapped, always present (empty when there is no message).
QLabel* makeMessageLabel(const char* name);
// The small explanatory footnote of a box.
QLabel* makeNoteLabel(const QString& text);
// Lists the effects by title and shows the current one; the list is rebuilt only when it changes, so
// a refresh does not close an open pop-up.
void showEffects(QComboBox* picker, std::span<const LightingEffect> offered, LightingEffect current);

} // namespace kavrin
