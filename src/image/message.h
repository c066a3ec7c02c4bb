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

// What a message reports: something failed, something went through, or the
// user's entry (or answer) was refused. The window shows them all alike; the
// command line puts successes on stdout and the others on stderr.
enum class Outcome { Failure, Success, Refusal };

// A message box as the system shows it: every face (window, command line,
// tests) shows exactly these title, text, icon and buttons.
struct Message {
    std::string title;
    std::string text;
    Icon icon = Icon::Exclamation;
    Buttons buttons = Buttons::Ok;
    Outcome outcome = Outcome::Failure;

    // The same box on the screen.
    bool operator==(const Message& other) const {
        return title == other.title && text == other.text && icon == other.icon &&
               buttons == other.buttons;
    }
};

inline Message warning(std::string text, std::string title = kTitle) {
    return Message{std::move(title), std::move(text), Icon::Exclamation, Buttons::Ok};
}

// A warning box that reports success, as the transfers' "Read success!" does.
inline Message success(std::string text, std::string title = kTitle) {
    Message message = warning(std::move(text), std::move(title));
    message.outcome = Outcome::Success;
    return message;
}

}  // namespace kxp40s
