// The product catalog: the entry on show, its picture, the link colours,
// printing and the catalog's own messages.
#include "backup/frmTamselShowCase.h"
#include "backup/WindowPrinting.h"
#include "support/OpenedDocuments.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

class CatalogTest : public ::testing::Test {
protected:
    CatalogTest() {
        form.Form_Load();
        form.show();
        QApplication::processEvents();
    }
    ~CatalogTest() override { SetPrintHandler({}); }

    // Which pictures are shown and which buttons are bold.
    QList<int> visiblePictures() const {
        QList<int> shown;
        for (int i = 0; i < frmTamselShowCase::kEntries; ++i)
            if (form.imageScreen[i]->isVisibleTo(&form)) shown << i;
        return shown;
    }
    QList<int> boldButtons() const {
        QList<int> bold;
        for (int i = 0; i < frmTamselShowCase::kEntries; ++i)
            if (form.cmdProduct[i]->font().bold()) bold << i;
        return bold;
    }
    QColor linkColour() const { return form.lblURL->palette().color(QPalette::WindowText); }
    void settle() { QApplication::processEvents(); }

    TestEnvironment env;
    ScriptedBoxes boxes;
    frmTamselShowCase form;
};

const QColor kBlue(0, 0, 192);
const QColor kRed(255, 0, 0);

}  // namespace

TEST_F(CatalogTest, OpensOnTheWelcomePage) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Catalog v%1.%2  [Tamsel Softwares Products]")
                                      .arg(CORVEX_VERSION_MAJOR)
                                      .arg(CORVEX_VERSION_MINOR));
    EXPECT_EQ(form.CurrentEntry(), 10);
    EXPECT_EQ(form.lblHeading->text(), "Welcome");
    EXPECT_EQ(form.cmdProduct[10]->text(), "Main");
    EXPECT_EQ(visiblePictures(), QList<int>({10}));
    EXPECT_EQ(boldButtons(), QList<int>({10}));
    EXPECT_EQ(linkColour(), kBlue);
    // The welcome button stands at the left of the row.
    for (int i = 0; i < 10; ++i) EXPECT_LT(form.cmdProduct[10]->x(), form.cmdProduct[i]->x());
}

TEST_F(CatalogTest, EveryEntryHasItsTextsAndAPictureOfItsOwn) {
    const auto entries = CatalogContent();
    for (int i = 0; i < frmTamselShowCase::kEntries; ++i) {
        form.cmdProduct[i]->click();
        const CatalogEntry& e = entries[size_t(i)];
        EXPECT_EQ(form.lblHeading->text(), e.heading);
        EXPECT_EQ(form.lblDescription->text(), e.description);
        EXPECT_EQ(form.lblURL->text(), e.webPage);
        EXPECT_EQ(form.lblFeatures->text(), e.features);
        EXPECT_EQ(form.lblDetails->toPlainText(), e.details);
        EXPECT_EQ(form.lblCost->text(), e.price);
        EXPECT_EQ(form.lblSize->text(), e.size);
        EXPECT_EQ(form.cmdOptions[0]->toolTip(), e.webPage);
        EXPECT_TRUE(e.webPage.startsWith("https://www.example.com/tamsel/")) << i;
        EXPECT_FALSE(e.heading.isEmpty() || e.description.isEmpty() || e.features.isEmpty() || e.details.isEmpty());
        if (i < 10) {
            EXPECT_FALSE(e.price.isEmpty() || e.size.isEmpty()) << i;
        }
        EXPECT_FALSE(form.imageScreen[i]->pixmap().isNull()) << i;
        EXPECT_EQ(visiblePictures(), QList<int>({i}));
        EXPECT_EQ(boldButtons(), QList<int>({i}));
    }
    EXPECT_EQ(entries[10].heading, "Welcome");
}

TEST_F(CatalogTest, PicturesAreCutToTheirBoxAndTheTextsFollowThem) {
    // The welcome picture is larger than the box: cut, not scaled.
    QLabel* welcome = form.imageScreen[10];
    ASSERT_GT(welcome->pixmap().width(), 300);
    ASSERT_GT(welcome->pixmap().height(), 187);
    settle();
    EXPECT_EQ(welcome->size(), QSize(300, 187));
    EXPECT_FALSE(welcome->hasScaledContents());
    const int bigLinkLeft = form.lblURL->x();
    const int bigDetailsTop = form.lblDetails->y();

    // A smaller picture moves the link and the features left and the details up.
    form.cmdProduct[4]->click();
    settle();
    QLabel* small = form.imageScreen[4];
    EXPECT_EQ(small->size(), small->pixmap().size());
    EXPECT_LT(form.lblURL->x(), bigLinkLeft);
    EXPECT_EQ(form.lblFeatures->x(), form.lblURL->x());
    EXPECT_GE(form.lblURL->x(), small->geometry().right());
    EXPECT_LT(form.lblDetails->y(), bigDetailsTop);
    EXPECT_GE(form.lblFeatures->height(), small->height() + 23);
}

// From the keyboard: Enter on the focused product button shows that entry;
// it does not press Download and open the web page.
TEST_F(CatalogTest, EnterOnAProductButtonShowsItsEntry) {
    OpenedDocuments opened;
    form.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        form.cmdProduct[3]->setFocus();
        QTest::keyClick(form.cmdProduct[3], key);
        settle();
        EXPECT_EQ(boldButtons(), QList<int>{3}) << key;
        EXPECT_EQ(visiblePictures(), QList<int>{3}) << key;
        EXPECT_TRUE(opened.opened.isEmpty()) << key;
        form.cmdProduct[10]->click();
    }
}

TEST_F(CatalogTest, TheLinkTurnsRedWhenUsedAndBlueWhenAnEntryIsShown) {
    OpenedDocuments docs;
    form.cmdProduct[3]->click();
    form.cmdOptions[0]->click();
    EXPECT_EQ(docs.opened, QStringList({form.lblURL->text()}));
    EXPECT_EQ(linkColour(), kRed);
    form.cmdProduct[3]->click();  // the same entry again
    EXPECT_EQ(linkColour(), kBlue);
    QTest::mouseClick(form.lblURL, Qt::LeftButton);
    EXPECT_EQ(linkColour(), kRed);
    EXPECT_EQ(docs.opened.size(), 2);
    form.cmdProduct[7]->click();
    EXPECT_EQ(linkColour(), kBlue);
}

TEST_F(CatalogTest, PrintingHandsTheWholeWindowToThePrinterAndShowsAFailure) {
    const struct {
        std::optional<PrintFailure> failure;
        int boxes;
    } cases[] = {{std::nullopt, 0}, {PrintFailure{kPrinterError, "There is no default printer"}, 1}};
    boxes.answerAllWith(platform::Answer::OK);
    for (const auto& c : cases) {
        QSize printed;
        SetPrintHandler([&](const QImage& image) {
            printed = image.size();
            return c.failure;
        });
        form.mnuFilePrint->trigger();
        EXPECT_EQ(printed, form.size() * form.devicePixelRatio());
        ASSERT_EQ(boxes.count(), c.boxes);
        EXPECT_TRUE(form.isVisible());
    }
    EXPECT_EQ(boxes.last().title, "An Error occurred while trying to print this page");
    EXPECT_EQ(boxes.last().text, "There was a problem printing the page\r\nErr# 482 = There is no default printer");
    EXPECT_EQ(boxes.last().icon, platform::Icon::Critical);
}

TEST_F(CatalogTest, AboutMessageAndClose) {
    boxes.answer(platform::Answer::OK);
    form.mnuHelpAbout->trigger();
    EXPECT_EQ(boxes.last().title, "About this Catalog");
    EXPECT_EQ(boxes.last().text, "Tamsel Softwares Catalog was last updated on April 28th, 2003");
    EXPECT_EQ(boxes.last().icon, platform::Icon::Information);
    form.mnuFileExit->trigger();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(CatalogTest, DetailsFillTheWindowAsItGrows) {
    form.resize(1000, 700);
    settle();
    const QSize before = form.lblDetails->size();
    form.resize(1100, 800);
    settle();
    EXPECT_EQ(form.lblDetails->size(), before + QSize(100, 100));
    EXPECT_GE(form.lblDetails->geometry().right(), form.width() - 20);
    EXPECT_GE(form.lblDetails->geometry().bottom(), form.height() - 20);
    EXPECT_GE(form.Label1->geometry().bottom(), form.height() - 20);
    EXPECT_GE(form.Line1->geometry().right(), form.width() - 20);
    EXPECT_GE(form.lblFeatures->geometry().right(), form.width() - 20);
}
