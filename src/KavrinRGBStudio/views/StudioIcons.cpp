#include "KavrinRGBStudio/views/StudioIcons.hpp"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>

#include <map>
#include <string_view>

// Outside any namespace, as Qt's resource initialiser requires; the views are a static library, so the
// linker drops the resource unless something refers to it.
static void initStudioIconResources()
{
    Q_INIT_RESOURCE(StudioIcons);
}

namespace kavrin {

namespace {

const QColor neutral(225, 228, 235);

struct IconSource {
    const char* file;
    const char* themeName; // empty when the freedesktop naming has no clear equivalent
};

IconSource source(StudioIcon icon)
{
    switch (icon) {
    case StudioIcon::beacon:
        return {"beacon", ""};
    case StudioIcon::rescan:
        return {"rescan", "view-refresh"};
    case StudioIcon::cable:
        return {"cable", ""};
    case StudioIcon::dock:
        return {"dock", "drive-removable-media"};
    case StudioIcon::checkmark:
        return {"checkmark", ""};
    case StudioIcon::cpu:
        return {"cpu", ""};
    case StudioIcon::read:
        return {"read", "go-down"};
    case StudioIcon::error:
        return {"error", "dialog-error"};
    case StudioIcon::info:
        return {"info", "dialog-information"};
    case StudioIcon::preview:
        return {"preview", ""};
    case StudioIcon::pause:
        return {"pause", "media-playback-pause"};
    case StudioIcon::play:
        return {"play", "media-playback-start"};
    case StudioIcon::link:
        return {"link", "insert-link"};
    case StudioIcon::waveform:
        return {"waveform", ""};
    }
    return {"info", ""};
}

// The drawings of the animation styles, by the core's symbol name.
const char* styleFile(std::string_view symbolName)
{
    static const std::map<std::string_view, const char*> files {
        {"sun.max.fill", "sun"},
        {"wind", "wind"},
        {"arrow.triangle.2.circlepath", "cycle"},
        {"bolt.fill", "bolt"},
        {"circle.lefthalf.filled", "halfCircle"},
        {"rainbow", "rainbow"},
        {"water.waves", "waves"},
        {"sparkle", "sparkle"},
        {"sparkles", "sparkles"},
        {"flame.fill", "flame"},
    };
    const auto found = files.find(symbolName);
    return found == files.end() ? "sparkle" : found->second;
}

QIcon drawing(const char* file, const QColor& tint)
{
    static const bool initialised = (initStudioIconResources(), true);
    Q_UNUSED(initialised);
    QSvgRenderer renderer(QStringLiteral(":/kavrin/icons/%1.svg").arg(QLatin1String(file)));
    QIcon icon;
    for (const int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        renderer.render(&painter);
        painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
        painter.fillRect(pixmap.rect(), tint);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace

QIcon studioIcon(StudioIcon icon)
{
    const IconSource found = source(icon);
    const QIcon own = drawing(found.file, neutral);
    return *found.themeName ? QIcon::fromTheme(QLatin1String(found.themeName), own) : own;
}

QIcon tintedIcon(StudioIcon icon, const QColor& tint)
{
    return drawing(source(icon).file, tint);
}

QIcon styleIcon(AnimationStyle style, const QColor& tint)
{
    return drawing(styleFile(symbol(style)), tint);
}

QLabel* iconLabel(const QIcon& icon, int size)
{
    auto* label = new QLabel;
    label->setPixmap(icon.pixmap(size, size));
    return label;
}

} // namespace kavrin
