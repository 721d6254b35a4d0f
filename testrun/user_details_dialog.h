// The candidate's details: three labelled edit boxes.  None may be left
// empty (spaces alone count as empty).
#pragma once

#include <QDialog>

#include <array>
#include <functional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace zx {

class TUserDetails : public QDialog {
    Q_OBJECT
public:
    explicit TUserDetails(QWidget* parent = nullptr);

    void setLabels(const std::array<std::string, 3>& labels);
    // Shows the empty-detail message; default: a plain message box.
    void setEmptyDetailNotice(std::function<void()> notice) { m_emptyNotice = std::move(notice); }

    // The three details as typed, trimmed, with "<" and ">" made round
    // brackets (Windows-1252).
    std::array<std::string, 3> details() const;

    QLabel* label(int i) const { return m_labels[static_cast<std::size_t>(i)]; }
    QLineEdit* edit(int i) const { return m_edits[static_cast<std::size_t>(i)]; }
    QPushButton* enterButton() const { return m_enter; }
    QPushButton* cancelButton() const { return m_cancel; }

    void EnterDetailsButtonClick();
    void CancelButtonClick();

signals:
    void detailsAccepted();
    void detailsCancelled();

private:
    std::function<void()> m_emptyNotice;
    std::array<QLabel*, 3> m_labels{};
    std::array<QLineEdit*, 3> m_edits{};
    QPushButton* m_enter;
    QPushButton* m_cancel;
};

} // namespace zx
