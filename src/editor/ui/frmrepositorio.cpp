#include "editor/ui/frmrepositorio.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

#include "editor/ui/codeeditor.h"
#include "model/document.h"

namespace tarvel {

namespace {

frmRepositorio::DocumentsProvider& documentsProvider() {
    static frmRepositorio::DocumentsProvider provider;
    return provider;
}

// The control's container: the next tab control or window up the chain, so
// that the pages and stacks a tab control is built from do not count.
QWidget* containerOf(QWidget* w) {
    for (QWidget* p = w->parentWidget(); p != nullptr; p = p->parentWidget()) {
        if (qobject_cast<QTabWidget*>(p) != nullptr || p->isWindow()) {
            return p;
        }
    }
    return w;
}

// Keeps the window on the screen that holds the point.
QPoint onScreen(QPoint topLeft, QSize size) {
    const QScreen* screen = QGuiApplication::screenAt(topLeft);
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return topLeft;
    }
    const QRect area = screen->availableGeometry();
    topLeft.setX(std::max(area.left(), std::min(topLeft.x(), area.right() - size.width())));
    topLeft.setY(std::max(area.top(), std::min(topLeft.y(), area.bottom() - size.height())));
    return topLeft;
}

}  // namespace

void frmRepositorio::setOpenDocumentsProvider(DocumentsProvider provider) {
    documentsProvider() = std::move(provider);
}

frmRepositorio::frmRepositorio(Repository words, Document& doc, QWidget* parent)
    : QDialog(parent), m_words(std::move(words)), m_doc(doc) {
    setWindowTitle(tr("Repository"));
    m_cmbReposi = new QComboBox(this);
    m_cmbReposi->setObjectName(QStringLiteral("cmbReposi"));
    m_cmbReposi->setEditable(true);
    m_cmbReposi->setInsertPolicy(QComboBox::NoInsert);
    m_cmbReposi->setMaxVisibleItems(20);
    m_cmbReposi->setMinimumContentsLength(28);
    m_cmbReposi->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_cmbReposi->setFont(QFont(QStringLiteral("Courier New"), 10));

    m_cmdInsert = new QPushButton(tr("Insert"), this);
    m_cmdCopy = new QPushButton(tr("Copy"), this);
    m_cmdSeekAllFsm = new QPushButton(tr("Seek in all FSM"), this);
    m_cmdCancel = new QPushButton(tr("Cancel"), this);
    m_cmdInsert->setObjectName(QStringLiteral("cmdInsert"));
    m_cmdCopy->setObjectName(QStringLiteral("cmdCopy"));
    m_cmdSeekAllFsm->setObjectName(QStringLiteral("cmdSeekAllFsm"));
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdInsert->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_cmdInsert);
    buttons->addWidget(m_cmdCopy);
    buttons->addWidget(m_cmdSeekAllFsm);
    buttons->addStretch();
    buttons->addWidget(m_cmdCancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_cmbReposi);
    layout->addLayout(buttons);

    connect(m_cmdInsert, &QPushButton::clicked, this, [this] { finish(Insert); });
    connect(m_cmdCopy, &QPushButton::clicked, this, [this] { finish(Copy); });
    connect(m_cmdCancel, &QPushButton::clicked, this, [this] { finish(Nothing); });
    connect(m_cmdSeekAllFsm, &QPushButton::clicked, this, &frmRepositorio::seekAllFsm);
    fill();
}

void frmRepositorio::fill() {
    m_cmbReposi->clear();
    for (const std::string& w : m_words.words()) {
        m_cmbReposi->addItem(QString::fromStdString(w));
    }
    m_cmbReposi->setCurrentIndex(0);
}

void frmRepositorio::seekAllFsm() {
    const auto& provider = documentsProvider();
    m_words.addDocuments(provider ? provider() : std::vector<Document*>{&m_doc});
    const QString chosen = m_cmbReposi->currentText();
    fill();
    m_cmbReposi->setCurrentIndex(std::max(0, m_cmbReposi->findText(chosen)));
}

QString frmRepositorio::chosenWord() const {
    return m_cmbReposi->currentText();
}

void frmRepositorio::finish(Result r) {
    m_result = r;
    if (r == Nothing) {
        reject();
    } else {
        accept();
    }
}

void frmRepositorio::Edita(CodeEditor* cMax, QPlainTextEdit* txt, int frmDeep, Document& doc) {
    if ((cMax != nullptr && cMax->isReadOnly()) ||
        (cMax == nullptr && (txt == nullptr || txt->isReadOnly()))) {
        return;
    }
    Repository words;
    words.addDocument(doc);
    if (words.empty()) {
        return;
    }
    QWidget* control = cMax != nullptr ? static_cast<QWidget*>(cMax) : txt;
    QWidget* anchor = control;
    for (int i = 0; i < frmDeep; ++i) {
        anchor = containerOf(anchor);
    }
    frmRepositorio window(std::move(words), doc, control);
    window.adjustSize();
    window.move(onScreen(anchor->mapToGlobal(QPoint(0, 0)), window.size()));
    window.exec();

    const QString word = window.chosenWord();
    if (window.result() == Nothing || word.isEmpty()) {
        return;
    }
    QApplication::clipboard()->setText(word);
    if (window.result() != Insert) {
        return;
    }
    if (cMax != nullptr) {
        cMax->replaceSelectedText(word);
        cMax->setFocus();
    } else {
        txt->insertPlainText(word);
        txt->setFocus();
    }
}

}  // namespace tarvel
