#pragma once
// Base of the framework's exceptions. Every exception knows the standard English text of its
// error and can show it in the application's message box.
#include <string>

class CException {
public:
    virtual ~CException() = default;

    // The standard text of the error, ready for the user.
    virtual std::string GetErrorMessage() const;

    // Shows the error text in the application's message box (OK button unless style says
    // otherwise) and returns the button that closed it.
    int ReportError(unsigned style = 0 /* MB_OK */) const;

protected:
    CException() = default;
    CException(const CException&) = default;
    CException& operator=(const CException&) = default;

    // Puts the file name in place of every %1 of text; a file without name is called
    // "an unnamed file".
    static std::string InsertFileName(const std::string& text, const std::string& fileName);
};
