#include "onoffswitch.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QLineEdit>
#include <QPainter>
#include <QTest>
#include <QVBoxLayout>

namespace {

QPixmap solid(QColor color, QSize size = {22, 22})
{
    QPixmap p(size);
    p.fill(color);
    QPainter painter(&p);
    painter.fillRect(0, size.height() - 1, 1, 1, Qt::magenta); // the transparent colour
    return p;
}

// A window with a line edit and the main window's switch: 113 × 49, caption
// above, 22 × 22 pictures.
struct SwitchWindow
{
    QWidget window;
    QLineEdit *other = new QLineEdit(&window);
    TOnOffSwitch *sw = new TOnOffSwitch(&window);
    QStringList events;

    SwitchWindow()
    {
        other->setGeometry(0, 0, 100, 20);
        sw->setGeometry(0, 30, 113, 49);
        sw->setCaption(QStringLiteral("S&tart"));
        sw->setTextPosition(tpAbove);
        sw->setParentColor(false);
        sw->setColor(clBtnFace);
        sw->setGlyphOff(solid(Qt::red));
        sw->setGlyphOn(solid(Qt::green));
        sw->OnOn = [this](TOnOffSwitch *) { events << "on"; };
        sw->OnOff = [this](TOnOffSwitch *) { events << "off"; };
        window.resize(200, 100);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        other->setFocus();
    }
};

} // namespace

TEST(OnOffSwitch, PlacesTheGlyphUnderTheCaption)
{
    SwitchWindow w;
    EXPECT_EQ(w.sw->glyphRect(), QRect(45, 27, 22, 22));
    const QImage image = w.sw->grab().toImage();
    EXPECT_EQ(image.pixelColor(50, 30), QColor(Qt::red));
    // The picture's transparent corner shows the switch's colour.
    EXPECT_EQ(image.pixelColor(45, 48), toQColor(clBtnFace));
    // The caption is drawn in the band above the picture.
    bool ink = false;
    for (int y = 0; y < 27 && !ink; ++y)
        for (int x = 40; x < 75 && !ink; ++x)
            ink = image.pixelColor(x, y) != toQColor(clBtnFace);
    EXPECT_TRUE(ink);
    w.sw->setStateOn(true);
    EXPECT_EQ(w.sw->grab().toImage().pixelColor(50, 30), QColor(Qt::green));
}

TEST(OnOffSwitch, TogglesOnThePressNotTheRelease)
{
    SwitchWindow w;
    const QPoint centre = w.sw->rect().center();
    QTest::mousePress(w.sw, Qt::LeftButton, {}, centre);
    EXPECT_TRUE(w.sw->StateOn());
    EXPECT_TRUE(w.sw->hasFocus());
    QTest::mouseRelease(w.sw, Qt::LeftButton, {}, centre);
    EXPECT_TRUE(w.sw->StateOn());
    QTest::mousePress(w.sw, Qt::RightButton, {}, centre);
    EXPECT_TRUE(w.sw->StateOn());
    EXPECT_EQ(w.events, QStringList({"on"}));
}

TEST(OnOffSwitch, EachClickOfADoubleClickToggles)
{
    SwitchWindow w;
    // Through the window, so that Qt itself turns the second press into a
    // double-click event: press, release, double click, release.
    QTest::mouseDClick(w.window.windowHandle(), Qt::LeftButton, {}, w.sw->mapTo(&w.window, w.sw->rect().center()));
    EXPECT_FALSE(w.sw->StateOn());
    EXPECT_EQ(w.events, QStringList({"on", "off"}));
}

TEST(OnOffSwitch, FiresOnlyOnARealChange)
{
    SwitchWindow w;
    w.sw->setStateOn(false);
    w.sw->setStateOn(true);
    w.sw->setStateOn(true);
    w.sw->Toggle();
    EXPECT_EQ(w.events, QStringList({"on", "off"}));
}

TEST(OnOffSwitch, ToggleKeyAndAccelerator)
{
    SwitchWindow w;
    // The accelerator only moves the focus; the space bar then toggles.
    QTest::keyClick(&w.window, Qt::Key_T, Qt::AltModifier);
    EXPECT_TRUE(w.sw->hasFocus());
    EXPECT_FALSE(w.sw->StateOn());
    QTest::keyClick(w.sw, Qt::Key_Space);
    EXPECT_TRUE(w.sw->StateOn());
    QTest::keyClick(w.sw, Qt::Key_Space, Qt::ShiftModifier); // not the toggle key
    EXPECT_TRUE(w.sw->StateOn());

    w.sw->setToggleKey(QKeyCombination());
    QTest::keyClick(w.sw, Qt::Key_Space);
    EXPECT_TRUE(w.sw->StateOn());
    w.sw->setToggleKey(QKeyCombination(Qt::ControlModifier, Qt::Key_F5));
    QTest::keyClick(w.sw, Qt::Key_F5, Qt::ControlModifier);
    EXPECT_FALSE(w.sw->StateOn());
}

TEST(OnOffSwitch, EmptyGlyphBringsTheBuiltInPictureBack)
{
    SwitchWindow w;
    EXPECT_TRUE(w.sw->isUserGlyph(0));
    w.sw->setGlyphOff(QPixmap());
    EXPECT_FALSE(w.sw->isUserGlyph(0));
    EXPECT_TRUE(w.sw->isUserGlyph(1));
    EXPECT_EQ(w.sw->GlyphOff().size(), QSize(32, 48));
    EXPECT_EQ(w.sw->GlyphOff().toImage(), TOnOffSwitch::builtInGlyph(0).toImage());
}

TEST(OnOffSwitch, DisabledSwitchIsGreyAndTakesNoInput)
{
    SwitchWindow w;
    const QColor normal = w.sw->grab().toImage().pixelColor(50, 30);
    w.sw->setEnabled(false);
    EXPECT_NE(w.sw->grab().toImage().pixelColor(50, 30), normal);
    QTest::mousePress(w.sw, Qt::LeftButton, {}, w.sw->rect().center());
    QTest::keyClick(w.sw, Qt::Key_Space);
    EXPECT_FALSE(w.sw->StateOn());
    w.sw->setStateOn(true); // code still can
    EXPECT_EQ(w.events, QStringList({"on"}));
}
