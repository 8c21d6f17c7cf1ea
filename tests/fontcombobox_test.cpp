#include "fontcombobox.h"
#include "testsupport.h"

#include <gtest/gtest.h>
#include <QAbstractItemView>
#include <QFile>
#include <QFontDatabase>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QPainter>
#include <QSet>
#include <QStyleOptionComboBox>
#include <QTest>

namespace {

// A shown window with a font list that records its notifications.
struct FontWindow
{
    QWidget window;
    TFontComboBox *combo = new TFontComboBox(&window);
    QStringList events;

    explicit FontWindow(TFontListOptions options = {})
    {
        combo->setOptions(options);
        combo->setGeometry(10, 10, 220, combo->sizeHint().height());
        combo->OnClick = [this](TFontComboBox *) { events << QStringLiteral("click"); };
        combo->OnChange = [this](TFontComboBox *sender) { events << QStringLiteral("change ") + sender->FontName(); };
        window.resize(300, 80);
        window.show();
        window.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        combo->setFocus();
    }

    QStringList entries() const
    {
        QStringList names;
        for (int i = 0; i < combo->count(); ++i)
            names << combo->itemText(i);
        return names;
    }

    QAbstractItemView *openList()
    {
        combo->showPopup();
        QAbstractItemView *list = combo->view();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(list->window()));
        return list;
    }
};

// Whether glyph stands at topLeft in image: painting it there again changes
// nothing.
bool showsGlyph(const QImage &image, QPoint topLeft, const QImage &glyph)
{
    QImage repainted = image;
    QPainter(&repainted).drawImage(topLeft, glyph);
    return repainted == image;
}

// Whether area of image holds nothing but background.
bool isBlank(const QImage &image, const QRect &area, QColor background)
{
    QImage blank(area.size(), image.format());
    blank.fill(background);
    return image.copy(area) == blank;
}

const QString LiberationMono = QStringLiteral("Liberation Mono");
const QString DejaVuSansMono = QStringLiteral("DejaVu Sans Mono");

} // namespace

TEST(FontComboBoxList, ListsOnlyFixedPitchWesternFamiliesForThePreview)
{
    FontWindow w(foAnsiOnly | foFixedPitchOnly);
    const QStringList names = w.entries();
    EXPECT_TRUE(names.contains(LiberationMono));
    EXPECT_TRUE(names.contains(DejaVuSansMono));
    EXPECT_FALSE(names.contains(QStringLiteral("Liberation Sans")));
    EXPECT_FALSE(names.contains(QStringLiteral("DejaVu Sans")));
    // The first entry is not chosen on its own.
    EXPECT_EQ(w.combo->FontName(), QString());
}

TEST(FontComboBoxList, ListsEachFamilyOnceSortedWhateverTheDevice)
{
    FontWindow w;
    const QStringList screen = w.entries();
    EXPECT_TRUE(std::is_sorted(screen.begin(), screen.end(),
        [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; }));
    w.combo->setDevice(fdBoth);
    EXPECT_EQ(w.entries(), screen);
    EXPECT_EQ(QSet<QString>(screen.begin(), screen.end()).size(), screen.size());
}

TEST(FontComboBoxList, TrueTypeOnlyIsAnOptionAndNoFamilyIsOem)
{
    FontWindow w(foOEMFontsOnly);
    EXPECT_EQ(w.combo->count(), 0);
    w.combo->setTrueTypeOnly(true);
    EXPECT_EQ(w.combo->Options(), foOEMFontsOnly | foTrueTypeOnly);
    w.combo->setOptions(foTrueTypeOnly | foNoOEMFonts);
    EXPECT_TRUE(w.combo->TrueTypeOnly());
    EXPECT_TRUE(w.entries().contains(QStringLiteral("Liberation Serif")));
}

TEST(FontComboBoxName, ANameInOtherLetterCaseSelectsTheEntry)
{
    FontWindow w(foAnsiOnly | foFixedPitchOnly);
    w.combo->setFontName(QStringLiteral("liberation MONO"));
    EXPECT_EQ(w.combo->selectedItem(), LiberationMono);
    EXPECT_EQ(w.combo->FontName(), LiberationMono);
    EXPECT_EQ(w.events, QStringList {QStringLiteral("change Liberation Mono")});
}

TEST(FontComboBoxName, AnUnlistedNameSelectsNothing)
{
    FontWindow w(foAnsiOnly | foFixedPitchOnly);
    w.combo->setFontName(DejaVuSansMono);
    w.combo->setFontName(QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(w.combo->currentIndex(), -1);
    EXPECT_EQ(w.combo->FontName(), QString());
    EXPECT_EQ(w.events.last(), QStringLiteral("change "));
    // The editable styles keep the name as edit text.
    w.combo->setStyle(csDropDown);
    w.combo->setFontName(QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(w.combo->FontName(), QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(w.combo->selectedItem(), QString());
}

TEST(FontComboBoxName, TypingAnEntrysNameInAnyCaseSelectsIt)
{
    FontWindow w(foAnsiOnly | foFixedPitchOnly);
    w.combo->setStyle(csSimple);
    QTest::keyClicks(w.combo->lineEdit(), QStringLiteral("dejavu"));
    // Nothing is completed: the text is what was typed.
    EXPECT_EQ(w.combo->FontName(), QStringLiteral("dejavu"));
    QTest::keyClicks(w.combo->lineEdit(), QStringLiteral(" sans mono"));
    EXPECT_EQ(w.combo->selectedItem(), DejaVuSansMono);
    EXPECT_EQ(w.events.last(), QStringLiteral("change DejaVu Sans Mono"));
    // A typed name never becomes an entry.
    QTest::keyClick(w.combo->lineEdit(), Qt::Key_Backspace);
    QTest::keyClick(w.combo->lineEdit(), Qt::Key_Return);
    EXPECT_FALSE(w.entries().contains(QStringLiteral("DejaVu Sans Mon")));
}

TEST(FontComboBoxNotice, AChoiceFromTheListFiresOnClickBeforeOnChange)
{
    FontWindow w(foAnsiOnly | foFixedPitchOnly);
    const int row = w.entries().indexOf(LiberationMono);
    const auto choose = [&w, row] {
        QAbstractItemView *list = w.openList();
        const QPoint entry = list->visualRect(list->model()->index(row, 0)).center();
        QTest::mouseMove(list->viewport(), entry);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, entry);
        EXPECT_FALSE(list->isVisible());
    };
    choose();
    EXPECT_EQ(w.combo->FontName(), LiberationMono);
    EXPECT_EQ(w.events, (QStringList {QStringLiteral("click"), QStringLiteral("change Liberation Mono")}));
    // Choosing the chosen entry again is a click without a change.
    w.events.clear();
    choose();
    EXPECT_EQ(w.events, QStringList {QStringLiteral("click")});
}

TEST(FontComboBoxNotice, ARebuildKeepsTheChoiceAndTellsOnlyOfALoss)
{
    FontWindow w;
    w.combo->setFontName(DejaVuSansMono);
    w.events.clear();
    w.combo->setOptions(foAnsiOnly | foFixedPitchOnly);
    EXPECT_EQ(w.combo->selectedItem(), DejaVuSansMono);
    EXPECT_TRUE(w.events.isEmpty());

    w.combo->setOptions({});
    w.combo->setFontName(QStringLiteral("DejaVu Sans"));
    w.events.clear();
    w.combo->setOptions(foFixedPitchOnly);
    EXPECT_EQ(w.combo->FontName(), QString());
    EXPECT_EQ(w.events, QStringList {QStringLiteral("change ")});
}

TEST(FontComboBoxNotice, AFontInstalledWhileRunningIsListed)
{
    // A font of Qt's documentation that fontconfig does not know.
    const QString file
        = QLibraryInfo::path(QLibraryInfo::DocumentationPath) + QStringLiteral("/global/template/style/icomoon.ttf");
    if (!QFile::exists(file))
        GTEST_SKIP() << "no font file at " << file.toStdString();
    FontWindow w;
    w.combo->setFontName(LiberationMono);
    w.events.clear();
    const int id = QFontDatabase::addApplicationFont(file);
    ASSERT_GE(id, 0);
    const QString family = QFontDatabase::applicationFontFamilies(id).value(0);
    EXPECT_TRUE(w.entries().contains(family));
    EXPECT_EQ(w.combo->selectedItem(), LiberationMono);
    EXPECT_TRUE(w.events.isEmpty());
    QFontDatabase::removeApplicationFont(id);
    EXPECT_FALSE(w.entries().contains(family));
}

TEST(FontComboBoxLook, EntryHeightFollowsTheFontButHoldsTheGlyph)
{
    FontWindow w;
    w.openList();
    w.combo->hidePopup();
    QFont font = w.combo->font();
    font.setPixelSize(30);
    w.combo->setFont(font);
    EXPECT_EQ(w.combo->ItemHeight(), QFontMetrics(font).height() + 1);
    font.setPixelSize(4);
    w.combo->setFont(font);
    EXPECT_EQ(w.combo->ItemHeight(), TFontComboBox::trueTypeGlyph().height() - 1);
    QAbstractItemView *list = w.openList();
    EXPECT_EQ(list->visualRect(list->model()->index(0, 0)).height(), w.combo->ItemHeight());
}

TEST(FontComboBoxLook, DrawsTheTrueTypeGlyphBeforeTheName)
{
    FontWindow w(foAnsiOnly | foFixedPitchOnly);
    w.combo->setFontName(DejaVuSansMono);
    const QImage &glyph = TFontComboBox::trueTypeGlyph();

    QAbstractItemView *list = w.openList();
    const QRect entry = list->visualRect(list->model()->index(w.combo->currentIndex(), 0));
    const QImage drawn = list->viewport()->grab(entry).toImage();
    EXPECT_TRUE(showsGlyph(drawn, {2, (entry.height() - glyph.height()) / 2}, glyph));
    const QColor background = drawn.pixelColor(drawn.width() - 1, 0);
    EXPECT_TRUE(isBlank(drawn, QRect(glyph.width() + 2, 0, 4, drawn.height()), background));
    EXPECT_FALSE(isBlank(drawn, QRect(26, 0, 20, drawn.height()), background));
    w.combo->hidePopup();

    // The closed box shows the chosen entry the same way.
    QStyleOptionComboBox option;
    option.initFrom(w.combo);
    const QRect field
        = w.combo->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, w.combo);
    EXPECT_TRUE(showsGlyph(
        w.combo->grab().toImage(), field.topLeft() + QPoint(2, (field.height() - glyph.height()) / 2), glyph));
}
