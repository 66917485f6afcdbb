#pragma once
// An archive that meets data it cannot take: above all a stream that ends too early.
#include "framework/CException.h"

#include <string>

class CArchiveException : public CException {
public:
    enum Cause { none, generic, readOnly, endOfFile, writeOnly };

    explicit CArchiveException(Cause cause = none, const std::string& fileName = std::string());

    std::string GetErrorMessage() const override;

    Cause GetCause() const { return m_cause; }
    const std::string& GetFileName() const { return m_strFileName; }

private:
    Cause m_cause;
    std::string m_strFileName;
};
