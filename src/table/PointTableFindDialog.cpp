#include "table/PointTableFindDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace vq {

PointTableFindDialog::PointTableFindDialog(bool selectionOffered, QWidget* parent)
    : QDialog(parent),
      m_find(new QLineEdit(this)),
      m_replace(new QLineEdit(this)),
      m_matchCase(new QCheckBox(QStringLiteral("Match &case"), this)),
      m_selection(new QRadioButton(QStringLiteral("&Selected cells"), this)),
      m_column(new QRadioButton(QStringLiteral("Current c&olumn"), this)) {
    setObjectName(QStringLiteral("PointTableFindReplace"));
    setWindowTitle(QStringLiteral("Find and Replace"));
    m_find->setObjectName(QStringLiteral("Find"));
    m_replace->setObjectName(QStringLiteral("ReplaceWith"));
    m_matchCase->setObjectName(QStringLiteral("MatchCase"));
    m_selection->setObjectName(QStringLiteral("WithinSelection"));
    m_column->setObjectName(QStringLiteral("WithinColumn"));
    (selectionOffered ? m_selection : m_column)->setChecked(true);

    auto* fields = new QFormLayout;
    fields->addRow(QStringLiteral("Fi&nd:"), m_find);
    fields->addRow(QStringLiteral("Replace &with:"), m_replace);
    auto* within = new QGroupBox(QStringLiteral("Within"), this);
    auto* withinLayout = new QVBoxLayout(within);
    withinLayout->addWidget(m_selection);
    withinLayout->addWidget(m_column);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    QPushButton* replaceAll =
        buttons->addButton(QStringLiteral("&Replace All"), QDialogButtonBox::AcceptRole);
    replaceAll->setObjectName(QStringLiteral("ReplaceAll"));
    replaceAll->setDefault(true);
    replaceAll->setEnabled(false);
    connect(m_find, &QLineEdit::textChanged, replaceAll,
            [replaceAll](const QString& text) { replaceAll->setEnabled(!text.isEmpty()); });
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fields);
    layout->addWidget(m_matchCase);
    layout->addWidget(within);
    layout->addWidget(buttons);
    m_find->setFocus();
}

QString PointTableFindDialog::findText() const {
    return m_find->text();
}

QString PointTableFindDialog::replaceText() const {
    return m_replace->text();
}

Qt::CaseSensitivity PointTableFindDialog::caseSensitivity() const {
    return m_matchCase->isChecked() ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

bool PointTableFindDialog::withinSelection() const {
    return m_selection->isChecked();
}

}  // namespace vq
