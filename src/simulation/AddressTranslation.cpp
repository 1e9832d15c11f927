#include "simulation/AddressTranslation.h"

#include "telegram/TextConventions.h"

namespace vaskel {

namespace {

// A whole decimal number 1 .. 15 (blanks around it allowed).
bool ValidTarget(std::string_view text, int& value) {
    int64_t v = 0;
    const std::string_view t = TrimBlanks(text);
    if (t.empty() || t.find_first_not_of("0123456789") != std::string_view::npos) return false;
    if (!TryStrToInt64(t, v) || v < 1 || v > kAddressCount) return false;
    value = static_cast<int>(v);
    return true;
}

} // namespace

TAddressTranslationFields::TAddressTranslationFields(const TEnvironment& env) {
    for (int a = 1; a <= kAddressCount; ++a) {
        FReference[a - 1] = env.GetAddressTranslation(a);
        FFields[a - 1] = std::to_string(FReference[a - 1]);
    }
}

bool TAddressTranslationFields::Changed(int address) const {
    return Value(address) != std::to_string(Reference(address));
}

bool TAddressTranslationFields::Valid(int address) const {
    int v = 0;
    return ValidTarget(Value(address), v);
}

int TAddressTranslationFields::FirstInvalid() const {
    for (int a = 1; a <= kAddressCount; ++a)
        if (!Valid(a)) return a;
    return 0;
}

void TAddressTranslationFields::Leave(int address) {
    if (TrimBlanks(Value(address)).empty())
        SetValue(address, std::to_string(Reference(address)));
}

void TAddressTranslationFields::Reset() {
    for (int a = 1; a <= kAddressCount; ++a) {
        FReference[a - 1] = a;
        FFields[a - 1] = std::to_string(a);
    }
}

void TAddressTranslationFields::Store(TEnvironment& env) const {
    for (int a = 1; a <= kAddressCount; ++a) {
        int v = 0;
        env.SetAddressTranslation(a, ValidTarget(Value(a), v) ? v : a);
    }
}

std::string TAddressTranslationFields::Label(int address) {
    return "Adresse " + std::to_string(address) + " (" + IntToIBISHex(address) + "):";
}

bool ParseAddressTranslation(std::string_view text, std::array<int, kAddressCount>& table,
                             std::string& problem) {
    for (int a = 1; a <= kAddressCount; ++a)
        table[a - 1] = a;
    if (TrimBlanks(text).empty()) {
        problem = "no pairs given";
        return false;
    }
    std::array<std::string, kAddressCount> given{};
    std::size_t pos = 0;
    while (pos <= text.size()) {
        const std::size_t comma = std::min(text.find(',', pos), text.size());
        const std::string_view pair = text.substr(pos, comma - pos);
        const std::size_t eq = pair.find('=');
        int from = 0, to = 0;
        if (eq == std::string_view::npos || !ValidTarget(pair.substr(0, eq), from) ||
            !ValidTarget(pair.substr(eq + 1), to)) {
            problem = "not a pair of addresses 1 to 15: '" + std::string(pair) + "'";
            return false;
        }
        if (!given[from - 1].empty()) {
            problem = "address " + std::to_string(from) + " is translated twice: '" +
                      given[from - 1] + "' and '" + std::string(pair) + "'";
            return false;
        }
        given[from - 1] = std::string(pair);
        table[from - 1] = to;
        pos = comma + 1;
    }
    return true;
}

void SetAddressTranslationTable(TEnvironment& env, const std::array<int, kAddressCount>& table) {
    for (int a = 1; a <= kAddressCount; ++a)
        env.SetAddressTranslation(a, table[a - 1]);
}

} // namespace vaskel
