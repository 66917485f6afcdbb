#pragma once
// Where the log keeps its files: the program's folder wherever it takes files (portable use,
// every older Windows), else "Tarvolo" in the user's local application data folder (the program
// under "Program Files" run by a standard user, whose writes there Windows refuses). The report
// pages go with the data files, so the browser opened by "Anzeigen" finds them.
#include <string>

// The folder for this process, with its final backslash, decided at the first call.
std::string DataFolder();

// The choice for the given program folder and local application data folder (either may be
// empty when unknown); creates the folder below the latter when it is chosen.
std::string ChooseDataFolder(const std::string& programFolder, const std::string& localAppData);
