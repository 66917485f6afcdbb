#pragma once
// Where the programs of an end-to-end test are. The build hands their paths over as Linux
// paths; the tests run under Wine and see them through drive Z:.
#include <string>
#include <vector>

namespace e2e {

// A Linux path as a Windows program under Wine sees it (Z:\...). Windows paths stay as they are.
std::string WindowsPath(const std::string& path);

std::string TarvoloProgram();  // tarvolo.exe of this build
std::string ProbeProgram();    // the harness's stand-in program
std::string RecorderProgram(); // the recorder registered as the browser
// A program of the system's folder, such as Wine's wineboot.exe.
std::string SystemProgram(const std::string& name);

// The dial-up simulator's libraries (rasapi32.dll, pdh.dll, wlanapi.dll) of this build; empty while
// the build has none.
std::vector<std::string> DialupSimulatorLibraries();

} // namespace e2e
