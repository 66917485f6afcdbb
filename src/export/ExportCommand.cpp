#include "export/ExportCommand.h"

#include "export/CsvExport.h"
#include "framework/CException.h"
#include "framework/CFileLocation.h"
#include "log/DataFolder.h"

#include <windows.h>

#include <new>

namespace {

const char PROGRAM[] = "tarvolo-export";

const char USAGE[] =
    "Usage: tarvolo-export [--dir <folder>] connections|months|periods|days [--day <1..31>]\r\n"
    "Writes the Tarvolo log as CSV to standard output.\r\n"
    "\r\n"
    "  connections     one row per stored connection (clog.dat):\r\n"
    "                  start_utc,start_local,duration_s,received_bytes,sent_bytes\r\n"
    "  months          one row per calendar month 1 to 12 (mlog.dat):\r\n"
    "                  month,duration_s,received_bytes,sent_bytes\r\n"
    "                  then the line # saved_utc,<time the totals were saved>\r\n"
    "  periods         one row per billing period with a stored connection (clog.dat),\r\n"
    "                  oldest first; a connection counts for the period it began in:\r\n"
    "                  period_start_local,period_end_local,connections,duration_s,\r\n"
    "                  received_bytes,sent_bytes\r\n"
    "  days            one row per local calendar day with a stored connection (clog.dat),\r\n"
    "                  oldest first; a connection counts for the day it began on:\r\n"
    "                  date,connections,duration_s,received_bytes,sent_bytes\r\n"
    "  --day <1..31>   day of the month on which a billing period begins at 00:00 local\r\n"
    "                  time (default 1); a shorter month begins it on its last day\r\n"
    "  --dir <folder>  folder of the data files (default: Tarvolo's, the folder of this\r\n"
    "                  program or, where that takes no files, Tarvolo in the user's local\r\n"
    "                  application data)\r\n"
    "  --help          show this text\r\n"
    "\r\n"
    "Times are ISO 8601: UTC with a trailing Z, local time without a zone.\r\n"
    "Exit code 0 on success, 2 on any error.\r\n";

// The longest path of a data file that the system's path functions take whole: a longer one
// they cut or drop, and the files of another folder would be exported in its place.
const std::size_t LONGEST_DATA_FILE_PATH = MAX_PATH - 1;
const std::size_t DATA_FILE_NAME_LENGTH = sizeof "clog.dat" - 1; // as long as "mlog.dat"

bool FolderTooLong(const std::string& folder) {
    const bool bSeparator = folder.back() == '\\' || folder.back() == '/';
    return folder.size() + (bSeparator ? 0 : 1) + DATA_FILE_NAME_LENGTH > LONGEST_DATA_FILE_PATH;
}

bool IsCommand(const std::string& arg) {
    return arg == "connections" || arg == "months" || arg == "periods" || arg == "days";
}

// A day of 1 to 31 in one or two plain digits. Read by hand: the library's conversions import
// strtol, which is not on the list of functions known to Windows XP SP3, and would take a sign,
// spaces and numbers that overflow into the range.
bool ParseBillingDay(const std::string& text, int& nDay) {
    if (text.empty() || text.size() > 2)
        return false;
    int nValue = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
        nValue = nValue * 10 + (c - '0');
    }
    if (nValue < 1 || nValue > 31)
        return false;
    nDay = nValue;
    return true;
}

std::string DataFilePath(const std::string& folder, const char* name) {
    CFileLocation location;
    location.SetFolder(folder.empty() ? DataFolder() : folder);
    location.SetFileName(name);
    return location.GetPath();
}

void Export(const ExportOptions& options, std::ostream& out) {
    if (options.command == "connections") {
        WriteConnectionsCsv(ReadConnectionsFile(DataFilePath(options.folder, "clog.dat")), out);
    } else if (options.command == "periods") {
        WritePeriodsCsv(ReadConnectionsFile(DataFilePath(options.folder, "clog.dat")),
                        options.nBillingDay, out);
    } else if (options.command == "days") {
        WriteDaysCsv(ReadConnectionsFile(DataFilePath(options.folder, "clog.dat")), out);
    } else {
        MonthTable table{};
        const TIME64 saveTime = ReadMonthsFile(DataFilePath(options.folder, "mlog.dat"), table);
        WriteMonthsCsv(table, saveTime, out);
    }
}

int Fail(std::ostream& err, const std::string& reason) {
    err << PROGRAM << ": " << reason << "\n";
    return EXPORT_FAILED;
}

} // namespace

bool ParseExportArguments(const std::vector<std::string>& args, ExportOptions& options,
                          std::string& error) {
    const std::string dirPrefix = "--dir=";
    const std::string dayPrefix = "--day=";
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h" || arg == "/?") {
            options.bHelp = true;
        } else if (arg == "--dir" || arg.compare(0, dirPrefix.size(), dirPrefix) == 0) {
            const bool valueFollows = arg == "--dir";
            if (valueFollows && i + 1 == args.size()) {
                error = "--dir needs a folder (see --help)";
                return false;
            }
            options.folder = valueFollows ? args[++i] : arg.substr(dirPrefix.size());
            if (options.folder.empty()) {
                error = "--dir needs a folder (see --help)";
                return false;
            }
            if (FolderTooLong(options.folder)) {
                error = "--dir: the folder's path is too long (at most " +
                        std::to_string(LONGEST_DATA_FILE_PATH - DATA_FILE_NAME_LENGTH - 1) +
                        " characters)";
                return false;
            }
        } else if (arg == "--day" || arg.compare(0, dayPrefix.size(), dayPrefix) == 0) {
            const bool valueFollows = arg == "--day";
            const std::string value = !valueFollows         ? arg.substr(dayPrefix.size())
                                      : i + 1 < args.size() ? args[++i]
                                                            : std::string();
            if (!ParseBillingDay(value, options.nBillingDay)) {
                error = "--day needs a day of the month from 1 to 31 (see --help)";
                return false;
            }
            options.bDayGiven = true;
        } else if (IsCommand(arg) && options.command.empty()) {
            options.command = arg;
        } else {
            error = "unexpected argument '" + arg + "' (see --help)";
            return false;
        }
    }
    if (!options.bHelp && options.command.empty()) {
        error = "no command given: connections, months, periods or days (see --help)";
        return false;
    }
    if (!options.bHelp && options.bDayGiven && options.command != "periods") {
        error = "--day belongs to periods (see --help)";
        return false;
    }
    return true;
}

int RunExport(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    ExportOptions options;
    std::string error;
    if (!ParseExportArguments(args, options, error))
        return Fail(err, error);
    if (options.bHelp) {
        out << USAGE;
        out.flush();
        return out ? EXPORT_OK : Fail(err, "cannot write to standard output");
    }
    try {
        Export(options, out);
    } catch (const CException& e) {
        return Fail(err, e.GetErrorMessage());
    } catch (const std::bad_alloc&) {
        return Fail(err, "out of memory");
    }
    out.flush();
    if (!out)
        return Fail(err, "cannot write to standard output");
    return EXPORT_OK;
}
