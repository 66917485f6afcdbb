#pragma once
// Values put into a text at its placeholders %1, %2, ... as the string table writes them.
#include <initializer_list>
#include <string>

namespace fw {

// The text with each %1 to %9 replaced by the value of that number, in one pass: what a value
// brings (a path with "%1" in it, say) is never read as a placeholder. A placeholder without a
// value, and every other percent sign, stays as it is.
std::string FillPlaceholders(const std::string& text, std::initializer_list<std::string> values);

} // namespace fw
