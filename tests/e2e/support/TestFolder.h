#pragma once
// A fresh, empty folder for one test run of a program, removed with everything in it at the end
// (kept when TARVOLO_E2E_KEEP is set, for looking at a failure).
#include <optional>
#include <string>

namespace e2e {

class TestFolder {
public:
    TestFolder();
    ~TestFolder();
    TestFolder(const TestFolder&) = delete;
    TestFolder& operator=(const TestFolder&) = delete;

    const std::string& Path() const { return m_path; }
    // The full path of a file in the folder.
    std::string File(const std::string& name) const;

    // Copies a file into the folder under its own name (or the given one); returns the copy's
    // path, or an empty text when the copy failed.
    std::string Copy(const std::string& source, const std::string& name = {}) const;

    bool Exists(const std::string& name) const;
    // The whole content of a file, or none when it cannot be read.
    std::optional<std::string> Read(const std::string& name) const;
    bool Write(const std::string& name, const std::string& content) const;
    bool Remove(const std::string& name) const;

private:
    std::string m_path;
};

// The whole content of the file at path, or none.
std::optional<std::string> ReadWholeFile(const std::string& path);

} // namespace e2e
