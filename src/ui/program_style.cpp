#include "ui/program_style.h"

#include <QStyleFactory>

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

}  // namespace kxp40s::ui
