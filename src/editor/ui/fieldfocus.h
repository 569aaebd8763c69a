// Puts the cursor on a line of one field of the next property dialog that
// opens: the dialog's tab that holds the field comes forward, the field gets
// the focus and a code editor scrolls to the line. The fields are found by
// their object names, so the dialogs need to know nothing of it.
#pragma once

#include <QObject>
#include <QString>

class QDialog;

namespace tarvel {

class FieldFocus final : public QObject {
public:
    // Armed while it lives: create it right before the dialog opens.
    // `pressFirst` names a button to press before (the header switch).
    FieldFocus(QString field, int line, QString pressFirst = {});
    ~FieldFocus() override;
    FieldFocus(const FieldFocus&) = delete;
    FieldFocus& operator=(const FieldFocus&) = delete;

    // Applies a focus request to a dialog that is shown.
    static void apply(QDialog& dialog, const QString& field, int line, const QString& pressFirst);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString m_field;
    int m_line;
    QString m_pressFirst;
    bool m_done = false;
};

}  // namespace tarvel
