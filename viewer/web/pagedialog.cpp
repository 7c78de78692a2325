// SPDX-License-Identifier: MIT
#include "pagedialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A page may say anything at any length; keep the box on the screen.
constexpr qsizetype MaxShownMessage = 2000;

} // namespace

PageDialog::PageDialog(Kind kind, const QString &pageAddress, const QString &message,
                       const QString &defaultValue, QWidget *parent)
    : QDialog(parent), m_kind(kind)
{
    setObjectName(QStringLiteral("PageDialog"));
    setWindowModality(Qt::NonModal);
    setWindowTitle(pageAddress);

    auto *layout = new QVBoxLayout(this);
    QString shown = message.left(MaxShownMessage);
    if (message.size() > MaxShownMessage)
        shown += QChar(0x2026);
    auto *label = new QLabel(shown, this);
    label->setObjectName(QStringLiteral("message"));
    label->setTextFormat(Qt::PlainText); // a page's text is never read as markup
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(label);

    if (kind == Kind::Prompt) {
        m_input = new QLineEdit(defaultValue, this);
        m_input->setObjectName(QStringLiteral("input"));
        layout->addWidget(m_input);
    }

    m_silence = new QCheckBox(silenceText(), this);
    m_silence->setObjectName(QStringLiteral("silence"));
    layout->addWidget(m_silence);

    auto *buttons = new QDialogButtonBox(this);
    QPushButton *ok = buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ok"));
    ok->setDefault(true);
    if (kind != Kind::Alert) {
        QPushButton *cancel =
            buttons->addButton(QStringLiteral("Zrušiť"), QDialogButtonBox::RejectRole);
        cancel->setObjectName(QStringLiteral("cancel"));
    }
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

QString PageDialog::silenceText()
{
    return QStringLiteral("Nezobrazovať ďalšie dialógy z tejto stránky");
}

QString PageDialog::text() const
{
    return m_input ? m_input->text() : QString();
}

bool PageDialog::silenced() const
{
    return m_silence->isChecked();
}
