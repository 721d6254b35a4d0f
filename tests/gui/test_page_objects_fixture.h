// Shared set-up for the page object tests: a plain white page widget, a
// temporary folder for picture and sound files, and a page context whose
// calls are recorded.
#pragma once

#include "objects/page_context.h"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace zx::testing {

class PageObjectsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_page = std::make_unique<QWidget>();
        m_page->setAutoFillBackground(true);
        QPalette palette = m_page->palette();
        palette.setColor(QPalette::Window, Qt::white);
        m_page->setPalette(palette);
        m_page->resize(640, 480);
    }

    // Shows the page so that pointer events reach its children.
    void showPage()
    {
        m_page->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(m_page.get()));
    }

    // Pointer buttons as the window system delivers them: to the topmost
    // control under the point.  Returns that control.
    QWidget* pressAt(QPoint point)
    {
        QWidget* target = m_page->childAt(point);
        if (target == nullptr)
            target = m_page.get();
        QTest::mousePress(target, Qt::LeftButton, {}, target->mapFrom(m_page.get(), point));
        return target;
    }
    void releaseOn(QWidget* target, QPoint point)
    {
        QTest::mouseRelease(target, Qt::LeftButton, {}, target->mapFrom(m_page.get(), point));
    }
    void clickAt(QPoint point) { releaseOn(pressAt(point), point); }

    PageContext context()
    {
        PageContext c;
        const std::string folder = m_dir.path().toStdString() + "/";
        c.resolveBankFile = [folder](const std::string& name) { return folder + name; };
        c.playAudioFile = [this](const std::string& path) { m_played.push_back(path); };
        c.requestStart = [this] { ++m_startRequests; };
        c.testState = [this] { return m_state; };
        c.subtitlesOn = [this] { return m_subtitles; };
        c.wait = [this](int ms) { m_waits.push_back(ms); };
        return c;
    }

    std::string path(const char* name) const { return m_dir.path().toStdString() + "/" + name; }

    // A picture whose pixel (x, y) has the colour (x * 8, y * 8, 200), so a
    // pixel read back tells where it came from.
    static QImage gradient(int width, int height)
    {
        QImage image(width, height, QImage::Format_RGB32);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                image.setPixel(x, y, qRgb((x * 8) & 0xFF, (y * 8) & 0xFF, 200));
        return image;
    }
    static QImage filled(int width, int height, QColor colour)
    {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        return image;
    }

    std::string save(const QImage& image, const char* name, const char* format = nullptr)
    {
        const std::string file = path(name);
        EXPECT_TRUE(image.save(QString::fromStdString(file), format));
        return file;
    }
    std::string write(const char* name, const QByteArray& bytes)
    {
        const std::string file = path(name);
        QFile out(QString::fromStdString(file));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
        return file;
    }

    QImage grabPage() { return m_page->grab().toImage(); }

    QTemporaryDir m_dir;
    std::unique_ptr<QWidget> m_page;
    std::vector<std::string> m_played;
    std::vector<int> m_waits;
    int m_startRequests = 0;
    TestState m_state = TestState::Running;
    bool m_subtitles = false;
};

// Colours compared with room for JPEG and scaling noise.
inline bool near(QRgb a, QRgb b, int tolerance = 12)
{
    return std::abs(qRed(a) - qRed(b)) <= tolerance && std::abs(qGreen(a) - qGreen(b)) <= tolerance
           && std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace zx::testing
