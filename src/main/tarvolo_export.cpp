// tarvolo-export: the connection log and the month totals as CSV on standard output.
#include "export/ExportCommand.h"
#include "system/TimeZoneVariable.h"

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    // Local times and billing periods follow the system's time zone, as in tarvolo.exe.
    ClearUnreadableTimeZoneVariable();
    // The CSV carries its own CR LF; text mode would turn them into CR CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    const std::vector<std::string> args(argv + 1, argv + argc);
    return RunExport(args, std::cout, std::cerr);
}
