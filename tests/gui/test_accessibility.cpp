// What a screen reader finds on a page, read through Qt's accessibility
// tree: every answer object named, with its role and state, shapes as
// graphics, the reports as documents.
#include "test_run_fixture.h"

#include "objects/field_edit.h"
#include "objects/image_control.h"
#include "objects/shape_control.h"
#include "objects/zx_button.h"
#include "objects/zx_drag.h"
#include "objects/zx_field.h"
#include "objects/zx_picture.h"
#include "objects/zx_shape.h"
#include "window/report_view.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace zx::test {

class AccessibilityTest : public TestRunFixture {
protected:
    static QAccessibleInterface* of(QObject* object)
    {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(object);
        EXPECT_NE(iface, nullptr);
        return iface;
    }
    static QString name(QObject* o) { return of(o)->text(QAccessible::Name); }
    static QString value(QObject* o) { return of(o)->text(QAccessible::Value); }
    static QString description(QObject* o) { return of(o)->text(QAccessible::Description); }
};

TEST_F(AccessibilityTest, EveryAnswerObjectOfTheSampleIsNamedWithItsState)
{
    m_run->openBank(sampleBank());
    m_run->startTest();
    PageBuilder& page = m_run->page();
    for (int q = 0; q <= m_run->lastQuestion(); ++q) {
        SCOPED_TRACE(q);
        questionSlider(*m_form)->setValue(q);
        const std::vector<QWidget*> controls = page.focusOrder();
        auto listed = [&](QWidget* control) {
            return std::find(controls.begin(), controls.end(), control) != controls.end();
        };
        for (int i = 0; i < page.fieldCount(); ++i)
            EXPECT_TRUE(listed(page.field(i)->box()));
        for (int i = 0; i < page.buttonCount(); ++i)
            EXPECT_TRUE(listed(page.button(i)->picture(1)));
        for (int i = 0; i < page.dragCount(); ++i)
            EXPECT_TRUE(listed(page.drag(i)->visual()));
        for (QWidget* control : controls) {
            QAccessibleInterface* iface = of(control);
            EXPECT_FALSE(iface->text(QAccessible::Name).isEmpty());
            EXPECT_TRUE(iface->state().focusable);
        }
        for (int i = 0; i < page.shapeCount(); ++i) {
            if (page.shape(i) && page.shape(i)->shape()) {
                EXPECT_EQ(of(page.shape(i)->shape())->role(), QAccessible::Graphic);
            }
        }
    }

    // Question 1: choice buttons named by the text beside them.
    questionSlider(*m_form)->setValue(0);
    ImageControl* mars = page.button(0)->picture(1);
    EXPECT_EQ(of(mars)->role(), QAccessible::CheckBox);
    EXPECT_EQ(name(mars), QStringLiteral("Mars"));
    EXPECT_EQ(description(mars), QStringLiteral("message 96"));
    EXPECT_TRUE(of(mars)->state().checkable);
    EXPECT_FALSE(of(mars)->state().checked);
    mars->setFocus(Qt::TabFocusReason);
    QTest::keyClick(mars, Qt::Key_Space);
    EXPECT_TRUE(of(mars)->state().checked);
    EXPECT_EQ(value(mars), QStringLiteral("message 24"));

    // Question 2: the field, its label and its kind, editable until the
    // test is finished.
    questionSlider(*m_form)->setValue(1);
    FieldEdit* box = page.field(0)->box();
    EXPECT_EQ(of(box)->role(), QAccessible::EditableText);
    EXPECT_EQ(description(box), QStringLiteral("message 34"));
    EXPECT_EQ(name(box), QStringLiteral("Name of the star"));
    EXPECT_FALSE(of(box)->state().readOnly);
    EXPECT_TRUE(of(box)->state().editable);
    QTest::keyClicks(box, QStringLiteral("Sun"));
    EXPECT_EQ(value(box), QStringLiteral("Sun"));
    ASSERT_NE(of(box)->textInterface(), nullptr);
    EXPECT_EQ(of(box)->textInterface()->text(0, 3), QStringLiteral("Sun"));

    // Question 5: true or false, named by the statement beside it.
    questionSlider(*m_form)->setValue(4);
    ImageControl* statement = page.button(0)->picture(1);
    EXPECT_EQ(name(statement), QStringLiteral("The Sun is a star., message 26"));
    EXPECT_EQ(description(statement), QStringLiteral("message 95"));
    EXPECT_EQ(value(statement), QStringLiteral("message 26"));
    statement->setFocus(Qt::TabFocusReason);
    QTest::keyClick(statement, Qt::Key_F);
    EXPECT_EQ(value(statement), QStringLiteral("message 28"));
    EXPECT_EQ(name(statement), QStringLiteral("The Sun is a star., message 28"));

    // Question 9: an item and the target it sits on.
    questionSlider(*m_form)->setValue(8);
    QWidget* item = page.drag(0)->visual();
    EXPECT_EQ(of(item)->role(), QAccessible::Button);
    EXPECT_EQ(name(item), QStringLiteral("Mars, message 26"));
    EXPECT_EQ(value(item), QStringLiteral("message 26"));
    item->setFocus(Qt::TabFocusReason);
    QTest::keyClick(item, Qt::Key_Space);
    EXPECT_TRUE(of(item)->state().pressed);
    QTest::keyClick(item, Qt::Key_Right);
    EXPECT_EQ(value(item), QStringLiteral("left box"));
    QTest::keyClick(item, Qt::Key_Return);
    EXPECT_FALSE(of(item)->state().pressed);
    EXPECT_EQ(value(item), QStringLiteral("message 38 left box"));
    EXPECT_EQ(name(item), QStringLiteral("Mars, message 38 left box"));
    EXPECT_EQ(description(item), QStringLiteral("message 37"));

    // Finished: the answers read as read-only, the reports as documents.
    m_answerYes = true;
    QTest::mouseClick(panelButton(*m_form, "FinishButton"), Qt::LeftButton);
    ASSERT_EQ(m_form->testState(), TestState::Finished);
    auto* report = m_form->findChild<ReportView*>(QStringLiteral("ResultsSummaryView"));
    ASSERT_NE(report, nullptr);
    EXPECT_EQ(of(report)->role(), QAccessible::Document);
    EXPECT_TRUE(of(report)->state().readOnly);
    ASSERT_NE(of(report)->textInterface(), nullptr);
    EXPECT_GT(of(report)->textInterface()->characterCount(), 0);
    EXPECT_EQ(name(report), QStringLiteral("message 91"));
    questionSlider(*m_form)->setValue(1); // question 1 after the results page
    EXPECT_TRUE(of(page.button(0)->picture(1))->state().readOnly);
    questionSlider(*m_form)->setValue(2);
    EXPECT_TRUE(of(page.field(0)->box())->state().readOnly);
    EXPECT_FALSE(of(page.field(0)->box())->state().editable);
}

TEST_F(AccessibilityTest, NamesComeFromThePageTextThenTheRecord)
{
    // A button whose author's name differs from the text beside it, one
    // with no text near, a field with a text above it, a start picture.
    const std::string objects =
        "<zxText><feedback>0</feedback><textLeft>80</textLeft><textTop>100</textTop><textWidth>200</textWidth>"
        "<textHeight>24</textHeight><zxString>Mercury</zxString></zxText>"
        "<zxText><feedback>0</feedback><textLeft>300</textLeft><textTop>300</textTop><textWidth>200</textWidth>"
        "<textHeight>20</textHeight><zxString>Your answer:</zxString></zxText>"
        "<zxButton><buttonType>0</buttonType><ButtonName>B1</ButtonName><buttonLeft>40</buttonLeft><buttonTop>100</buttonTop>"
        "<s1>pic.bmp</s1><buttonMarkIfSelected>1</buttonMarkIfSelected></zxButton>"
        "<zxButton><buttonType>1</buttonType><ButtonName>-empty45646-</ButtonName><buttonLeft>600</buttonLeft>"
        "<buttonTop>400</buttonTop><tf1>pic.bmp</tf1><buttonMarkIfSelected>0</buttonMarkIfSelected></zxButton>"
        "<zxField><FieldName>Answer field</FieldName><FieldLeft>300</FieldLeft><FieldTop>325</FieldTop>"
        "<FieldWidth>100</FieldWidth><FieldHeight>20</FieldHeight><editRestriction>2</editRestriction></zxField>"
        "<zxDrag><dragFilePathAbs>0</dragFilePathAbs><DragName></DragName><DragLeft>10</DragLeft><DragTop>400</DragTop>"
        "<DragWidth>20</DragWidth><DragHeight>20</DragHeight><targets>4,,1,300,200,40,40;</targets></zxDrag>";
    const std::string start = "<zxPicture><feedback>0</feedback><PictureName>StartTest</PictureName>"
                              "<picFilePathAbs>pic.bmp</picFilePathAbs><PictureLeft>5</PictureLeft>"
                              "<PictureTop>5</PictureTop><picPosition>1</picPosition></zxPicture>";
    m_run->openBank(makeBank("<version>1</version>", {page("Question", objects)}, {page("Welcome", start)},
                             [](const QString& media) {
                                 QImage picture(24, 24, QImage::Format_RGB32);
                                 picture.fill(Qt::white);
                                 picture.save(media + QStringLiteral("/pic.bmp"));
                             }));
    ASSERT_EQ(m_form->testState(), TestState::Ready);
    PageBuilder& page = m_run->page();
    zxPicture* picture = page.picture(0);
    ASSERT_TRUE(picture && picture->normalImage());
    EXPECT_EQ(of(picture->normalImage())->role(), QAccessible::Button);
    EXPECT_EQ(name(picture->normalImage()), QStringLiteral("Start the test")) << "what it does, not its marker name";
    EXPECT_EQ(page.focusOrder(), std::vector<QWidget*>{picture->normalImage()});

    m_run->startTest();
    ASSERT_EQ(page.buttonCount(), 2);
    EXPECT_EQ(name(page.button(0)->picture(1)), QStringLiteral("Mercury"));
    EXPECT_EQ(name(page.button(1)->picture(1)), QStringLiteral("message 95, message 26"));
    EXPECT_EQ(name(page.field(0)->box()), QStringLiteral("Answer field")); // the text above names nothing
    EXPECT_EQ(description(page.field(0)->box()), QStringLiteral("message 32"));
    EXPECT_EQ(name(page.drag(0)->visual()), QStringLiteral("message 37, message 26"));
    EXPECT_EQ(page.drag(0)->targetName(4), "5");
    // The same text object is a plain static text to the reader.
    for (int i = 0; i < page.textCount(); ++i) {
        if (page.text(i) && page.text(i)->label() && page.text(i)->label()->text() == QStringLiteral("Mercury")) {
            EXPECT_EQ(of(page.text(i)->label())->role(), QAccessible::StaticText);
        }
    }
}

} // namespace zx::test
