#pragma once
// Whole files as bytes, read and written without any translation.
#include <cstdio>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

inline bool FileExists(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        return false;
    std::fclose(file);
    return true;
}

inline std::string ReadFileText(const std::string& path) {
    std::string text;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char block[65536];
        std::size_t n;
        while ((n = std::fread(block, 1, sizeof block, file)) > 0)
            text.append(block, n);
        std::fclose(file);
    }
    return text;
}

inline Bytes ReadFileBytes(const std::string& path) {
    const std::string text = ReadFileText(path);
    return Bytes(text.begin(), text.end());
}

inline void WriteFileBytes(const std::string& path, const void* bytes, std::size_t size) {
    if (std::FILE* file = std::fopen(path.c_str(), "wb")) {
        std::fwrite(bytes, 1, size, file);
        std::fclose(file);
    }
}

inline void WriteFileBytes(const std::string& path, const Bytes& bytes) {
    WriteFileBytes(path, bytes.data(), bytes.size());
}

inline void WriteFileText(const std::string& path, const std::string& text) {
    WriteFileBytes(path, text.data(), text.size());
}
