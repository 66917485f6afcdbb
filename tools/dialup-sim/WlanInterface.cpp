// GetIfTable2 is a Vista function, hidden by the build's XP target; this test library binds it
// at run time and needs its declarations.
#undef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#define NTDDI_VERSION 0x06000000
#include "WlanInterface.h"

#include "framework/ScopedHandles.h"

#include <winsock2.h>
#include <ws2ipdef.h>
#include <iphlpapi.h>

#include <cstdio>

namespace dialup_sim {
namespace {

using GetIfTable2Fn = DWORD(WINAPI*)(PMIB_IF_TABLE2*);
using FreeMibTableFn = VOID(WINAPI*)(PVOID);

template <typename Function> Function Bind(HMODULE module, const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

bool ParseGuid(const std::string& text, GUID& guid) {
    unsigned long data1 = 0;
    unsigned int data2 = 0, data3 = 0, bytes[8] = {};
    char end = 0;
    const int fields = std::sscanf(text.c_str(), "{%8lx-%4x-%4x-%2x%2x-%2x%2x%2x%2x%2x%2x%c",
                                   &data1, &data2, &data3, &bytes[0], &bytes[1], &bytes[2],
                                   &bytes[3], &bytes[4], &bytes[5], &bytes[6], &bytes[7], &end);
    if (fields != 12 || end != '}' || text.size() != 38)
        return false;
    guid.Data1 = data1;
    guid.Data2 = static_cast<unsigned short>(data2);
    guid.Data3 = static_cast<unsigned short>(data3);
    for (int i = 0; i < 8; ++i)
        guid.Data4[i] = static_cast<unsigned char>(bytes[i]);
    return true;
}

bool FindByAlias(const std::wstring& alias, WlanInterface& found) {
    fw::ScopedLibrary library(LoadLibraryA("iphlpapi.dll"));
    const auto getTable = Bind<GetIfTable2Fn>(library.Get(), "GetIfTable2");
    const auto freeTable = Bind<FreeMibTableFn>(library.Get(), "FreeMibTable");
    PMIB_IF_TABLE2 table = nullptr;
    if (!getTable || !freeTable || getTable(&table) != NO_ERROR)
        return false;
    bool listed = false;
    for (ULONG i = 0; i < table->NumEntries && !listed; ++i) {
        const MIB_IF_ROW2& row = table->Table[i];
        // Wine keeps a device pulled out in the table, with its state unknown.
        listed = alias == row.Alias && row.OperStatus != IfOperStatusUnknown &&
                 row.OperStatus != IfOperStatusNotPresent;
        if (listed) {
            found.guid = row.InterfaceGuid;
            found.description = row.Description;
        }
    }
    freeTable(table);
    return listed;
}

} // namespace

bool FindWlanInterface(const std::string& name, WlanInterface& found) {
    if (name.empty())
        return false;
    if (name[0] == '{') {
        found.description = L"Simulated Wi-Fi adapter";
        return ParseGuid(name, found.guid);
    }
    return FindByAlias(WidenUtf8(name), found);
}

std::wstring WidenUtf8(const std::string& text) {
    const int length = MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    if (length <= 0)
        return std::wstring();
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.c_str(), -1, &wide[0], length);
    wide.resize(static_cast<size_t>(length) - 1);
    return wide;
}

} // namespace dialup_sim
