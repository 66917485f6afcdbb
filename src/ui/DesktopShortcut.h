#pragma once
// The desktop shortcut offered when starting with Windows is switched off, and the two
// shell-link routines behind it. Each routine initialises COM for itself.
#include <windows.h>

#include <string>

// 0 or more when the shortcut file can be loaded and resolved without a search and leads to
// programPath (compared without regard to case); otherwise a negative status: the failing COM
// status, or -1 when the shortcut leads elsewhere.
HRESULT IsShortcutToProgram(HWND hOwner, const std::string& shortcutPath,
                            const std::string& programPath);

// Writes a shortcut to targetPath with the given description and nothing else set; the status
// of saving the file, or the failing status of an earlier step.
HRESULT CreateShortcut(const std::string& targetPath, const std::string& shortcutPath,
                       const std::string& description);

// Unless shortcutPath already leads to programPath, asks (owned by hOwner) whether a shortcut
// for starting by hand is wanted and writes it on Yes.
void OfferShortcut(HWND hOwner, const std::string& shortcutPath, const std::string& programPath);

// OfferShortcut for "Tarvolo.lnk" on the user's desktop and the running program.
void OfferDesktopShortcut(HWND hOwner);
