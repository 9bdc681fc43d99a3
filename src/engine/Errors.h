#pragma once
// Failures the user can cause (unreadable pictures, missing files, bad
// projects) travel as EUserError carrying a text fit for a message box. The
// command guard of the main window catches them, closes any open update
// bracket and shows the text; nothing else of the program needs to know.
//
// A failure about a file carries three parts: a headline that is a text of
// the language table (English here, translated where it is shown, see
// ErrorMessage in language/Language.h), the file, and the reason (the
// decoder's message or the file system's). Shown, the headline is the first
// line and "file: reason" the second.

#include <stdexcept>
#include <string>

class EUserError : public std::runtime_error {
public:
    explicit EUserError(const std::string& message) : std::runtime_error(message) {}
    EUserError(const std::string& headline, const std::string& file, const std::string& reason)
        : std::runtime_error(headline + "\r" + file + ": " + reason), FHeadline(headline), FFile(file),
          FReason(reason) {}

    // Empty for a message without a file.
    const std::string& Headline() const { return FHeadline; }
    const std::string& File() const { return FFile; }
    const std::string& Reason() const { return FReason; }
    // "file: reason", or the whole message when there is no file.
    std::string Detail() const { return FHeadline.empty() ? what() : FFile + ": " + FReason; }

private:
    std::string FHeadline, FFile, FReason;
};

// Headlines of file failures (keys of the language table).
inline constexpr const char* kPictureReadFailed = "The picture could not be read.";
inline constexpr const char* kPictureWriteFailed = "The picture could not be written.";
