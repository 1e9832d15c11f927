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

// Replaces every "%s" / "%d" placeholder in order with the given texts.
std::string FormatText(const std::string& format, std::initializer_list<std::string> args);

} // namespace vaskel
