#include "KavrinRGBStudio/views/PanelParts.hpp"

#include "KavrinRGBStudio/views/DockText.hpp"
#include "KavrinRGBStudio/views/StudioStyle.hpp"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>

namespace kavrin {

QHBoxLayout* flushRow(QWidget* owner, int spacing)
{
    auto* layout = new QHBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

QVBoxLayout* flushColumn(QWidget* owner, int spacing)
{
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

QHBoxLayout* panelHeader(StudioIcon icon, const QString& title, QWidget* trailing)
{
    auto* layout = new QHBoxLayout;
    layout->setSpacing(8);
    layout->addWidget(iconLabel(studioIcon(icon), 16));
    layout->addWidget(makeLabel(title, TextStyle::subheadline, TextTone::primary, QFont::DemiBold));
    layout->addStretch();
    layout->addWidget(trailing);
    return layout;
}

QLabel* makeMessageLabel(const char* name)
{
    auto* label = makeLabel({}, TextStyle::caption, TextTone::secondary);
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

QLabel* makeNoteLabel(const QString& text)
{
    auto* label = makeLabel(text, TextStyle::caption2, TextTone::secondary);
    label->setWordWrap(true);
    return label;
}

void showEffects(QComboBox* picker, std::span<const LightingEffect> offered, LightingEffect current)
{
    const QSignalBlocker blocker(picker);
    bool same = picker->count() == int(offered.size());
    for (int index = 0; same && index < picker->count(); ++index) {
        same = picker->itemData(index).toInt() == rawValue(offered[std::size_t(index)]);
    }
    if (!same) {
        picker->clear();
        for (const LightingEffect effect : offered) {
            picker->addItem(qtText(title(effect)), rawValue(effect));
        }
    }
    picker->setCurrentIndex(picker->findData(rawValue(current)));
}

} // namespace kavrin
