#pragma once

#include "RGBProtocol/animation/AnimationModel.hpp"

#include <QColor>
#include <QIcon>

class QLabel;

namespace kavrin {

enum class StudioIcon {
    beacon,
    rescan,
    cable,
    dock,
    checkmark,
    cpu,
    read,
    error,
    info,
    preview,
    pause,
    play,
    link,
    waveform,
};

// The desktop theme's icon where a freedesktop name fits, otherwise (and on a bare system) the
// studio's own drawing in a light neutral colour.
QIcon studioIcon(StudioIcon icon);
// The studio's own drawing in one colour, for icons whose colour carries meaning.
QIcon tintedIcon(StudioIcon icon, const QColor& tint);
QIcon styleIcon(AnimationStyle style, const QColor& tint);
// A label showing just the icon at the given size.
QLabel* iconLabel(const QIcon& icon, int size);

} // namespace kavrin
