#pragma once
// The IBIS address translation: the rules of its table window (fifteen
// fields with their reference values), and the table given on a command
// line ("1=5,2=6"). The table itself lives in the settings; the master
// simulation applies it to single calls from a protocol.

#include "shell/Environment.h"

#include <array>
#include <string>
#include <string_view>

namespace vaskel {

// What the table window shows and keeps while it is open.
class TAddressTranslationFields {
public:
    // Every field and its reference value take the table's entry.
    explicit TAddressTranslationFields(const TEnvironment& env);

    // address 1 .. kAddressCount
    const std::string& Value(int address) const { return FFields[address - 1]; }
    void SetValue(int address, std::string text) { FFields[address - 1] = std::move(text); }
    int Reference(int address) const { return FReference[address - 1]; }
    // The field differs from its reference value: drawn in the active look.
    bool Changed(int address) const;
    // The field holds a whole number 1 .. 15.
    bool Valid(int address) const;
    // The first field that is not valid; 0 when every field is.
    int FirstInvalid() const;
    // The field is left: an empty field gets its reference value back; any
    // other invalid value stays as typed (the window refuses it on "Ok").
    void Leave(int address);
    // "Zurücksetzen": every field and its reference value become the
    // address's own number.
    void Reset();
    // "Ok": every field into the table; a field that is no number stores the
    // address's own number.
    void Store(TEnvironment& env) const;

    // "Adresse 10 (:):" -- the address and its IBIS-hex digit.
    static std::string Label(int address);

private:
    std::array<std::string, kAddressCount> FFields;
    std::array<int, kAddressCount> FReference{};
};

// "1=5,2=6": pairs of decimal addresses 1 .. 15. Addresses not named map to
// themselves. False (with the problem in English) on anything else.
bool ParseAddressTranslation(std::string_view text, std::array<int, kAddressCount>& table,
                             std::string& problem);
// Puts a table into the settings.
void SetAddressTranslationTable(TEnvironment& env, const std::array<int, kAddressCount>& table);

} // namespace vaskel
