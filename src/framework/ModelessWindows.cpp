#include "framework/ModelessWindows.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace fw {
namespace {

struct ModelessEntry {
    HWND window;
    ModelessMessageFilter filter;
};

// Windows belong to the thread that created them, and so does this list.
std::vector<ModelessEntry>& Entries() {
    thread_local std::vector<ModelessEntry> entries;
    return entries;
}

void DropDeadEntries() {
    auto& entries = Entries();
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [](const ModelessEntry& e) { return !IsWindow(e.window); }),
                  entries.end());
}

bool IsWithin(HWND window, HWND target) {
    return target == window || IsChild(window, target);
}

} // namespace

void AddModelessWindow(HWND window, ModelessMessageFilter filter) {
    RemoveModelessWindow(window);
    if (window && filter)
        Entries().push_back({window, std::move(filter)});
}

void RemoveModelessWindow(HWND window) {
    auto& entries = Entries();
    entries.erase(std::remove_if(entries.begin(), entries.end(),
                                 [window](const ModelessEntry& e) { return e.window == window; }),
                  entries.end());
}

bool FilterModelessMessage(MSG& msg) {
    if (!msg.hwnd)
        return false;
    DropDeadEntries();
    // A filter may open or close windows, and with them change the list: work on a copy.
    const std::vector<ModelessEntry> entries = Entries();
    for (const auto& entry : entries) {
        if (IsWindow(entry.window) && IsWithin(entry.window, msg.hwnd) &&
            entry.filter(entry.window, msg))
            return true;
    }
    return false;
}

} // namespace fw
