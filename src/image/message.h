#pragma once

#include <string>

namespace kxp40s {

// The program's own title, and the short one the transfer, link and a few
// editor messages use.
inline constexpr const char* kTitle = "KXP40S V05.12";
inline constexpr const char* kShortTitle = "KXP40";

enum class Icon { None, Exclamation, Critical, Information, Question };
enum class Buttons { Ok, YesNo };
enum class Answer { Ok, Yes, No };

// A message box as the system shows it: every face (window, command line,
// tests) shows exactly these title, text, icon and buttons.
struct Message {
    std::string title;
    std::string text;
    Icon icon = Icon::Exclamation;
    Buttons buttons = Buttons::Ok;

    bool operator==(const Message&) const = default;
};

inline Message warning(std::string text, std::string title = kTitle) {
    return Message{std::move(title), std::move(text), Icon::Exclamation, Buttons::Ok};
}

}  // namespace kxp40s
