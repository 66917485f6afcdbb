#pragma once
// The program ran out of memory.
#include "framework/CException.h"

#include <string>

class CMemoryException : public CException {
public:
    CMemoryException() = default;

    std::string GetErrorMessage() const override;
};
