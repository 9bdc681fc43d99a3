#pragma once
// Failures the user can cause (unreadable pictures, missing files, bad
// projects) travel as EUserError carrying a text fit for a message box. The
// command guard of the main window catches them, closes any open update
// bracket and shows the text; nothing else of the program needs to know.

#include <stdexcept>
#include <string>

class EUserError : public std::runtime_error {
public:
    explicit EUserError(const std::string& message) : std::runtime_error(message) {}
};
