#include "framework/CException.h"

#include "framework/AppMessageBox.h"

std::string CException::GetErrorMessage() const {
    return "No error message is available.";
}

int CException::ReportError(unsigned style) const {
    return fw::AppMessageBox(GetErrorMessage(), style);
}

std::string CException::InsertFileName(const std::string& text, const std::string& fileName) {
    const std::string name = fileName.empty() ? "an unnamed file" : fileName;
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == '1') {
            result += name;
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}
