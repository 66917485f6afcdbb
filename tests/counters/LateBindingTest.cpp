// Late binding: the moment of binding, one module handle per library, the failure texts and
// the end of the program after a failed binding.
#include "system/LateBinding.h"
#include "system/LateBoundFunction.h"
#include "counters/PdhApi.h"
#include "ras/RasApi.h"

#include "support/MessageCapture.h"
#include "support/TestThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <stdexcept>
#include <string>

namespace {

using GetCurrentProcessIdFn = DWORD(WINAPI*)();
using GetTickCountFn = DWORD(WINAPI*)();

// Counts the loader calls and forwards them to the system.
struct CountingLoader {
    static std::atomic<int> loads, resolves, releases;
    static HMODULE WINAPI Load(LPCSTR szDll) {
        ++loads;
        return LoadLibraryA(szDll);
    }
    static FARPROC WINAPI Resolve(HMODULE hModule, LPCSTR szProc) {
        ++resolves;
        return GetProcAddress(hModule, szProc);
    }
    static BOOL WINAPI Release(HMODULE hModule) {
        ++releases;
        return FreeLibrary(hModule);
    }
};
std::atomic<int> CountingLoader::loads, CountingLoader::resolves, CountingLoader::releases;

// Holds every load until two threads are inside it, so that both first calls load.
struct RacingLoader {
    static std::atomic<int> inside;
    static HMODULE WINAPI Load(LPCSTR szDll) {
        ++inside;
        for (int i = 0; i < 5000 && inside < 2; ++i)
            Sleep(1);
        return CountingLoader::Load(szDll);
    }
};
std::atomic<int> RacingLoader::inside;

struct BindingEnded : std::runtime_error {
    explicit BindingEnded(UINT code) : std::runtime_error("ended"), uExitCode(code) {}
    UINT uExitCode;
};

void ThrowInsteadOfEnding(UINT uExitCode) {
    throw BindingEnded(uExitCode);
}

DWORD WINAPI FakeProcessId() {
    return 4711;
}

class LateBindingTest : public ::testing::Test {
protected:
    void SetUp() override {
        CountingLoader::loads = CountingLoader::resolves = CountingLoader::releases = 0;
        RacingLoader::inside = 0;
        m_previousLoader = SetLateBindingLoader(
            {CountingLoader::Load, CountingLoader::Resolve, CountingLoader::Release});
        m_previousEnd = SetLateBindingEnd(ThrowInsteadOfEnding);
    }
    void TearDown() override {
        SetLateBindingLoader(m_previousLoader);
        SetLateBindingEnd(m_previousEnd);
    }

    // Calls the slot and returns the exit code of the end it ran into (0: it came back).
    template <typename Fn> UINT ExitCodeOfCall(CLateBoundFunction<Fn>& slot, bool& bAfter) {
        try {
            slot();
            bAfter = true;
        } catch (const BindingEnded& ended) {
            return ended.uExitCode;
        }
        return 0;
    }

    LATEBINDING_LOADER m_previousLoader;
    LateBindingEnd m_previousEnd;
    MessageCapture m_boxes;
};

} // namespace

TEST_F(LateBindingTest, NothingIsLoadedBeforeTheFirstCall) {
    CLateBoundLibrary library("kernel32.dll");
    CLateBoundFunction<GetCurrentProcessIdFn> slot(library, "GetCurrentProcessId");
    EXPECT_EQ(nullptr, library.GetModule());
    EXPECT_FALSE(slot.IsBound());
    EXPECT_EQ(0, CountingLoader::loads);
}

TEST_F(LateBindingTest, TheFirstCallLoadsAndResolvesTheSecondDoesNeither) {
    CLateBoundLibrary library("kernel32.dll");
    CLateBoundFunction<GetCurrentProcessIdFn> slot(library, "GetCurrentProcessId");
    EXPECT_EQ(GetCurrentProcessId(), slot());
    EXPECT_EQ(1, CountingLoader::loads);
    EXPECT_EQ(1, CountingLoader::resolves);
    EXPECT_EQ(GetModuleHandleA("kernel32.dll"), library.GetModule());
    EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(library.GetModule(), "GetCurrentProcessId")),
              reinterpret_cast<void*>(slot.Get()));

    EXPECT_EQ(GetCurrentProcessId(), slot());
    EXPECT_EQ(1, CountingLoader::loads);
    EXPECT_EQ(1, CountingLoader::resolves);
    EXPECT_EQ(0, CountingLoader::releases);
}

TEST_F(LateBindingTest, AFurtherFunctionOfALoadedLibraryIsOnlyResolved) {
    CLateBoundLibrary library("kernel32.dll");
    CLateBoundFunction<GetCurrentProcessIdFn> first(library, "GetCurrentProcessId");
    CLateBoundFunction<GetTickCountFn> second(library, "GetTickCount");
    first();
    second();
    EXPECT_EQ(1, CountingLoader::loads);
    EXPECT_EQ(2, CountingLoader::resolves);
}

TEST_F(LateBindingTest, ConcurrentFirstLoadsPublishOneHandleAndGiveTheSurplusBack) {
    SetLateBindingLoader({RacingLoader::Load, CountingLoader::Resolve, CountingLoader::Release});
    CLateBoundLibrary library("kernel32.dll");
    CLateBoundFunction<GetCurrentProcessIdFn> first(library, "GetCurrentProcessId");
    CLateBoundFunction<GetTickCountFn> second(library, "GetTickCount");
    TestThread a([&] { first(); });
    TestThread b([&] { second(); });
    a.Join();
    b.Join();
    EXPECT_EQ(2, CountingLoader::loads);
    EXPECT_EQ(1, CountingLoader::releases);
    EXPECT_EQ(GetModuleHandleA("kernel32.dll"), library.GetModule());
}

TEST_F(LateBindingTest, AMissingLibraryIsNamedAndEndsTheProgram) {
    CLateBoundLibrary library("tarvolo_absent.dll");
    CLateBoundFunction<GetCurrentProcessIdFn> slot(library, "AnyFunction");
    bool bAfter = false;
    EXPECT_EQ(EXIT_LIBRARY_NOT_FOUND, ExitCodeOfCall(slot, bAfter));
    EXPECT_FALSE(bAfter) << "no code after the failed call runs";
    ASSERT_EQ(1u, m_boxes.Messages().size());
    EXPECT_EQ("Dll not found: tarvolo_absent.dll", m_boxes.Messages()[0].text);
    EXPECT_EQ(unsigned(MB_OK), m_boxes.Messages()[0].style) << "OK only, no icon";
    EXPECT_EQ(0, CountingLoader::resolves);
}

TEST_F(LateBindingTest, AMissingFunctionIsNamedWithItsLibraryAndEndsTheProgram) {
    CLateBoundLibrary library("kernel32.dll");
    CLateBoundFunction<GetCurrentProcessIdFn> slot(library, "TarvoloAbsentFunction");
    bool bAfter = false;
    EXPECT_EQ(EXIT_FUNCTION_NOT_FOUND, ExitCodeOfCall(slot, bAfter));
    EXPECT_FALSE(bAfter);
    EXPECT_EQ(
        std::vector<std::string>{"Function TarvoloAbsentFunction was not found in kernel32.dll"},
        m_boxes.Texts());
    EXPECT_FALSE(slot.IsBound());
}

TEST_F(LateBindingTest, TheHookNamesAnOrdinalImport) {
    DelayLoadInfo info = {};
    info.cb = sizeof info;
    info.szDll = "RASAPI32.dll";
    info.dlp.fImportByName = FALSE;
    info.dlp.dwOrdinal = 42;
    EXPECT_EQ(nullptr, OnDelayLoadFailure(dliFailGetProc, &info));
    EXPECT_EQ(std::vector<std::string>{"Function ordinal 42 was not found in RASAPI32.dll"},
              m_boxes.Texts());
}

TEST_F(LateBindingTest, TheHookIsSilentForOtherNotifications) {
    DelayLoadInfo info = {};
    info.cb = sizeof info;
    info.szDll = "pdh.dll";
    info.dlp.fImportByName = TRUE;
    info.dlp.szProcName = "PdhOpenQuery";
    for (unsigned code : {unsigned(dliStartProcessing), unsigned(dliNotePreLoadLibrary),
                          unsigned(dliNotePreGetProcAddress), unsigned(dliNoteEndProcessing)})
        EXPECT_EQ(nullptr, OnDelayLoadFailure(code, &info));
    EXPECT_TRUE(m_boxes.Messages().empty());
    EXPECT_EQ(nullptr, OnDelayLoadFailure(dliFailLoadLib, &info));
    EXPECT_EQ(std::vector<std::string>{"Dll not found: pdh.dll"}, m_boxes.Texts());
}

TEST_F(LateBindingTest, AFakeInTheSlotIsCalledWithoutBinding) {
    CLateBoundLibrary library("tarvolo_absent.dll");
    CLateBoundFunction<GetCurrentProcessIdFn> slot(library, "AnyFunction");
    const GetCurrentProcessIdFn previous = slot.Set(FakeProcessId);
    EXPECT_EQ(nullptr, previous);
    EXPECT_EQ(4711u, slot());
    EXPECT_EQ(0, CountingLoader::loads);
    EXPECT_TRUE(m_boxes.Messages().empty());
}

// The nine functions of pdh.dll and the four of RASAPI32.dll, bound against the system's own
// libraries by the names the program gives them.
TEST_F(LateBindingTest, EverySlotOfBothTablesBindsToTheSystemsFunction) {
    auto expectBinds = [](auto& slot) {
        const HMODULE hModule = LoadLibraryA(slot.GetLibrary().GetName());
        ASSERT_NE(nullptr, hModule) << slot.GetLibrary().GetName();
        EXPECT_EQ(reinterpret_cast<void*>(GetProcAddress(hModule, slot.GetName())),
                  reinterpret_cast<void*>(slot.Get()))
            << slot.GetName();
        FreeLibrary(hModule);
    };
    expectBinds(g_pdh.PdhOpenQuery);
    expectBinds(g_pdh.PdhCloseQuery);
    expectBinds(g_pdh.PdhAddCounterA);
    expectBinds(g_pdh.PdhRemoveCounter);
    expectBinds(g_pdh.PdhCollectQueryData);
    expectBinds(g_pdh.PdhGetFormattedCounterValue);
    expectBinds(g_pdh.PdhEnumObjectsA);
    expectBinds(g_pdh.PdhEnumObjectItemsA);
    expectBinds(g_pdh.PdhMakeCounterPathA);
    expectBinds(g_ras.RasEnumDevicesA);
    expectBinds(g_ras.RasEnumConnectionsA);
    expectBinds(g_ras.RasGetConnectStatusA);
    expectBinds(g_ras.RasConnectionNotificationA);
    EXPECT_STREQ("pdh.dll", g_pdhLibrary.GetName());
    EXPECT_STREQ("RASAPI32.dll", g_rasLibrary.GetName());
    EXPECT_LE(CountingLoader::loads, 2) << "each library is loaded at most once";
    EXPECT_TRUE(m_boxes.Messages().empty());
}
