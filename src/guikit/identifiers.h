#pragma once
// Which tags can become field names of a handle registry.
#include <string>
#include <vector>

#include "platform/value.h"

namespace qiv {

// The 17 keywords, in their fixed order.
const std::vector<std::string>& keywords();

// True when s equals a keyword exactly (case-sensitive).
bool iskeyword(const std::string& s);

// True when v is a text of one row, at most 31 characters, starting with a letter, holding
// only letters, digits and "_", and not a keyword. Letters are the unaccented Latin ones.
bool isvarname(const Value& v);
bool isvarname(const std::string& s);

}  // namespace qiv
