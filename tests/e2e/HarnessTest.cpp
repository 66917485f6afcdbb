// The end-to-end harness proves itself on a stand-in program before it drives tarvolo.exe:
// starting in a fresh folder, finding windows, reading and answering message boxes, waiting for
// the end, the tray, the shell's "open", the registry and the dial-up simulator.
#include "MessageBoxWindow.h"
#include "ProbeTest.h"
#include "Registry.h"
#include "ShellOpenRecorder.h"
#include "SimulatorStateFile.h"
#include "TrayIcons.h"

#include <gtest/gtest.h>

#include <string>

using namespace e2e;

TEST_F(Harness, ProgramStartsInItsFreshFolderAndItsWindowIsFoundByClassOrTitle) {
    ASSERT_TRUE(install.Installed());
    auto run = StartProbe("--class TarvoloProbeA --title \"Erste Probe\" --exit-code 5");
    ASSERT_TRUE(run->Started());
    HWND window = WaitForWindow({"TarvoloProbeA", "", run->ProcessId()}, kPatience);
    ASSERT_NE(nullptr, window);
    EXPECT_EQ("Erste Probe", WindowText(window));
    EXPECT_EQ(window, WaitForWindow({"", "Erste Probe", 0}, 0));
    EXPECT_EQ(nullptr, WaitForWindow({"TarvoloProbeA", "", GetCurrentProcessId()}, 0));
    EXPECT_EQ("created", Reported("window")); // the report went to the fresh folder

    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(5u, run->WaitForExit(kPatience).value_or(999));
    EXPECT_TRUE(WaitForNoWindow({"TarvoloProbeA", "", 0}, kPatience));
}

TEST_F(Harness, MessageBoxIsFoundByCaptionReadAndAnswered) {
    const std::string question = "Sollen die Verbindungsdaten wirklich gel\xF6scht werden ?";
    auto run = StartProbe("--box \"" + question + "\" --style 0x24");
    auto box = MessageBoxWindow::WaitFor(run->ProcessId(), kPatience);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ("Tarvolo", box->Caption());
    EXPECT_EQ(question, box->Text());
    EXPECT_EQ((std::vector<int>{IDYES, IDNO}), box->Buttons());
    EXPECT_TRUE(box->HasIcon());
    EXPECT_FALSE(box->Press(IDOK));
    EXPECT_TRUE(box->Press(IDNO));
    EXPECT_TRUE(box->WaitUntilClosed(kPatience));
    EXPECT_EQ(DWORD(IDNO), run->WaitForExit(kPatience).value_or(999));
    EXPECT_EQ(std::to_string(IDNO), Reported("answer"));
}

TEST_F(Harness, PlainMessageBoxHasOneButtonAndNoIcon) {
    auto run = StartProbe("--box \"Dll not found: pdh.dll\" --style 0");
    auto box = MessageBoxWindow::WaitFor(run->ProcessId(), kPatience);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ("Dll not found: pdh.dll", box->Text());
    EXPECT_EQ(std::vector<int>{IDOK}, box->Buttons());
    EXPECT_FALSE(box->HasIcon());
    EXPECT_TRUE(MessageBoxWindow::FindAll(run->ProcessId(), "Another caption").empty());
    EXPECT_TRUE(box->Press(IDOK));
    EXPECT_EQ(DWORD(IDOK), run->WaitForExit(kPatience).value_or(999));
}

TEST_F(Harness, WaitingForTheEndTimesOutAndARunningProgramIsEndedByForce) {
    auto run = StartProbe("--class TarvoloProbeB");
    ASSERT_NE(nullptr, WaitForWindow({"TarvoloProbeB", "", run->ProcessId()}, kPatience));
    EXPECT_FALSE(run->WaitForExit(300).has_value());
    EXPECT_TRUE(run->IsRunning());
    EXPECT_TRUE(run->Terminate().has_value());
    EXPECT_FALSE(run->IsRunning());
    EXPECT_TRUE(WaitForNoWindow({"TarvoloProbeB", "", 0}, kPatience));
}

TEST_F(Harness, TrayIconOfTheProgramIsSeenAndGoesWithIt) {
    ASSERT_TRUE(WaitForTrayIconCount(0, kPatience));
    auto run = StartProbe("--tray");
    EXPECT_TRUE(WaitForTrayIconCount(1, kPatience));
    run->Terminate();
    EXPECT_TRUE(WaitForTrayIconCount(0, kPatience));
}

TEST_F(Harness, OpeningAPageGoesToTheRecorder) {
    TestFolder& folder = install.Folder();
    ShellOpenRecorder recorder(folder.Copy(RecorderProgram()), folder.File("openings.txt"));
    ASSERT_TRUE(recorder.Registered());
    ASSERT_TRUE(folder.Write("frame.htm", "<HTML></HTML>\r\n"));
    auto run = StartProbe("--open \"" + folder.File("frame.htm") + "\"");
    ASSERT_TRUE(recorder.WaitForOpenings(1, kPatience));
    EXPECT_EQ("ok", Reported("open"));
    ASSERT_EQ(1u, recorder.Openings().size());
    EXPECT_EQ(0, lstrcmpiA(folder.File("frame.htm").c_str(), recorder.Openings()[0].c_str()))
        << recorder.Openings()[0];
}

TEST_F(Harness, RegistryValuesAreReadWrittenAndDeleted) {
    const std::string key = "Software\\TarvoloE2E";
    ASSERT_TRUE(WriteRegistryString(HKEY_CURRENT_USER, key, "Probe", "\"C:\\x y\\tarvolo.exe\""));
    EXPECT_EQ(std::string("\"C:\\x y\\tarvolo.exe\"\0", 21),
              ReadRegistryValue(HKEY_CURRENT_USER, key, "Probe").value_or("missing"));
    EXPECT_TRUE(DeleteRegistryValue(HKEY_CURRENT_USER, key, "Probe"));
    EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, key, "Probe").has_value());
    EXPECT_TRUE(DeleteRegistryValue(HKEY_CURRENT_USER, key, "Probe"));
    EXPECT_TRUE(DeleteRegistryValue(HKEY_CURRENT_USER, key + "\\Missing", "Probe"));
}

TEST_F(Harness, SimulatorStateIsReplacedWholeAndKeepsEarlierKeys) {
    SimulatorStateFile& state = install.Simulator();
    ASSERT_TRUE(state.Set({{"connections", "1"}, {"received", "1048576"}}));
    ASSERT_TRUE(state.Set("received", 3145728LL));
    EXPECT_EQ("connections=1\nreceived=3145728\n",
              install.Folder().Read("dialup-sim.txt").value_or(""));
    EXPECT_FALSE(install.Folder().Exists("dialup-sim.txt.new"));
}

TEST_F(Harness, ProgramLoadsTheDialupSimulatorBesideIt) {
    if (!install.HasSimulator())
        GTEST_SKIP() << "the build has no dial-up simulator yet";
    install.Simulator().Set({{"devices", "3"}, {"rasman", "ok"}});
    auto run = StartProbe("--ras");
    ASSERT_NE(nullptr, WaitForWindow({"TarvoloProbe", "", run->ProcessId()}, kPatience));
    // With devices and no buffer the call asks for one (603) and tells the count; Wine's own
    // library would count one device.
    EXPECT_EQ("603 3", Reported("ras"));
    run->Terminate();

    install.Folder().Remove("report.txt");
    install.Simulator().Set("rasman", "fail");
    auto failing = StartProbe("--ras");
    ASSERT_NE(nullptr, WaitForWindow({"TarvoloProbe", "", failing->ProcessId()}, kPatience));
    EXPECT_EQ(0u, Reported("ras").rfind("711 ", 0)) << Reported("ras");
}
