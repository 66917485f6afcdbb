#include "framework/CMemoryException.h"

std::string CMemoryException::GetErrorMessage() const {
    return "Out of memory.";
}
