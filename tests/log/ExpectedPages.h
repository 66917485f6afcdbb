#pragma once
// The report pages as they must reach the disk, written out by hand: lines of the templates
// end in CR CR LF, rows in CR LF.
#include <string>
#include <string_view>

inline std::string CrCrLfLines(std::initializer_list<const char*> lines) {
    std::string text;
    for (const char* line : lines)
        text += std::string(line) + "\r\r\n";
    return text;
}

// As a text file writes it: a CR before every line feed, so template lines that end in CR LF
// reach the disk as CR CR LF.
inline std::string InFileForm(std::string_view text) {
    std::string form;
    for (char c : text) {
        if (c == '\n')
            form += '\r';
        form += c;
    }
    return form;
}

inline const std::string FRAME_PAGE = CrCrLfLines({
    "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Frameset//DE\" "
    "\"http://www.w3.org/TR/html4/frameset.dtd\">",
    "<HTML>",
    "<HEAD>",
    "<TITLE>Tarvolo</TITLE>",
    "</HEAD>",
    "",
    "<FRAMESET>",
    "\t<FRAMESET rows=\"160, *\">",
    "\t\t<FRAME src=\"mlog.htm\">",
    "\t\t<FRAME src=\"clog.htm\">",
    "\t</FRAMESET>",
    "\t<NOFRAMES>",
    "\t\t<P>Verbindungsdaten:",
    "\t\t<UL>",
    "\t\t\t<LI><A href=\"mlog.htm\">Monatsdaten</A>",
    "\t\t\t<LI><A href=\"clog.htm\">Einzelverbindungsdaten</A>",
    "\t\t</UL>",
    "\t</NOFRAMES>",
    "</FRAMESET>",
    "</HTML>",
});

inline const std::string CONNECTION_PAGE_FOOT =
    CrCrLfLines({"<!-- LOG END -->", "</table>", "</BODY>", "</HTML>"});

inline const std::string MONTH_PAGE_FOOT = CrCrLfLines({"</table>", "</BODY>", "</HTML>"});

inline std::string Cell(const std::string& text) {
    return "<td><font face=\"Verdana\" size=\"2\">" + text + "</font></td>";
}

inline std::string Row(std::initializer_list<std::string> cells) {
    std::string row = "<tr>";
    for (const std::string& cell : cells)
        row += Cell(cell);
    return row + "</tr>\r\n";
}
