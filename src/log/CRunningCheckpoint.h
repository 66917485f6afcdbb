#pragma once
// The running connection as far as it is known, in a small file of its own beside "clog.dat"
// ("clog.run"), so that a crash, a kill or a power cut while online loses at most the traffic
// since it was last written. The file is replaced in one step like the data files; a file that
// is cut, damaged or of another kind reads as none.
//
// The image: the tag "TVRN", a word of flags, the connection's 48-byte record image as
// "clog.dat" stores it, and a checksum of all that came before; little-endian throughout.
//
// Usually the file holds one image: the running connection, or the one being booked. Where
// "clog.dat" could not take finished connections yet (held by another program), their images
// come first, so that a kill loses none of what only memory holds.
#include "framework/CFileReplacement.h"
#include "log/CConnectionInfo.h"

#include <optional>
#include <string>
#include <vector>

class CRunningCheckpoint {
public:
    static constexpr unsigned IMAGE_SIZE = 8 + CConnectionInfo::IMAGE_SIZE + 4;

    struct Content {
        CConnectionInfo info;
        // The month totals in "mlog.dat" hold the connection already, "clog.dat" not.
        bool bInMonths = false;
    };

    void SetPath(const std::string& path) { m_strPath = path; }
    void SetFileOpener(CFileReplacement::FileOpener opener) { m_opener = std::move(opener); }

    // True when the file holds the connection now.
    bool Write(const CConnectionInfo& info, bool bInMonths = false) const;
    // True when the file holds these connections now, one image each, in this order.
    bool Write(const std::vector<Content>& contents) const;
    // The last connection the file holds, if it is there and whole.
    std::optional<Content> Read() const;
    // Every connection the file holds, if it is there and whole.
    std::optional<std::vector<Content>> ReadAll() const;
    // True when the file is gone.
    bool Remove() const;

    static void StoreImage(const Content& content, unsigned char (&image)[IMAGE_SIZE]);
    static std::optional<Content> FromImage(const unsigned char (&image)[IMAGE_SIZE]);

private:
    std::string m_strPath;
    CFileReplacement::FileOpener m_opener;
};
