#pragma once
// The IP helper of Windows XP in place of the system's: the functions of Vista and later are
// missing, GetAdaptersAddresses lists one adapter while it is plugged in, and GetIfEntry reads
// its 32-bit row by the index it has now.
#include "counters/IpHelperApi.h"
#include "system/LateBinding.h"

#include <cstring>

class FakeXpIpHelper {
public:
    static constexpr const char* GUID_TEXT = "{0C9A7D3E-1B2F-4E5A-8C6D-7F8091A2B3C4}";

    bool bPlugged = true;
    DWORD dwIndex = 7; // a new one each time the device is plugged in again
    DWORD dwInOctets = 0;
    DWORD dwOutOctets = 0;

    FakeXpIpHelper() {
        This() = this;
        m_previousLoader =
            SetLateBindingLoader({&LoadLibraryA, &WithoutVistaFunctions, &FreeLibrary});
        ForgetVistaFunctions(); // found missing at their first use, through the loader
        g_ipHelper.GetAdaptersAddresses.Set(&GetAdaptersAddresses);
        g_ipHelper.GetIfEntry.Set(&GetIfEntry);
    }
    ~FakeXpIpHelper() {
        g_ipHelper.GetAdaptersAddresses.Set(nullptr);
        g_ipHelper.GetIfEntry.Set(nullptr);
        SetLateBindingLoader(m_previousLoader);
        ForgetVistaFunctions();
        This() = nullptr;
    }
    FakeXpIpHelper(const FakeXpIpHelper&) = delete;
    FakeXpIpHelper& operator=(const FakeXpIpHelper&) = delete;

    // The device is pulled out and plugged in again: a new index, its counters from 0.
    void PlugInAgain(DWORD dwIn, DWORD dwOut) {
        ++dwIndex;
        dwInOctets = dwIn;
        dwOutOctets = dwOut;
    }

private:
    static FakeXpIpHelper*& This() {
        static FakeXpIpHelper* pThis = nullptr;
        return pThis;
    }
    static void ForgetVistaFunctions() {
        g_ipHelper.GetIfTable2.Set(nullptr);
        g_ipHelper.GetIfEntry2.Set(nullptr);
        g_ipHelper.FreeMibTable.Set(nullptr);
        g_ipHelper.NotifyIpInterfaceChange.Set(nullptr);
        g_ipHelper.CancelMibChangeNotify2.Set(nullptr);
    }
    static FARPROC WINAPI WithoutVistaFunctions(HMODULE hModule, LPCSTR szName) {
        for (const char* vista : {"GetIfTable2", "GetIfEntry2", "FreeMibTable",
                                  "NotifyIpInterfaceChange", "CancelMibChangeNotify2"})
            if (std::strcmp(szName, vista) == 0)
                return nullptr;
        return GetProcAddress(hModule, szName);
    }
    static ULONG WINAPI GetAdaptersAddresses(ULONG, ULONG, PVOID, PIP_ADAPTER_ADDRESSES pAddresses,
                                             PULONG pSize) {
        static char name[] = "{0C9A7D3E-1B2F-4E5A-8C6D-7F8091A2B3C4}";
        static WCHAR alias[] = L"Mobilfunk";
        static WCHAR description[] = L"USB Modem";
        if (!This()->bPlugged)
            return ERROR_NO_DATA;
        if (*pSize < sizeof(IP_ADAPTER_ADDRESSES)) {
            *pSize = sizeof(IP_ADAPTER_ADDRESSES);
            return ERROR_BUFFER_OVERFLOW;
        }
        *pAddresses = IP_ADAPTER_ADDRESSES{};
        pAddresses->Length = sizeof(IP_ADAPTER_ADDRESSES);
        pAddresses->IfIndex = This()->dwIndex;
        pAddresses->AdapterName = name;
        pAddresses->FriendlyName = alias;
        pAddresses->Description = description;
        pAddresses->IfType = IF_TYPE_ETHERNET_CSMACD;
        pAddresses->OperStatus = IfOperStatusUp;
        return NO_ERROR;
    }
    static DWORD WINAPI GetIfEntry(PMIB_IFROW pRow) {
        const FakeXpIpHelper& fake = *This();
        if (!fake.bPlugged || pRow->dwIndex != fake.dwIndex)
            return ERROR_INVALID_DATA;
        lstrcpyW(pRow->wszName, L"\\DEVICE\\TCPIP_{0C9A7D3E-1B2F-4E5A-8C6D-7F8091A2B3C4}");
        pRow->dwOperStatus = MIB_IF_OPER_STATUS_OPERATIONAL;
        pRow->dwInOctets = fake.dwInOctets;
        pRow->dwOutOctets = fake.dwOutOctets;
        return NO_ERROR;
    }

    LATEBINDING_LOADER m_previousLoader;
};
