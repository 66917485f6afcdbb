// The resource script is hand-kept cp1252 with CR LF; these tests catch an editor or a
// checkout that converts line ends or re-encodes the German letters.
#include "resource.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

std::string LoadTemplate(int id) {
    HRSRC info = FindResourceA(nullptr, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10) /* RT_RCDATA */);
    if (!info)
        return {};
    HGLOBAL data = LoadResource(nullptr, info);
    const char* bytes = static_cast<const char*>(LockResource(data));
    return std::string(bytes, SizeofResource(nullptr, info));
}

std::string LoadText(unsigned id) {
    char buffer[512] = {};
    int length = LoadStringA(nullptr, id, buffer, sizeof buffer);
    return std::string(buffer, length);
}

int CountLines(const std::string& text) {
    int lines = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << "bare line feed at " << i;
            ++lines;
        }
    }
    return lines;
}

} // namespace

TEST(ReportTemplates, EveryLineEndsInCrLfAndTextIsAscii) {
    const struct {
        int id;
        int lines;
    } templates[] = {{IDR_CLOG_HEAD, 21},
                     {IDR_CLOG_FOOT, 4},
                     {IDR_FRAME_PAGE, 20},
                     {IDR_MLOG_HEAD, 19},
                     {IDR_MLOG_FOOT, 3}};
    for (const auto& t : templates) {
        std::string text = LoadTemplate(t.id);
        ASSERT_FALSE(text.empty()) << t.id;
        EXPECT_EQ(t.lines, CountLines(text)) << t.id;
        EXPECT_EQ("\r\n", text.substr(text.size() - 2)) << t.id;
        for (unsigned char c : text)
            EXPECT_LT(c, 0x80) << t.id;
    }
}

TEST(ReportTemplates, ConnectionReportMarkers) {
    std::string head = LoadTemplate(IDR_CLOG_HEAD);
    std::string marker = "<!-- LOG START -->\r\n";
    EXPECT_EQ(marker, head.substr(head.size() - marker.size()));
    EXPECT_EQ(0u, LoadTemplate(IDR_CLOG_FOOT).find("<!-- LOG END -->\r\n</table>\r\n"));
}

TEST(ReportTemplates, DocumentTypes) {
    EXPECT_EQ(0u,
              LoadTemplate(IDR_CLOG_HEAD)
                  .find("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//DE\" "
                        "\"http://www.w3.org/TR/1999/REC-html401-19991224/loose.dtd\"><HTML>\r\n"));
    EXPECT_EQ(0u, LoadTemplate(IDR_FRAME_PAGE)
                      .find("<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Frameset//DE\" "
                            "\"http://www.w3.org/TR/html4/frameset.dtd\">\r\n<HTML>\r\n"));
    std::string monthHead = LoadTemplate(IDR_MLOG_HEAD);
    EXPECT_NE(std::string::npos, monthHead.find("<strong>Monatsdaten</strong>"));
    EXPECT_EQ(std::string::npos, monthHead.find("<!--"));
}

TEST(StringTable, GermanLettersAreWindows1252) {
    EXPECT_EQ("Der Zugriff auf das DF\xDC-Netzwerk ist fehlgeschlagen!", LoadText(IDS_RAS_FAILED));
    EXPECT_EQ("Sollen die Verbindungsdaten wirklich gel\xF6scht werden ?",
              LoadText(IDS_DELETE_QUESTION));
    EXPECT_EQ("Diese Anwendung ben\xF6tigt mindestens Windows 95 OSR2 oder das Microsoft "
              "DF\xDC-Update 1.3 !",
              LoadText(IDS_RAS_MISSING));
    EXPECT_EQ("Tarvolo: %s MByte", LoadText(IDS_TOOLTIP_FORMAT));
    EXPECT_EQ("Tarvolo", LoadText(IDS_APP_TITLE));
}
