#include "window/file_menu.h"

#include "objects/qt_text.h"
#include "window/settings_store.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QStandardPaths>

namespace zx {

QString literalCaption(const QString& text)
{
    QString out = text;
    return out.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

FileMenu::FileMenu(QMenu* menu, QWidget* owner, SettingsStore& settings)
    : QObject(owner)
    , m_owner(owner)
    , m_settings(settings)
    , m_printer(std::make_unique<QPrinter>())
{
    auto addItem = [menu](const char* name, const QString& caption, const QKeySequence& key = {}) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(QString::fromLatin1(name));
        if (!key.isEmpty())
            item->setShortcut(key);
        return item;
    };
    m_openItem = addItem("FileOpenItem", QStringLiteral("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O));
    connect(m_openItem, &QAction::triggered, this, &FileMenu::FileOpenItemClick);
    m_reopenMenu = menu->addMenu(QStringLiteral("Reopen"));
    m_reopenMenu->setObjectName(QStringLiteral("Reopen"));
    m_reopenMenu->menuAction()->setObjectName(QStringLiteral("ReopenItem"));
    m_saveItem = addItem("SaveResults1", QStringLiteral("Save Results..."), QKeySequence(Qt::CTRL | Qt::Key_S));
    connect(m_saveItem, &QAction::triggered, this, &FileMenu::SaveResults1Click);
    menu->addSeparator();
    m_printSetupItem = addItem("PrintSetup1", QStringLiteral("Print Setup..."), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_P));
    connect(m_printSetupItem, &QAction::triggered, this, &FileMenu::PrintSetup1Click);
    m_printItem = addItem("Print1", QStringLiteral("Print..."), QKeySequence(Qt::CTRL | Qt::Key_P));
    connect(m_printItem, &QAction::triggered, this, &FileMenu::Print1Click);
    menu->addSeparator();
    m_exitItem = addItem("FileExitItem", QStringLiteral("E&xit"));
    connect(m_exitItem, &QAction::triggered, m_owner, &QWidget::close);

    m_openDialog = new QFileDialog(m_owner);
    m_openDialog->setObjectName(QStringLiteral("OpenDialog"));
    m_openDialog->setWindowTitle(QStringLiteral("Open Question Bank..."));
    m_openDialog->setFileMode(QFileDialog::ExistingFile);
    m_openDialog->setAcceptMode(QFileDialog::AcceptOpen);
    m_openDialog->setDefaultSuffix(QStringLiteral("zxb"));
    m_openDialog->setNameFilters({QStringLiteral("All Question Formats (*.zxb *.zxr)"),
                                  QStringLiteral("Question Banks (*.zxb)"),
                                  QStringLiteral("Tallyworks Results (*.zxr)")});
    m_saveDialog = new QFileDialog(m_owner);
    m_saveDialog->setObjectName(QStringLiteral("SaveDialog"));
    m_saveDialog->setWindowTitle(QStringLiteral("Save results as..."));
    m_saveDialog->setAcceptMode(QFileDialog::AcceptSave);
    m_saveDialog->setDefaultSuffix(QStringLiteral("zxr"));
    m_saveDialog->setNameFilters({QStringLiteral("Tallyworks Results (*.zxr)")});
    m_saveDialog->setOption(QFileDialog::ReadOnly, false);
    setDialogFolder(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
}

FileMenu::~FileMenu() = default;

void FileMenu::setDialogFolder(const QString& folder)
{
    m_openDialog->setDirectory(folder);
    m_saveDialog->setDirectory(folder);
}

QString FileMenu::chooseResultsFile()
{
    if (m_saveDialog->exec() != QDialog::Accepted || m_saveDialog->selectedFiles().isEmpty())
        return QString();
    return m_saveDialog->selectedFiles().first();
}

void FileMenu::FileOpenItemClick()
{
    if (m_openDialog->exec() != QDialog::Accepted)
        return;
    const QStringList chosen = m_openDialog->selectedFiles();
    if (!chosen.isEmpty())
        openChosenFile(chosen.first());
}

void FileMenu::openChosenFile(const QString& path)
{
    switch (recentKindOf(localPath(path))) {
    case RecentKind::Bank:
        emit openBankRequested(path);
        break;
    case RecentKind::Results:
        emit openResultsRequested(path);
        break;
    case RecentKind::None:
        break;
    }
}

void FileMenu::PrintSetup1Click()
{
    QPageSetupDialog dialog(m_printer.get(), m_owner);
    dialog.exec();
}

void FileMenu::readRecentFiles()
{
    m_recent = m_settings.readRecentFiles();
    for (RecentList* list : {&m_recent.banks, &m_recent.results})
        for (std::string& entry : *list)
            if (!entry.empty() && !QFileInfo::exists(pathFromLocal(entry)))
                entry.clear();
    rebuildReopenMenu();
}

void FileMenu::rememberRecentFile(const QString& path)
{
    m_recent.remember(localPath(path));
    rebuildReopenMenu();
    saveRecentFiles();
}

void FileMenu::rebuildReopenMenu()
{
    m_reopenMenu->clear();
    for (const ReopenEntry& entry : reopenMenuEntries(m_recent)) {
        if (entry.kind == RecentKind::None) {
            m_reopenMenu->addSeparator();
            continue;
        }
        QAction* item = m_reopenMenu->addAction(literalCaption(pathFromLocal(entry.caption)));
        item->setData(entry.index);
        const int index = entry.index;
        if (entry.kind == RecentKind::Bank) {
            item->setObjectName(QStringLiteral("RecentBank%1").arg(index));
            connect(item, &QAction::triggered, this,
                    [this, index] { emit openBankRequested(pathFromLocal(m_recent.banks[index])); });
        } else {
            item->setObjectName(QStringLiteral("RecentResult%1").arg(index));
            connect(item, &QAction::triggered, this,
                    [this, index] { emit openResultsRequested(pathFromLocal(m_recent.results[index])); });
        }
    }
}

void FileMenu::saveRecentFiles() { m_settings.writeRecentFiles(m_recent); }

void FileMenu::enableResultsCommands(bool saving, bool printing)
{
    m_saveItem->setEnabled(saving);
    m_printSetupItem->setEnabled(printing);
    m_printItem->setEnabled(printing);
}

void FileMenu::hideOpening(bool savingToo)
{
    m_openItem->setVisible(false);
    m_reopenMenu->menuAction()->setVisible(false);
    if (savingToo)
        m_saveItem->setVisible(false);
}

} // namespace zx
