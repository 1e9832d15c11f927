#pragma once
// The small exception hierarchy of Vaskel. Messages are the user-facing texts.

#include <stdexcept>
#include <string>

namespace vaskel {

class EVaskelError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Raised by the hex and token conversions.
class EConversionError : public EVaskelError {
public:
    using EVaskelError::EVaskelError;
};

// Raised by file readers and writers (missing file, broken content, I/O failure).
class EFileError : public EVaskelError {
public:
    using EVaskelError::EVaskelError;
};

// A line of a text file longer than the readers take (MaxLineBytes()):
// the message names the line.
class ELineTooLong : public EFileError {
public:
    ELineTooLong(const std::string& message, int line) : EFileError(message), Line(line) {}
    int Line = 0; // 1 = the file's first line
};

// Replaces every "%s" / "%d" placeholder in order with the given texts.
std::string FormatText(const std::string& format, std::initializer_list<std::string> args);

} // namespace vaskel
