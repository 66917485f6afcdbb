#pragma once
// Ends an operation whose cause the user has already been told about: whoever catches it shows
// nothing more.
#include "framework/CException.h"

#include <string>

class CUserException : public CException {
public:
    CUserException() = default;

    std::string GetErrorMessage() const override { return {}; }
};
