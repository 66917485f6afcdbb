#pragma once
// The four parts of a file location, checked one by one so that a failure names the part.
#include "framework/CFileLocation.h"

#include <gtest/gtest.h>

#include <string>

inline void ExpectParts(const CFileLocation& location, const std::string& drive,
                        const std::string& folder, const std::string& name,
                        const std::string& extension) {
    EXPECT_EQ(drive, location.GetDrive());
    EXPECT_EQ(folder, location.GetFolder());
    EXPECT_EQ(name, location.GetName());
    EXPECT_EQ(extension, location.GetExtension());
}
