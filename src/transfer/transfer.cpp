#include "transfer/transfer.h"

namespace kxp40s {

Message transferWarning(std::string text) { return warning(std::move(text), kShortTitle); }

Answer askYesNo(Transfer& t, std::string text) {
    return t.face.show(Message{kShortTitle, std::move(text), Icon::Exclamation, Buttons::YesNo});
}

std::string identityOf(std::span<const std::uint8_t> bytes14) {
    std::string identity;
    for (const std::uint8_t byte : bytes14) {
        if (byte < 32 || byte > 127) break;
        identity += static_cast<char>(byte);
    }
    return identity;
}

void tbl_readall(Transfer& t, int strt, int& stp) {
    if constexpr (kSerialBuild) {
        usb_readall(t, strt, stp);
    } else {
        lpt_readall(t, strt, stp);
    }
}

void tbl_writeall(Transfer& t, Image& data, int strt, int stp) {
    if constexpr (kSerialBuild) {
        usb_writeall(t, data, strt, stp);
    } else {
        lpt_writeall(t, data, strt, stp);
    }
}

void tbl_verify(Transfer& t, const Image& data, int strt, int stp) {
    if constexpr (kSerialBuild) {
        usb_verify(t, data, strt, stp);
    } else {
        lpt_verify(t, data, strt, stp);
    }
}

}  // namespace kxp40s
