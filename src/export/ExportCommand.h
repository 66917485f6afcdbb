#pragma once
// The command line of tarvolo-export: "[--dir <folder>] connections|months|periods|days
// [--day <1..31>]" or "--help".
#include <ostream>
#include <string>
#include <vector>

struct ExportOptions {
    bool bHelp = false;
    std::string command; // "connections", "months", "periods" or "days"
    std::string folder;  // empty: the program's own folder
    int nBillingDay = 1; // of "periods"
    bool bDayGiven = false;
};

// Fills options from the arguments (without the program name); false with a one-line reason
// in error for an argument that does not fit.
bool ParseExportArguments(const std::vector<std::string>& args, ExportOptions& options,
                          std::string& error);

// Runs the command: CSV to out, a one-line English error to err. Returns the exit code,
// 0 on success and 2 on any error. Reads the data files, never writes them.
int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

constexpr int EXPORT_OK = 0;
constexpr int EXPORT_FAILED = 2;
