#include "shell/ui/recentfiles.h"

#include <QSettings>
#include <algorithm>

namespace tarvel {

namespace {

QString key(int i) {
    return QStringLiteral("RecentFile") + QString::number(i + 1);
}

}  // namespace

std::vector<std::string> recentFilesAfterSave(
    const std::string& path, const std::vector<std::string>& shownCaptions,
    const std::vector<std::string>& stored, const std::function<bool(const std::string&)>& exists) {
    std::vector<std::string> list;
    if (std::find(shownCaptions.begin(), shownCaptions.end(), path) == shownCaptions.end()) {
        list.push_back(path);
    }
    for (const std::string& entry : stored) {
        if (list.size() >= RECENT_FILE_COUNT) {
            break;
        }
        if (entry.empty() || !exists(entry) ||
            std::find(list.begin(), list.end(), entry) != list.end()) {
            continue;
        }
        list.push_back(entry);
    }
    return list;
}

std::vector<std::optional<std::string>> recentFileItems(
    const std::vector<std::string>& stored, const std::function<bool(const std::string&)>& exists) {
    std::vector<std::optional<std::string>> items(RECENT_FILE_COUNT);
    if (stored.empty() || stored.front().empty()) {
        return items;
    }
    for (std::size_t i = 0; i < items.size(); ++i) {
        const std::string entry = i < stored.size() ? stored[i] : std::string();
        if (entry.empty()) {
            items[i] = std::string();  // an unused key hides its item
        } else if (exists(entry)) {
            items[i] = entry;
        }
    }
    return items;
}

std::vector<std::string> readRecentFiles() {
    QSettings settings;
    settings.beginGroup(QStringLiteral("Recent Files"));
    std::vector<std::string> list;
    for (int i = 0; i < RECENT_FILE_COUNT; ++i) {
        list.push_back(settings.value(key(i)).toString().toStdString());
    }
    return list;
}

void writeRecentFiles(const std::vector<std::string>& paths) {
    QSettings settings;
    settings.beginGroup(QStringLiteral("Recent Files"));
    for (int i = 0; i < RECENT_FILE_COUNT; ++i) {
        const std::size_t at = static_cast<std::size_t>(i);
        settings.setValue(key(i),
                          at < paths.size() ? QString::fromStdString(paths[at]) : QString());
    }
}

}  // namespace tarvel
