// The language applier on real (offscreen) widgets named as the program's
// windows name them.
#include "app/language_applier.h"
#include "app/about_box.h"
#include "app/help_window.h"
#include "window/progress_window.h"
#include "app/main_form.h"
#include "window/page_window.h"
#include "objects/qt_text.h"
#include "tests/support/fake_sound_backend.h"
#include "tagtext/stored_file.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <set>

namespace zx {
namespace {

template <typename T>
T* named(QObject* parent, const char* name)
{
    auto* object = new T(static_cast<typename std::conditional_t<std::is_base_of_v<QWidget, T>, QWidget, QObject>*>(
        parent));
    object->setObjectName(QString::fromLatin1(name));
    return object;
}

class LanguageApplierTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        main = std::make_unique<QMainWindow>();
        main->setObjectName("MainForm");
        main->setWindowTitle("Exam");
        fileMenu = main->menuBar()->addMenu("&File");
        fileMenu->setObjectName("File1");
        openItem = fileMenu->addAction("&Open");
        openItem->setObjectName("FileOpenItem");
        langMenu = fileMenu->addMenu("Language");
        langMenu->setObjectName("LangChoices");

        auto* panel = named<QWidget>(main.get(), "ControlPanel");
        main->setCentralWidget(panel);
        auto* layout = new QVBoxLayout(panel);
        slider = named<QSlider>(panel, "questionSlider");
        autoPlay = named<QCheckBox>(panel, "AutoPlay");
        finish = named<QPushButton>(panel, "FinishButton");
        cheat = named<QPushButton>(panel, "CheatButton");
        label = named<QLabel>(panel, "InfoLabel");
        edit = named<QLineEdit>(panel, "NameEdit");
        combo = named<QComboBox>(panel, "ColourCombo");
        group = named<QGroupBox>(panel, "OptionsGroup");
        radioGroup = named<QGroupBox>(panel, "ChoiceGroup");
        radioGroup->setProperty("zxRadioGroup", true);
        radio1 = new QRadioButton("one", radioGroup);
        radio2 = new QRadioButton("two", radioGroup);
        radio = named<QRadioButton>(panel, "LoneRadio");
        for (QWidget* w : std::initializer_list<QWidget*>{slider, autoPlay, finish, cheat, label, edit, combo,
                                                          group, radioGroup, radio})
            layout->addWidget(w);
        openDialog = named<QFileDialog>(main.get(), "OpenDialog");
        openDialog->setOption(QFileDialog::DontUseNativeDialog);
        saveDialog = named<QFileDialog>(main.get(), "SaveDialog");
        saveDialog->setOption(QFileDialog::DontUseNativeDialog);
        saveDialog->setAcceptMode(QFileDialog::AcceptSave);

        help = std::make_unique<QWidget>();
        auto* pages = named<QTabWidget>(help.get(), "HelpPages");
        tabIntro = named<QWidget>(nullptr, "TabIntroduction");
        helpIntro = named<QLabel>(tabIntro, "HelpIntro");
        pages->addTab(tabIntro, "Introduction");
        tabMark = named<QWidget>(nullptr, "TabMark");
        pages->addTab(tabMark, "Mark");
        helpTabs = pages;

        details = std::make_unique<QDialog>();
        details->setWindowTitle("Your Details");
        detailsCancel = named<QPushButton>(details.get(), "CancelButton");
        userDetails1 = named<QLineEdit>(details.get(), "UserDetails1");

        password = std::make_unique<QDialog>();
        passwordCancel = named<QPushButton>(password.get(), "CancelButton");
        passwordEnter = named<QPushButton>(password.get(), "PasswordEnterButton");
        // The password dialog has a control named like one of the main window.
        passwordFinish = named<QPushButton>(password.get(), "FinishButton");

        about = std::make_unique<QDialog>();
    }

    LanguageWindows windows()
    {
        return {main.get(), help.get(), details.get(), password.get(), about.get()};
    }

    void applyText(const std::string& content)
    {
        texts = parseLanguageFile(content, texts);
        applyLanguage(texts, windows());
    }

    LanguageTexts texts;
    std::unique_ptr<QMainWindow> main;
    std::unique_ptr<QWidget> help;
    std::unique_ptr<QDialog> details, password, about;
    QMenu *fileMenu = nullptr, *langMenu = nullptr;
    QAction* openItem = nullptr;
    QSlider* slider = nullptr;
    QCheckBox* autoPlay = nullptr;
    QPushButton *finish = nullptr, *cheat = nullptr, *detailsCancel = nullptr, *passwordCancel = nullptr,
                *passwordEnter = nullptr, *passwordFinish = nullptr;
    QLabel *label = nullptr, *helpIntro = nullptr;
    QLineEdit *edit = nullptr, *userDetails1 = nullptr;
    QComboBox* combo = nullptr;
    QGroupBox *group = nullptr, *radioGroup = nullptr;
    QRadioButton *radio1 = nullptr, *radio2 = nullptr, *radio = nullptr;
    QFileDialog *openDialog = nullptr, *saveDialog = nullptr;
    QWidget *tabIntro = nullptr, *tabMark = nullptr;
    QTabWidget* helpTabs = nullptr;
};

TEST_F(LanguageApplierTest, WindowCaptions)
{
    applyText("MainForm FormCaption Exam player\n"
              "AboutBox FormCaption About the player\n"
              "UserDetails FormCaption Your details, please\n"
              "Password FormCaption Password needed\n"
              "FinishButton FormCaption Not a window\n");
    EXPECT_EQ(main->windowTitle(), "Exam player");
    EXPECT_EQ(about->windowTitle(), "About the player");
    EXPECT_EQ(details->windowTitle(), "Your details, please");
    EXPECT_EQ(password->windowTitle(), "Password needed");
    EXPECT_EQ(finish->text(), "");
}

TEST_F(LanguageApplierTest, MenuItemsAndSubmenus)
{
    applyText("FileOpenItem Caption &Open a bank...\n"
              "FileOpenItem Hint Opens a question bank or results|Opens a question bank or a results file\n"
              "LangChoices Caption &Language\n"
              "File1 Caption &Datei\n"
              "LangChoices Hint9 Choose the language\n");
    EXPECT_EQ(openItem->text(), "&Open a bank...");
    EXPECT_EQ(openItem->toolTip(), "Opens a question bank or results");
    EXPECT_EQ(openItem->statusTip(), "Opens a question bank or a results file");
    EXPECT_EQ(openItem->property("zxHint").toString(),
              "Opens a question bank or results|Opens a question bank or a results file");
    EXPECT_EQ(langMenu->title(), "&Language");
    EXPECT_EQ(fileMenu->title(), "&Datei");
    EXPECT_EQ(langMenu->menuAction()->statusTip(), "Choose the language");
    EXPECT_EQ(texts.hints[9], "Choose the language");
    EXPECT_EQ(texts.hints[0], "Opens a question bank or results|Opens a question bank or a results file");

    // The translated item still works: a real click on the menu triggers it.
    QSignalSpy triggered(openItem, &QAction::triggered);
    openItem->trigger();
    EXPECT_EQ(triggered.count(), 1);
}

TEST_F(LanguageApplierTest, ButtonsCheckBoxesAndHints)
{
    applyText("FinishButton Hint2 Ends the test\n"
              "FinishButton Caption Finish\n"
              "CheatButton Caption Show\n"
              "CheatButton Anything Answers\n"
              "AutoPlay Caption Auto-play\n"
              "AutoPlay Title ignored for a check box\n"
              "AutoPlay Hint6 Plays each page's sound\n"
              "questionSlider Hint1 Moves between the questions\n"
              "questionSlider Caption scroll bars take no caption\n");
    EXPECT_EQ(finish->text(), "Finish");
    EXPECT_EQ(finish->toolTip(), "Ends the test");
    EXPECT_EQ(texts.hints[2], "Ends the test");
    EXPECT_EQ(cheat->text(), "Answers");          // any property but a hint is a caption
    EXPECT_EQ(autoPlay->text(), "Auto-play");
    EXPECT_EQ(autoPlay->toolTip(), "Plays each page's sound");
    // A scroll bar takes no line at all; the hint table still does.
    EXPECT_EQ(slider->toolTip(), "");
    EXPECT_FALSE(slider->property("zxHint").isValid());
    EXPECT_EQ(texts.hints[1], "Moves between the questions");
    // The password dialog's FinishButton is not reached: the main window comes first.
    EXPECT_EQ(passwordFinish->text(), "");

    // The check box keeps working after its caption changed.
    autoPlay->show();
    QTest::mouseClick(autoPlay, Qt::LeftButton);
    EXPECT_TRUE(autoPlay->isChecked());
}

TEST_F(LanguageApplierTest, LabelsEditsGroupsAndRadios)
{
    applyText("InfoLabel Caption First line#r#nSecond line\n"
              "InfoLabel Hint A label hint\n"
              "NameEdit Caption edit boxes take hints only\n"
              "NameEdit Hint Type your name\n"
              "OptionsGroup Caption Options\n"
              "OptionsGroup Hint Some options\n"
              "ChoiceGroup Caption Pick one\n"
              "ChoiceGroup Item1 Yes\n"
              "ChoiceGroup Item2 No\n"
              "ChoiceGroup Item3 no third item\n"
              "LoneRadio Caption Alone\n"
              "LoneRadio Item1 not for a radio button\n");
    EXPECT_EQ(label->text(), "First line\nSecond line");
    EXPECT_EQ(label->toolTip(), "A label hint");
    EXPECT_EQ(edit->text(), "");
    EXPECT_EQ(edit->toolTip(), "Type your name");
    EXPECT_EQ(group->title(), "Options");
    EXPECT_EQ(group->toolTip(), "Some options");
    EXPECT_EQ(radioGroup->title(), "Pick one");
    EXPECT_EQ(radio1->text(), "Yes");
    EXPECT_EQ(radio2->text(), "No");
    EXPECT_EQ(radio->text(), "Alone");
}

TEST_F(LanguageApplierTest, ComboItemsAndDialogs)
{
    combo->addItems({"old1", "old2"});
    applyText("ColourCombo Caption combo boxes take no caption\n"
              "ColourCombo Items Red#Green#Blue#\n"
              "ColourCombo Hint Pick a colour\n"
              "OpenDialog Title Open a question bank\n"
              "OpenDialog Filter All|*.zxb;*.zxr|Banks|*.zxb\n"
              "SaveDialog Title Save the results as\n"
              "SaveDialog Filter Results| *.zxr\n"
              "SaveDialog Filter no filter here\n");
    ASSERT_EQ(combo->count(), 3);
    EXPECT_EQ(combo->itemText(0), "Red");
    EXPECT_EQ(combo->itemText(2), "Blue");
    EXPECT_EQ(combo->toolTip(), "Pick a colour");
    EXPECT_EQ(openDialog->windowTitle(), "Open a question bank");
    EXPECT_EQ(openDialog->nameFilters(), (QStringList{"All (*.zxb *.zxr)", "Banks (*.zxb)"}));
    EXPECT_EQ(saveDialog->windowTitle(), "Save the results as");
    EXPECT_EQ(saveDialog->nameFilters(), QStringList{"Results (*.zxr)"});
}

TEST_F(LanguageApplierTest, HelpWindowAndDialogsInOrder)
{
    applyText("TabIntroduction Caption Einleitung\n"
              "TabMark Hint3 tab sheets take any property as caption\n"
              "HelpIntro Caption How to take a test\n"
              "CancelButton Caption Abbrechen\n"
              "PasswordEnterButton Caption OK\n"
              "UserDetails1 Hint Your first name\n"
              "Nowhere Caption nothing happens\n");
    EXPECT_EQ(helpTabs->tabText(0), "Einleitung");
    EXPECT_EQ(helpTabs->tabText(1), "tab sheets take any property as caption");
    EXPECT_EQ(helpIntro->text(), "How to take a test");
    EXPECT_EQ(detailsCancel->text(), "Abbrechen");   // the details dialog comes before the password dialog
    EXPECT_EQ(passwordCancel->text(), "");
    EXPECT_EQ(passwordEnter->text(), "OK");
    EXPECT_EQ(userDetails1->toolTip(), "Your first name");
}

TEST_F(LanguageApplierTest, SecondLanguageKeepsWhatItDoesNotMention)
{
    applyText("FinishButton Caption Finish\nCheatButton Caption Cheat\n0016 sixteen\n");
    applyText("FinishButton Caption Beenden\n");
    EXPECT_EQ(finish->text(), "Beenden");
    EXPECT_EQ(cheat->text(), "Cheat");
    EXPECT_EQ(texts.message(16), "sixteen");
}

TEST_F(LanguageApplierTest, Windows1252TextsAndMissingWindows)
{
    applyText(std::string("FinishButton Caption Pr\xFC" "fung \x80 \x93ok\x94\n"));
    EXPECT_EQ(finish->text(), QString::fromUtf8("Pr\u00FCfung \u20AC \u201Cok\u201D"));
    // Windows that are missing are skipped.
    LanguageApplier applier(LanguageWindows{nullptr, nullptr, nullptr, password.get(), nullptr});
    EXPECT_FALSE(applier.applyLine({"MainForm", "FormCaption", "x"}));
    EXPECT_TRUE(applier.applyLine({"FinishButton", "Caption", "reached"}));
    EXPECT_EQ(passwordFinish->text(), "reached");
}

TEST_F(LanguageApplierTest, ControlsDestroyedAfterIndexingAreSkipped)
{
    LanguageApplier applier(windows());
    delete cheat;
    cheat = nullptr;
    EXPECT_FALSE(applier.applyLine({"CheatButton", "Caption", "gone"}));
}


// The About, progress and message windows belong to the main window but
// take no form-text lines: only the main window's own controls, the Help
// window and the two bank dialogs are looked in.
TEST(LanguageWindowsOfTheProgram, OwnedWindowsAreNotReached)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ShellOptions options;
    options.paths = ShellPaths::inFolders(dir.path(), dir.path() + "/runtime", dir.path() + "/settings.ini");
    options.soundBackend = std::make_unique<FakeSoundBackend>();
    options.inhibitScreenSaver = false;
    options.delay = [](int) {};
    TMainForm form(std::move(options));
    auto* splash = form.aboutBox()->findChild<QLabel*>("Splash");
    auto* progress = form.pageWindow().progressWindow()->findChild<QLabel*>("ProgressLabel");
    ASSERT_TRUE(splash && progress);
    const QString progressText = progress->text();

    LanguageApplier applier({&form, form.helpWindow(), nullptr, nullptr, form.aboutBox()});
    for (const char* control : {"Splash", "Credits", "ProgressLabel", "ProgressBar", "Message", "Version"}) {
        EXPECT_EQ(applier.findControl(control), nullptr) << control;
        EXPECT_FALSE(applier.applyLine({control, "Caption", "hello"})) << control;
        EXPECT_FALSE(applier.applyLine({control, "Hint", "hello"})) << control;
    }
    EXPECT_FALSE(splash->pixmap().isNull()) << "the splash picture stays";
    EXPECT_EQ(progress->text(), progressText);
    EXPECT_TRUE(progress->toolTip().isEmpty());

    // The main window's own controls, menus and file dialogs, and the Help
    // window's, are still reached.
    EXPECT_NE(applier.findControl("FinishButton"), nullptr);
    EXPECT_NE(applier.findControl("FileOpenItem"), nullptr);
    EXPECT_NE(applier.findControl("OpenDialog"), nullptr);
    EXPECT_NE(applier.findControl("HelpIntro"), nullptr);
    EXPECT_TRUE(applier.applyLine({"AboutBox", "FormCaption", "About the player"}));
    EXPECT_EQ(form.aboutBox()->windowTitle(), "About the player");

    // A bank dialog the main window owns is reached in its own turn only.
    auto* details = new QDialog(&form);
    auto* cancel = named<QPushButton>(details, "CancelButton");
    EXPECT_FALSE(LanguageApplier({&form, nullptr, nullptr, nullptr, nullptr}).applyLine({"CancelButton", "Caption", "x"}));
    EXPECT_TRUE(LanguageApplier({&form, nullptr, details, nullptr, nullptr}).applyLine({"CancelButton", "Caption", "OK"}));
    EXPECT_EQ(cancel->text(), "OK");
}

// Every form-text line of the shipped language files reaches a control of
// the program's real windows.
TEST(ShippedLanguages, ReachTheProgramsWindows)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ShellOptions options;
    options.paths = ShellPaths::inFolders(dir.path(), dir.path() + "/runtime", dir.path() + "/settings.ini");
    options.soundBackend = std::make_unique<FakeSoundBackend>();
    options.inhibitScreenSaver = false;
    options.delay = [](int) {};
    TMainForm form(std::move(options));

    // The dialogs of the bank opening are built with it; their lines are
    // checked against their names only.
    const std::set<std::string> dialogControls{
        "userEntryLabel1", "userEntryLabel2", "userEntryLabel3", "UserDetails1", "UserDetails2", "UserDetails3",
        "EnterDetailsButton", "CancelButton", "BankPassword", "PasswordEnterButton", "PasswordCancelButton"};
    const std::set<std::string> dialogWindows{"UserDetails", "Password"};

    const std::filesystem::path langFolder = std::filesystem::path(ZX_SOURCE_DIR) / "lang";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(langFolder)) {
        if (entry.path().extension() != ".txt")
            continue;
        ++files;
        SCOPED_TRACE(entry.path().filename().string());
        const LanguageTexts texts = parseLanguageFile(readStoredFile(entry.path().string()));
        LanguageWindows windows;
        windows.mainForm = &form;
        windows.help = form.helpWindow();
        windows.aboutBox = form.aboutBox();
        LanguageApplier applier(windows);
        for (const FormTextLine& line : texts.formTexts) {
            // The question slider's line only fills the hint table.
            if (line.control == "####" || line.control == "questionSlider" || dialogControls.count(line.control)
                || (line.isFormCaption() && dialogWindows.count(line.control)))
                continue;
            EXPECT_TRUE(applier.applyLine(line)) << line.control << " " << line.property;
        }
        for (const FormTextLine& l : texts.formTexts) {
            if (l.control == "MainForm" && l.isFormCaption()) {
                EXPECT_EQ(form.windowTitle(), widgetText(l.value));
            }
        }
    }
    EXPECT_GE(files, 2);

    // German over English: the texts of the second language win.
    LanguageTexts texts = parseLanguageFile(readStoredFile((langFolder / "English (UK).txt").string()));
    texts = parseLanguageFile(readStoredFile((langFolder / "German.txt").string()), texts);
    applyLanguage(texts, {&form, form.helpWindow(), nullptr, nullptr, form.aboutBox()});
    EXPECT_EQ(form.findChild<QPushButton*>("FinishButton")->text(), "Beenden");
    EXPECT_EQ(texts.hints[1], "Den Schieberegler bewegen, um zu einer anderen Frage zu wechseln");
    EXPECT_EQ(form.aboutBox()->windowTitle(), QString::fromUtf8("\u00DCber Tallyworks Pr\u00FCfung"));
    auto* tabs = form.helpWindow()->findChild<QTabWidget*>("HelpPages");
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->tabText(0), QString::fromUtf8("Einf\u00FChrung"));
}

} // namespace
} // namespace zx
