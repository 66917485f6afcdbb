#include "framework/CException.h"

#include "framework/AppMessageBox.h"
#include "framework/FillPlaceholders.h"

std::string CException::GetErrorMessage() const {
    return "No error message is available.";
}

int CException::ReportError(unsigned style) const {
    return fw::AppMessageBox(GetErrorMessage(), style);
}

std::string CException::InsertFileName(const std::string& text, const std::string& fileName) {
    return fw::FillPlaceholders(text, {fileName.empty() ? "an unnamed file" : fileName});
}
