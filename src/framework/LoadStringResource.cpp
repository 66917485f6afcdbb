#include "framework/LoadStringResource.h"

#include <windows.h>

namespace fw {
namespace {

// The resource script is compiled from cp1252, and every text the program shows is cp1252.
constexpr UINT RESOURCE_CODE_PAGE = 1252;

std::string ToCodePage1252(const wchar_t* text, int length) {
    if (length <= 0)
        return {};
    int size =
        WideCharToMultiByte(RESOURCE_CODE_PAGE, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(size, '\0');
    WideCharToMultiByte(RESOURCE_CODE_PAGE, 0, text, length, &result[0], size, nullptr, nullptr);
    return result;
}

// String resources are stored in blocks of 16 counted UTF-16 strings; reading the block directly
// gives texts of any length without guessing a buffer size.
bool FindStringInBlock(unsigned id, std::wstring& text) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceW(module, MAKEINTRESOURCEW(id / 16 + 1), MAKEINTRESOURCEW(6));
    if (!info)
        return false;
    HGLOBAL block = LoadResource(module, info);
    const WCHAR* p = block ? static_cast<const WCHAR*>(LockResource(block)) : nullptr;
    if (!p)
        return false;
    const WCHAR* end = p + SizeofResource(module, info) / sizeof(WCHAR);
    for (unsigned i = 0; i < id % 16 && p < end; ++i)
        p += 1 + *p;
    if (p >= end || *p == 0)
        return false;
    unsigned length = *p;
    if (p + 1 + length > end)
        return false;
    text.assign(p + 1, p + 1 + length);
    return true;
}

} // namespace

bool TryLoadStringResource(unsigned id, std::string& text) {
    std::wstring wide;
    if (!FindStringInBlock(id, wide))
        return false;
    text = ToCodePage1252(wide.data(), static_cast<int>(wide.size()));
    return true;
}

std::string LoadStringResource(unsigned id) {
    std::string text;
    TryLoadStringResource(id, text);
    return text;
}

} // namespace fw
