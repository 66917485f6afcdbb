#include "framework/CRegistryValue.h"

#include "framework/MultiString.h"

#include <cstring>

namespace {

bool IsBinaryType(DWORD dwType) {
    return dwType == REG_BINARY || dwType == REG_RESOURCE_LIST ||
           dwType == REG_FULL_RESOURCE_DESCRIPTOR;
}

bool IsTextType(DWORD dwType) {
    return dwType == REG_SZ || dwType == REG_EXPAND_SZ || dwType == REG_LINK;
}

} // namespace

CRegistryValue::CRegistryValue() : m_hHeap(HeapCreate(0, 0, 0)) {}

CRegistryValue::CRegistryValue(const char* text) : CRegistryValue() {
    SetString(text, FALSE);
}

CRegistryValue::~CRegistryValue() {
    FreeData();
    if (m_hHeap)
        HeapDestroy(m_hHeap);
}

BYTE* CRegistryValue::Allocate(DWORD cb) {
    FreeData();
    if (!m_hHeap)
        return nullptr;
    m_pData = static_cast<BYTE*>(HeapAlloc(m_hHeap, 0, cb));
    if (m_pData)
        m_cbData = cb;
    return m_pData;
}

void CRegistryValue::FreeData() {
    if (m_pData)
        HeapFree(m_hHeap, 0, m_pData);
    m_pData = nullptr;
    m_cbData = 0;
}

void CRegistryValue::SetString(const char* text, BOOL bExpand) {
    if (!text)
        text = "";
    const DWORD cb = static_cast<DWORD>(std::strlen(text) + 1);
    if (BYTE* block = Allocate(cb))
        std::memcpy(block, text, cb);
    m_dwType = bExpand ? REG_EXPAND_SZ : REG_SZ;
}

BOOL CRegistryValue::GetBinary(void* buffer, DWORD cb) const {
    if (!IsBinaryType(m_dwType) || m_cbData != cb || !m_pData)
        return FALSE;
    std::memcpy(buffer, m_pData, cb);
    return TRUE;
}

BOOL CRegistryValue::GetStringArray(std::vector<std::string>& array) const {
    if (m_dwType != REG_MULTI_SZ)
        return FALSE;
    array.clear();
    ForEachString(reinterpret_cast<const char*>(m_pData), m_cbData, [&](const std::string& s) {
        array.push_back(s);
        return true;
    });
    return TRUE;
}

BOOL CRegistryValue::GetString(std::string& text) const {
    const char* block = reinterpret_cast<const char*>(m_pData);
    if (m_dwType == REG_MULTI_SZ) {
        BOOL bFound = FALSE;
        ForEachString(block, m_cbData, [&](const std::string& first) {
            text = first;
            bFound = TRUE;
            return false;
        });
        return bFound;
    }
    if (!IsTextType(m_dwType))
        return FALSE;
    const size_t cch = block ? strnlen(block, m_cbData) : 0;
    text.assign(block ? block : "", cch);
    return TRUE;
}
