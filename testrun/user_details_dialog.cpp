#include "testrun/user_details_dialog.h"

#include "objects/qt_text.h"
#include "tagtext/tagged_text.h"

#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

namespace zx {

TUserDetails::TUserDetails(QWidget* parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("UserDetails"));
    setWindowTitle(QStringLiteral("Your Details"));
    setModal(true);
    setFixedSize(380, 170);
    for (int i = 0; i < 3; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QStringLiteral("userEntryLabel%1").arg(i + 1));
        label->setTextFormat(Qt::PlainText);
        label->setGeometry(12, 16 + 34 * i, 140, 24);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("UserDetails%1").arg(i + 1));
        edit->setMaxLength(120);
        edit->setGeometry(156, 16 + 34 * i, 210, 24);
        m_labels[static_cast<std::size_t>(i)] = label;
        m_edits[static_cast<std::size_t>(i)] = edit;
    }
    m_enter = new QPushButton(QStringLiteral("OK"), this);
    m_enter->setObjectName(QStringLiteral("EnterDetailsButton"));
    m_enter->setDefault(true);
    m_enter->setGeometry(100, 126, 80, 28);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    m_cancel->setObjectName(QStringLiteral("CancelButton"));
    m_cancel->setGeometry(200, 126, 80, 28);
    connect(m_enter, &QPushButton::clicked, this, &TUserDetails::EnterDetailsButtonClick);
    connect(m_cancel, &QPushButton::clicked, this, &TUserDetails::CancelButtonClick);
}

void TUserDetails::setLabels(const std::array<std::string, 3>& labels)
{
    for (int i = 0; i < 3; ++i)
        m_labels[static_cast<std::size_t>(i)]->setText(cp1252ToQString(labels[static_cast<std::size_t>(i)]));
}

std::array<std::string, 3> TUserDetails::details() const
{
    // The details go into the bank settings as tagged text: an angle
    // bracket could open or close an element there (and so change the
    // test's rules), so it becomes a round one.
    std::array<std::string, 3> result;
    for (int i = 0; i < 3; ++i) {
        std::string text = trimText(qStringToCp1252(m_edits[static_cast<std::size_t>(i)]->text()));
        for (char& c : text) {
            if (c == '<')
                c = '(';
            else if (c == '>')
                c = ')';
        }
        result[static_cast<std::size_t>(i)] = text;
    }
    return result;
}

void TUserDetails::EnterDetailsButtonClick()
{
    for (const std::string& detail : details()) {
        if (detail.empty()) {
            if (m_emptyNotice)
                m_emptyNotice();
            else
                QMessageBox::information(this, windowTitle(), QStringLiteral("Please fill in every detail."));
            return;
        }
    }
    accept();
    emit detailsAccepted();
}

void TUserDetails::CancelButtonClick()
{
    reject();
    emit detailsCancelled();
}

} // namespace zx
