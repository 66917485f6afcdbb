#pragma once
// A resource the program needs (a window, an icon, a thread) could not be had.
#include "framework/CException.h"

#include <string>

class CResourceException : public CException {
public:
    CResourceException() = default;

    std::string GetErrorMessage() const override { return "A required resource was unavailable."; }
};
