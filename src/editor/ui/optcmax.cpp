#include "editor/ui/optcmax.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QSettings>
#include <memory>

#include "base/atomicfile.h"
#include "base/logs.h"
#include "dialogs/inifile.h"
#include "editor/ui/codeeditor.h"

// Resources of a static library must be registered by name, outside any namespace.
static void initOptCMaxResources() {
    Q_INIT_RESOURCE(optcmax);
}

namespace tarvel {

namespace {

struct Slot {
    std::size_t entry;
    int slot;
};

// Colour slots fed by the entries' foreground and background colours.
constexpr Slot FOREGROUND_SLOTS[] = {
    {0, CS_BOOKMARK},
    {1, CS_COMMENT},
    {2, CS_H_DIVIDER},
    {3, CS_V_DIVIDER},
    {4, CS_HIGHLIGHTED_LINE},
    {5, CS_KEYWORD},
    {6, CS_LEFT_MARGIN},
    {7, CS_LINE_NUMBER},
    {8, CS_NUMBER},
    {9, CS_OPERATOR},
    {10, CS_SCOPE},
    {11, CS_STRING},
    {12, CS_TAG_ELEMENT},
    {13, CS_TAG_ENTITY},
    {14, CS_TAG_ATTRIBUTE},
    {15, CS_TAG_TEXT},
    {16, CS_TEXT},
};
constexpr Slot BACKGROUND_SLOTS[] = {
    {0, CS_BOOKMARK_BK},    {1, CS_COMMENT_BK},        {5, CS_KEYWORD_BK},
    {7, CS_LINE_NUMBER_BK}, {8, CS_NUMBER_BK},         {9, CS_OPERATOR_BK},
    {10, CS_SCOPE_BK},      {11, CS_STRING_BK},        {12, CS_TAG_ELEMENT_BK},
    {13, CS_TAG_ENTITY_BK}, {14, CS_TAG_ATTRIBUTE_BK}, {15, CS_TAG_TEXT_BK},
    {16, CS_TEXT_BK},
};
// Font-style slots in the order they are applied; entries 12 and 13 share a
// slot, so the later one shows and both read it back.
constexpr Slot STYLE_SLOTS[] = {
    {1, SS_COMMENT},        {7, SS_LINE_NUMBER}, {8, SS_NUMBER},    {9, SS_OPERATOR},
    {10, SS_SCOPE},         {11, SS_STRING},     {12, SS_TAG_NAME}, {13, SS_TAG_NAME},
    {14, SS_TAG_ATTRIBUTE}, {5, SS_KEYWORD},     {15, SS_TAG_TEXT}, {8, SS_NUMBER},
    {16, SS_TEXT},
};

clsLib_OptCMax::MessageHandler& messageHandler() {
    static clsLib_OptCMax::MessageHandler handler = [](const QString& text) {
        QMessageBox::information(nullptr, QGuiApplication::applicationDisplayName(), text);
    };
    return handler;
}

std::optional<std::string> readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return f.readAll().toStdString();
}

void writeFile(const QString& path, const std::string& text) {
    if (readFile(path) == text) {
        return;
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    std::string error;
    if (!WriteFileAtomically(QFile::encodeName(path).toStdString(), text, error)) {
        LogRun(" clsLib_OptCMax.Save, " + error);
    }
}

std::string shippedDefaults() {
    initOptCMaxResources();
    return readFile(QStringLiteral(":/tarvel/Coder.ini")).value_or(std::string());
}

}  // namespace

void clsLib_OptCMax::setMessageHandler(MessageHandler handler) {
    messageHandler() = std::move(handler);
}

QStringList clsLib_OptCMax::programIniPaths() {
    const QString name = QString::fromUtf8(CoderIni::FILE_NAME.data(), CoderIni::FILE_NAME.size());
    const QDir program(QCoreApplication::applicationDirPath());
    // Beside the built program, then where an installation keeps its data.
    return {program.filePath(name),
            QDir::cleanPath(program.filePath(QStringLiteral("../share/tarvel/") + name))};
}

QString clsLib_OptCMax::userIniPath() {
    // Beside the settings store's own file.
    const QString folder = QFileInfo(QSettings().fileName()).absolutePath();
    return QDir(folder).filePath(
        QString::fromUtf8(CoderIni::FILE_NAME.data(), CoderIni::FILE_NAME.size()));
}

clsLib_OptCMax& clsLib_OptCMax::instance() {
    static std::unique_ptr<clsLib_OptCMax> shared;
    if (!shared) {
        shared =
            std::make_unique<clsLib_OptCMax>(programIniPaths(), userIniPath(), messageHandler());
        if (auto* app = QCoreApplication::instance()) {
            QObject::connect(app, &QCoreApplication::aboutToQuit, app, [] { shared->save(); });
        }
    }
    return *shared;
}

clsLib_OptCMax::clsLib_OptCMax(const QStringList& programIni, const QString& userIni,
                               const MessageHandler& message)
    : m_userIni(userIni) {
    QSettings settings;
    settings.beginGroup(
        QString::fromUtf8(EditorOptions::SECTION.data(), EditorOptions::SECTION.size()));
    m_options =
        EditorOptions::read([&settings](std::string_view key) -> std::optional<std::string> {
            const QString k = QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size()));
            if (!settings.contains(k)) {
                return std::nullopt;
            }
            return settings.value(k).toString().toStdString();
        });

    std::optional<std::string> text;
    for (const QString& path : programIni) {
        if ((text = readFile(path))) {
            break;
        }
    }
    const std::optional<std::string> userText = readFile(userIni);
    // The user's own colours: kept over the program's as long as they are sound.
    std::optional<ColourTable> userColours;
    if (text && userText) {
        userColours = CoderIni::readColours(IniFile::parse(*userText));
    }
    if (!text) {
        text = userText;
    }
    const CoderIni::Loaded loaded = CoderIni::load(text, shippedDefaults());
    m_colours = userColours.value_or(loaded.colours);
    m_language = loaded.language;
    m_fileText = loaded.damaged ? loaded.repairedText : *text;
    m_readColours = m_colours;
    m_repaired = loaded.damaged;
    if (loaded.damaged) {
        IniFile repaired = IniFile::parse(m_fileText);
        CoderIni::writeColours(repaired, m_colours);
        m_fileText = repaired.text();
        writeFile(m_userIni, m_fileText);
        if (message) {
            message(QString::fromUtf8(CoderIni::DAMAGED_MESSAGE.data(),
                                      static_cast<qsizetype>(CoderIni::DAMAGED_MESSAGE.size())));
        }
    }
}

void clsLib_OptCMax::GetConfig(CodeEditor& cMax) const {
    for (const Slot& s : FOREGROUND_SLOTS) {
        cMax.setColourSlot(s.slot, m_colours[s.entry].fr);
    }
    for (const Slot& s : BACKGROUND_SLOTS) {
        cMax.setColourSlot(s.slot, m_colours[s.entry].bg);
    }
    for (const Slot& s : STYLE_SLOTS) {
        cMax.setStyleSlot(s.slot, m_colours[s.entry].fnt);
    }
    cMax.setKeywordLists(QString::fromStdString(m_language[LL_KEYWORDS]),
                         QString::fromStdString(m_language[LL_SCOPE_KEYWORDS_START] + "\n" +
                                                m_language[LL_SCOPE_KEYWORDS_END]));
    cMax.setOptions(m_options);
}

void clsLib_OptCMax::SetConfig(const CodeEditor& cMax) {
    m_options = cMax.options();
    for (const Slot& s : FOREGROUND_SLOTS) {
        m_colours[s.entry].fr = cMax.colourSlot(s.slot);
    }
    for (const Slot& s : BACKGROUND_SLOTS) {
        m_colours[s.entry].bg = cMax.colourSlot(s.slot);
    }
    for (const Slot& s : STYLE_SLOTS) {
        m_colours[s.entry].fnt = cMax.styleSlot(s.slot);
    }
}

void clsLib_OptCMax::save() const {
    QSettings settings;
    settings.beginGroup(
        QString::fromUtf8(EditorOptions::SECTION.data(), EditorOptions::SECTION.size()));
    m_options.write([&settings](std::string_view key, const std::string& value) {
        settings.setValue(QString::fromUtf8(key.data(), static_cast<qsizetype>(key.size())),
                          QString::fromStdString(value));
    });
    // The user's file holds what the user changed; left alone otherwise, the
    // program's own file (updated with the program) keeps being read.
    if (m_colours == m_readColours && !m_repaired) {
        return;
    }
    IniFile ini = IniFile::parse(m_fileText);
    CoderIni::writeColours(ini, m_colours);
    writeFile(m_userIni, ini.text());
}

}  // namespace tarvel
