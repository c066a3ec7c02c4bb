#include "ui/program_style.h"

#include <QStyleFactory>
#include <QWidget>
#include <algorithm>

#include "ui/widgets.h"

namespace kxp40s::ui {

ProgramStyle::ProgramStyle() : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion"))) {}

// An icon asked for with an option of its own may differ by it: made anew.
QIcon ProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                 const QWidget* widget) const {
    if (option) return QProxyStyle::standardIcon(icon, option, widget);
    auto [kept, added] = icons_.try_emplace(icon);
    if (added) kept->second = QProxyStyle::standardIcon(icon, nullptr, widget);
    return kept->second;
}

int ProgramStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                              const QWidget* widget) const {
    const int size = QProxyStyle::pixelMetric(metric, option, widget);
    switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_ExclusiveIndicatorWidth:
        case PM_ExclusiveIndicatorHeight: {
            const int font = widget ? widget->font().pixelSize() : -1;
            return font > 0 ? std::max(1, size * font / kFontPixels) : size;
        }
        default:
            return size;
    }
}

}  // namespace kxp40s::ui
