#include "KavrinRGBStudio/views/DockText.hpp"

namespace kavrin {

namespace {

QString upperHex(std::uint64_t value, int digits)
{
    return QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

} // namespace

QString qtText(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

ControllerProfile profileOrDefault(const std::optional<RGBDevice>& device)
{
    return device ? profileOrLegacy(*device) : ControllerProfile::forgeCubeLegacy;
}

QString modelTitle(const RGBDevice& device)
{
    const auto profile = matchingProfile(device.vendorID, device.productID);
    return profile ? qtText(title(*profile)) : QStringLiteral("未知扩展坞");
}

QString locationText(std::int64_t locationID)
{
    return QStringLiteral("0x") + upperHex(static_cast<std::uint64_t>(locationID), 8);
}

QString dockName(const RGBDevice& device)
{
    return QString::fromStdString(dockLabel(device));
}

QString usbIDText(std::int64_t id)
{
    return upperHex(static_cast<std::uint64_t>(id), 4);
}

} // namespace kavrin
