#pragma once
// A response list in memory: the device answers a master telegram that
// begins with an element's call with that element's answer.

#include <cstdint>
#include <string>
#include <vector>

namespace vaskel {

struct TAntwortListeElement {
    std::string Aufruf;  // call: the master telegram, or its beginning
    std::string Antwort; // answer: the slave telegram the device sends
    uint16_t ReactionMs = 0;

    friend bool operator==(const TAntwortListeElement&, const TAntwortListeElement&) = default;
};

using TAntwortListe = std::vector<TAntwortListeElement>;

} // namespace vaskel
