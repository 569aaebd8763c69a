// The recent-file list: the last six saved diagrams, newest first, kept in the
// settings section "Recent Files" under "RecentFile1" .. "RecentFile6" (the
// empty text for unused keys). Opening a file does not change it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tarvel {

inline constexpr int RECENT_FILE_COUNT = 6;

// The list after saving `path`. A path the menu already shows keeps its place
// (the list is rebuilt from the stored order); any other goes to the top.
// Stored entries follow unless they no longer exist or repeat an entry; the
// list never grows beyond six. Paths compare exactly.
std::vector<std::string> recentFilesAfterSave(
    const std::string& path, const std::vector<std::string>& shownCaptions,
    const std::vector<std::string>& stored, const std::function<bool(const std::string&)>& exists);

// What each of the six menu items shows from the stored list: a path (shown),
// the empty text (hidden), or nothing (the item stays as it is: its file is
// missing). Nothing changes at all while "RecentFile1" is empty.
std::vector<std::optional<std::string>> recentFileItems(
    const std::vector<std::string>& stored, const std::function<bool(const std::string&)>& exists);

// The list in the settings store.
std::vector<std::string> readRecentFiles();
void writeRecentFiles(const std::vector<std::string>& paths);

}  // namespace tarvel
