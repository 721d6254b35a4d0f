// The File menu: Open with its dialog, the Reopen list of recent banks and
// results, Save Results with its dialog, Print Setup and Print with the
// printer, and Exit.
//
// The object names of the items (FileOpenItem, SaveResults1, ...) are the
// keys by which language files address them: they must not change.
#pragma once

#include "app/core/recent_files.h"

#include <QObject>
#include <QString>

#include <memory>

class QAction;
class QFileDialog;
class QMenu;
class QPrinter;
class QWidget;

namespace zx {

class SettingsStore;

class FileMenu : public QObject {
    Q_OBJECT
public:
    // Fills `menu`; the dialogs belong to `owner`, which Exit closes.  The
    // recent lists are kept in `settings`.
    FileMenu(QMenu* menu, QWidget* owner, SettingsStore& settings);
    ~FileMenu() override;

    QAction* openItem() const { return m_openItem; }
    QAction* exitItem() const { return m_exitItem; }
    QMenu* reopenMenu() const { return m_reopenMenu; }
    QFileDialog* openDialog() const { return m_openDialog; }
    QFileDialog* saveDialog() const { return m_saveDialog; }
    QPrinter* printer() const { return m_printer.get(); }
    // Both dialogs start in `folder`.
    void setDialogFolder(const QString& folder);
    // The save dialog: the chosen name, or empty when it was cancelled.
    QString chooseResultsFile();

    // Opens a bank or a results file by its extension (File/Open).
    void openChosenFile(const QString& path);

    // ---- recent files
    const RecentBanksAndResults& recentFiles() const { return m_recent; }
    // Reads the recent lists from the store, clearing entries whose files
    // are gone.
    void readRecentFiles();
    void rememberRecentFile(const QString& path);
    void rebuildReopenMenu();
    void saveRecentFiles();

    // Save Results, and Print Setup with Print.
    void enableResultsCommands(bool saving, bool printing);
    // Local-bank mode: Open and Reopen go, with `savingToo` Save Results
    // too.
    void hideOpening(bool savingToo);

signals:
    void openBankRequested(const QString& path);    // File/Open, Reopen: a ".zxb"
    void openResultsRequested(const QString& path); // File/Open, Reopen: a ".zxr"
    void SaveResults1Click();
    void Print1Click();

private:
    void FileOpenItemClick();
    void PrintSetup1Click();

    QWidget* m_owner;
    SettingsStore& m_settings;
    RecentBanksAndResults m_recent;
    std::unique_ptr<QPrinter> m_printer;
    QAction* m_openItem = nullptr;
    QAction* m_saveItem = nullptr;
    QAction* m_printSetupItem = nullptr;
    QAction* m_printItem = nullptr;
    QAction* m_exitItem = nullptr;
    QMenu* m_reopenMenu = nullptr;
    QFileDialog* m_openDialog = nullptr;
    QFileDialog* m_saveDialog = nullptr;
};

// Menu captions keep their "&" accelerators; a file or language name is
// shown as it stands.
QString literalCaption(const QString& text);

} // namespace zx
