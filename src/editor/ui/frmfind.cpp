#include "editor/ui/frmfind.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTextBlock>
#include <QTimer>
#include <QVBoxLayout>

#include "base/text.h"
#include "editor/findreplace.h"
#include "editor/ui/codeeditor.h"
#include "editor/ui/frmrepositorio.h"

namespace tarvel {

namespace {

constexpr int RESTART_MS = 20;
constexpr int TAB_COLUMNS = 4;

// Where the window was last closed, for the rest of the program's life.
std::optional<QPoint>& lastPosition() {
    static std::optional<QPoint> position;
    return position;
}

// The box shows line feeds; the records hold CR LF.
QString forDisplay(const std::string& text) {
    QString s = QString::fromStdString(text);
    s.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return s;
}

}  // namespace

frmFind::frmFind(const std::string& titulo, const std::string& texto, const std::string& sBusc,
                 const std::string& sAReemplazar, bool caseSensitive, bool readOnly,
                 Document* repositoryDoc, QWidget* parent)
    : QDialog(parent),
      m_original(texto),
      m_shown(forDisplay(texto)),
      m_search(sBusc),
      m_replace(sAReemplazar),
      m_caseSensitive(caseSensitive),
      m_repositoryDoc(repositoryDoc) {
    setWindowTitle(tr("Find string"));
    m_lblInfo = new QLabel(QString::fromStdString(titulo), this);
    m_lblInfo->setObjectName(QStringLiteral("lblInfo"));
    QFont bold = m_lblInfo->font();
    bold.setBold(true);
    m_lblInfo->setFont(bold);

    m_txtFind = new QPlainTextEdit(this);
    m_txtFind->setObjectName(QStringLiteral("txtFind"));
    QFont courier(QStringLiteral("Courier New"), 10);
    courier.setStyleHint(QFont::TypeWriter);
    m_txtFind->setFont(courier);
    m_txtFind->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_txtFind->setPlainText(m_shown);
    setLockedLook(m_txtFind, readOnly);
    // The occurrence stays visibly selected while a button has the focus.
    QPalette p = m_txtFind->palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight,
               p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    m_txtFind->setPalette(p);
    m_txtFind->installEventFilter(this);

    m_cmdContinuar = new QPushButton(tr("Next (F3)"), this);
    m_cmdSustituir = new QPushButton(tr("Change"), this);
    m_cmdCancelar = new QPushButton(tr("Cancel"), this);
    m_cmdContinuar->setObjectName(QStringLiteral("cmdContinuar"));
    m_cmdSustituir->setObjectName(QStringLiteral("cmdSustituir"));
    m_cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    m_cmdContinuar->setDefault(true);
    m_cmdSustituir->setEnabled(!readOnly && !m_replace.empty());

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdContinuar);
    buttons->addWidget(m_cmdSustituir);
    buttons->addWidget(m_cmdCancelar);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_lblInfo);
    layout->addWidget(m_txtFind, 1);
    layout->addLayout(buttons);
    resize(600, 320);

    connect(m_cmdContinuar, &QPushButton::clicked, this, &frmFind::cmdContinuar_Click);
    connect(m_cmdSustituir, &QPushButton::clicked, this, &frmFind::cmdSustituir_Click);
    connect(m_cmdCancelar, &QPushButton::clicked, this, &frmFind::cmdCancelar_Click);
    auto* f3 = new QShortcut(QKeySequence(Qt::Key_F3), this);
    connect(f3, &QShortcut::activated, this, &frmFind::cmdContinuar_Click);

    m_tmrReinicia = new QTimer(this);
    m_tmrReinicia->setObjectName(QStringLiteral("tmrReinicia"));
    m_tmrReinicia->setSingleShot(true);
    m_tmrReinicia->setInterval(RESTART_MS);
    connect(m_tmrReinicia, &QTimer::timeout, this, [this] {
        m_tmrReinicia->stop();
        searchFrom(0);
    });
}

bool frmFind::searchFrom(int position) {
    const QString text = m_txtFind->toPlainText();
    const QByteArray bytes = text.toUtf8();
    const std::string_view view(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    const std::size_t fromByte =
        static_cast<std::size_t>(QStringView(text).left(position).toUtf8().size());
    const std::size_t hit = FindReplace::findInText(view, m_search, m_caseSensitive, fromByte);
    if (hit == std::string_view::npos) {
        return false;
    }
    const int start =
        static_cast<int>(QString::fromUtf8(bytes.constData(), static_cast<qsizetype>(hit)).size());
    const int length = static_cast<int>(QString::fromStdString(m_search).size());
    QTextCursor cursor(m_txtFind->document());
    cursor.setPosition(start);
    cursor.setPosition(start + length, QTextCursor::KeepAnchor);
    m_txtFind->setTextCursor(cursor);
    m_txtFind->ensureCursorVisible();
    return true;
}

void frmFind::cmdContinuar_Click() {
    if (searchFrom(m_txtFind->textCursor().selectionEnd())) {
        m_txtFind->setFocus();
        return;
    }
    m_kept = m_txtFind->toPlainText();
    accept();
}

void frmFind::cmdSustituir_Click() {
    if (!m_cmdSustituir->isEnabled()) {
        return;
    }
    QTextCursor cursor = m_txtFind->textCursor();
    if (cursor.hasSelection()) {
        cursor.insertText(QString::fromStdString(m_replace));
        m_txtFind->setTextCursor(cursor);
    }
    cmdContinuar_Click();
}

void frmFind::cmdCancelar_Click() {
    m_continue = false;
    reject();
}

std::string frmFind::keptText() const {
    if (!m_kept || *m_kept == m_shown) {
        return m_original;
    }
    return toCrLf(m_kept->toStdString());
}

void frmFind::done(int r) {
    // Closing the window any other way than "Next" stops the walk, like "Cancel".
    if (!m_kept) {
        m_continue = false;
    }
    lastPosition() = pos();
    QDialog::done(r);
}

void frmFind::insertTabSpaces() {
    const int column = m_txtFind->textCursor().positionInBlock();
    m_txtFind->insertPlainText(QString(TAB_COLUMNS - column % TAB_COLUMNS, QLatin1Char(' ')));
}

bool frmFind::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_txtFind ||
        (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride)) {
        return QDialog::eventFilter(watched, event);
    }
    auto* key = static_cast<QKeyEvent*>(event);
    const bool ctrlTab = key->key() == Qt::Key_Tab && key->modifiers() == Qt::ControlModifier;
    const bool f2 = key->key() == Qt::Key_F2 && key->modifiers() == Qt::NoModifier;
    if (!ctrlTab && !f2) {
        return QDialog::eventFilter(watched, event);
    }
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();  // the key press comes to the box, not to a shortcut
        return true;
    }
    if (ctrlTab) {
        if (!m_txtFind->isReadOnly()) {
            insertTabSpaces();
        }
    } else if (m_repositoryDoc != nullptr) {
        frmRepositorio::Edita(nullptr, m_txtFind, 1, *m_repositoryDoc);
    }
    return true;
}

bool frmFind::busqueda(QWidget* parent, const std::string& titulo, std::string& texto,
                       const std::string& sBusc, const std::string& sAReemplazar,
                       bool caseSensitive, bool readOnly, Document* repositoryDoc) {
    frmFind window(titulo, texto, sBusc, sAReemplazar, caseSensitive, readOnly, repositoryDoc,
                   parent);
    if (!window.searchFrom(0)) {
        return true;
    }
    if (lastPosition()) {
        window.move(*lastPosition());
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        window.move(area.center() - QPoint(window.width() / 2, window.height() / 2));
    }
    window.m_tmrReinicia->start();
    window.exec();
    texto = window.keptText();
    return window.goOn();
}

}  // namespace tarvel
