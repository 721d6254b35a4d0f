// Banks made by `zxbank import` from the formats' examples: every page
// renders, no object of a built page lies outside the question area and no
// two of its visible controls lie on each other.
#include "tagtext/numbered_tags.h"
#include "testrun/core/bank_file.h"
#include "testrun/core/bank_settings.h"
#include "testrun/core/embedded_files.h"
#include "testrun/page_builder.h"
#include "testrun/page_renderer.h"
#include "tools/bankimport/bank_import.h"
#include "tools/bankimport/qt_import_media.h"

#include <QDir>
#include <QTemporaryDir>
#include <QWidget>

#include <gtest/gtest.h>

#include <random>
#include <sstream>

namespace {

std::string dataFile(const std::string& name) { return std::string(ZX_SOURCE_DIR) + "/tests/data/import/" + name; }

TEST(ImportedPages, RenderAndKeepEveryControlInsideThePageApart)
{
    QTemporaryDir dir;
    for (const char* size : {"640x480", "800x600"}) {
        SCOPED_TRACE(size);
        zx::import::ImportOptions options;
        options.sources = {dataFile("gift-examples.gift"), dataFile("moodle-examples.xml"), dataFile("qti-package.zip"),
                           dataFile("qti/match.xml"), dataFile("qti/gap_match.xml"), dataFile("qti/inline_choice.xml")};
        options.geometry = *zx::import::pageGeometryFor(size);
        options.title = "Examples";
        options.output = (dir.path() + "/" + size + ".zxb").toStdString();
        zx::import::QtTextMeasurer measurer;
        zx::import::QtImportMedia media;
        std::ostringstream report, errors;
        ASSERT_EQ(zx::import::runImport(options, measurer, media, report, errors), 0) << errors.str();

        const zx::RenderReport rendered = zx::renderBankPages(QString::fromStdString(options.output), dir.path() + "/r" + size);
        ASSERT_TRUE(rendered.ok) << rendered.error.toStdString();
        EXPECT_EQ(rendered.preTestPages, 1);
        EXPECT_EQ(rendered.questionPages, 19 + 8 + 2 + 3);

        const zx::BankIndexResult bank = zx::readBankIndex(options.output);
        ASSERT_TRUE(bank.ok());
        QTemporaryDir work;
        zx::EmbeddedFiles files(work.path().toStdString());
        std::mt19937 engine(1);
        files.extract(options.output, bank.index.length, bank.index.fileHeader,
                      [&engine] { return static_cast<std::uint32_t>(engine()); });
        const QRect area(0, 0, options.geometry.width, options.geometry.height);
        const zx::NumberedTags pages(bank.index.questionFileList, "questionFile", 500);
        for (int k = 0; k < zx::listPageCount(bank.index.questionFileList); ++k) {
            SCOPED_TRACE("page " + std::to_string(k));
            QWidget surface;
            surface.setAttribute(Qt::WA_DontShowOnScreen);
            surface.resize(area.size());
            zx::PageContext context;
            context.resolveBankFile = [&files](const std::string& name) { return files.resolve(name); };
            context.testState = [] { return zx::TestState::Running; };
            context.wait = [](int) {};
            zx::PageBuilder page(&surface, context);
            page.buildPage(pages.value(k), zx::TestState::Running);
            std::vector<QRect> shown;
            for (QWidget* child : surface.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                if (child->isHidden())
                    continue;
                EXPECT_TRUE(area.contains(child->geometry())) << child->metaObject()->className();
                shown.push_back(child->geometry());
            }
            EXPECT_GE(shown.size(), 1u);
            for (std::size_t i = 0; i < shown.size(); ++i)
                for (std::size_t j = i + 1; j < shown.size(); ++j)
                    EXPECT_FALSE(shown[i].intersects(shown[j])) << "controls " << i << " and " << j;
            page.leavePage();
        }
    }
}

} // namespace
