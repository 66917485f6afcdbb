#include "framework/FillPlaceholders.h"

namespace fw {

std::string FillPlaceholders(const std::string& text, std::initializer_list<std::string> values) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool bPlaceholder = text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' &&
                                  text[i + 1] <= '9' &&
                                  static_cast<std::size_t>(text[i + 1] - '1') < values.size();
        if (bPlaceholder) {
            result += values.begin()[text[i + 1] - '1'];
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

} // namespace fw
