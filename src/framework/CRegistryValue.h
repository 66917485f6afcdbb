#pragma once
// One registry value (type and data) in a private heap of its own.
#include <windows.h>

#include <string>
#include <vector>

class CRegistryValue {
public:
    CRegistryValue();
    // A REG_SZ value holding text and its NUL.
    explicit CRegistryValue(const char* text);
    ~CRegistryValue();
    CRegistryValue(const CRegistryValue&) = delete;
    CRegistryValue& operator=(const CRegistryValue&) = delete;

    // Replaces the block by cb bytes of undefined contents; null when the heap refuses.
    BYTE* Allocate(DWORD cb);
    void FreeData();
    // A missing text counts as empty. Type REG_EXPAND_SZ when bExpand, else REG_SZ.
    void SetString(const char* text, BOOL bExpand);

    // Copies the block when it is binary data of exactly cb bytes; else buffer untouched.
    BOOL GetBinary(void* buffer, DWORD cb) const;
    // Only REG_MULTI_SZ: every string of the list, in order.
    BOOL GetStringArray(std::vector<std::string>& array) const;
    // REG_MULTI_SZ: the first string of a non-empty list. REG_SZ, REG_EXPAND_SZ, REG_LINK: the
    // text, environment references left as they are. Else FALSE and text untouched.
    BOOL GetString(std::string& text) const;

    const BYTE* GetData() const { return m_pData; }
    DWORD GetSize() const { return m_cbData; }
    DWORD GetType() const { return m_dwType; }
    void SetType(DWORD dwType) { m_dwType = dwType; }

private:
    HANDLE m_hHeap;
    BYTE* m_pData = nullptr;
    DWORD m_cbData = 0;
    DWORD m_dwType = 0;
};
