#include "objects/zx_field.h"

#include "objects/answer_visuals.h"
#include "objects/core/answer_marks.h"
#include "objects/core/score_tally.h"
#include "objects/core/typed_answer.h"
#include "objects/qt_text.h"
#include "tagtext/tagged_text.h"

#include <QKeyEvent>

namespace zx {

zxField::zxField(QWidget* parentWindow, std::string record, PageContext context, TestState state)
    : zxObject(parentWindow, std::move(record), std::move(context))
    , m_restriction(fieldRestriction(m_record))
{
    buildVisuals(state);
}

zxField::~zxField()
{
    releaseControls();
}

void zxField::buildVisuals(TestState state)
{
    removeMark();
    if (!m_parentWindow)
        return;
    if (!m_box) {
        m_box = new FieldEdit(m_parentWindow.data());
        m_box->setObjectName(QStringLiteral("zxField"));
        // Only the candidate's own typing counts as a changed answer.
        QObject::connect(m_box.data(), &QLineEdit::textEdited, m_box.data(),
                         [context = m_context] { context.noteAnswerChanged(); });
    } else {
        adoptControl(m_box);
    }
    m_box->setGeometry(getTagInt(m_record, "FieldLeft", 0), getTagInt(m_record, "FieldTop", 0),
                       getTagInt(m_record, "FieldWidth", 20), getTagInt(m_record, "FieldHeight", 20));
    const bool final = answersAreFinal(state);
    m_box->setAnswersFinal(final);
    m_box->onKeyDown = [this, final](QKeyEvent& event) { keyDown(event, final); };
    describeBox();
    m_box->setText(cp1252ToQString(getTag(m_record, "userAnswer")));
    m_box->setCursorPosition(0);
    m_box->setReadOnly(true);
    m_box->show();
    m_box->raise();
}

void zxField::keyDown(QKeyEvent& event, bool final)
{
    if (final) {
        // The box stays read-only: the key changes nothing.
        refuseAnswerChange(m_context);
        return;
    }
    if (event.key() == Qt::Key_Backspace) {
        m_box->setReadOnly(false);
        removeMark();
        return;
    }
    const QString typed = event.text();
    if (typed.size() != 1 || FieldEdit::isCommandKey(event))
        return;
    // A character without a Windows-1252 byte becomes a control byte,
    // which no field allows.
    const std::string byte = qStringToCp1252(typed, '\x01');
    if (byte.size() != 1)
        return;
    switch (filterTypedCharacter(m_restriction, static_cast<unsigned char>(byte[0]), typedText(), m_box->caret())) {
    case KeyVerdict::Ignored:
        return;
    case KeyVerdict::Accepted:
        m_box->setReadOnly(false);
        removeMark();
        return;
    case KeyVerdict::Refused:
        removeMark();
        return;
    }
}

void zxField::setLabel(std::string label)
{
    m_label = std::move(label);
    describeBox();
}

std::string zxField::accessibleName() const
{
    if (!m_label.empty())
        return m_label;
    const std::string name = getTag(m_record, "FieldName");
    if (!name.empty() && name != "-empty45646-")
        return name;
    return m_context.message(m_restriction == 1 ? 33 : m_restriction == 2 ? 32 : 34);
}

void zxField::describeBox()
{
    if (!m_box)
        return;
    m_box->setAccessibleName(cp1252ToQString(accessibleName()));
    m_box->setAccessibleDescription(
        cp1252ToQString(m_context.message(m_restriction == 1 ? 33 : m_restriction == 2 ? 32 : 34)));
}

std::string zxField::typedText() const { return m_box ? qStringToCp1252(m_box->text()) : std::string(); }

std::string zxField::writeAnswer()
{
    // An answer on show for Cheat is never taken for the candidate's.
    if (m_saved.isSaved())
        restoreAnswer();
    if (m_box)
        m_record = setTag(m_record, "userAnswer", typedText());
    return "<zxField>" + m_record + "</zxField>\r\n";
}

void zxField::markAnswer(const ImageControl* tick, const ImageControl* cross, ScoreTally& totals)
{
    if (!m_box)
        return;
    const ObjectMarks marks = markField(m_record, typedText());
    totals.add(marks);
    if (!marks.answered)
        return;
    const QRect box = m_box->geometry();
    showMarkPicture(m_mark, m_parentWindow.data(), marks.sign(), tick, cross,
                    [&](QSize) { return QPoint(box.left() + box.width(), box.top() - 12); });
}

void zxField::showAnswer()
{
    if (!m_box)
        return;
    m_saved.save(typedText());
    m_box->setText(cp1252ToQString(expectedAnswerText(m_record)));
}

void zxField::restoreAnswer()
{
    const auto saved = m_saved.takeForRestore();
    if (saved && m_box)
        m_box->setText(cp1252ToQString(*saved));
}

void zxField::releaseControls()
{
    if (m_box) {
        m_box->onKeyDown = nullptr;
        releaseWidget(m_box.data());
    }
    m_box = nullptr;
    removeMark();
}

void zxField::removeMark() { removeMarkPicture(m_mark); }

} // namespace zx
