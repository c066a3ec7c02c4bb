#include "link/pager_link.h"

namespace kxp40s {

std::string_view boardKindName(BoardKind kind) {
    return kind == BoardKind::Usb ? "usb" : "lpt";
}

std::optional<BoardKind> parseBoardKind(std::string_view name) {
    if (name == "usb") return BoardKind::Usb;
    if (name == "lpt") return BoardKind::Lpt;
    return std::nullopt;
}

}  // namespace kxp40s
