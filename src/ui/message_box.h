#pragma once

#include <QWidget>

#include "image/message.h"

namespace kxp40s::ui {

// Shows a message box with the message's own title, text, icon and buttons,
// modal over `parent`, and returns the button pressed.
Answer showMessage(QWidget* parent, const Message& message);

}  // namespace kxp40s::ui
