// The about box: its version line and the link that turns red once used.
#include "backup/frmAboutCorvex.h"
#include "foundation/Logging.h"
#include "foundation/MakerAddresses.h"
#include "platform/Pointer.h"
#include "support/OpenedDocuments.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>

namespace {
class AboutBoxTest : public ::testing::Test {
protected:
    AboutBoxTest() { box.Form_Load(); }
    QColor linkColour() const { return box.lblURL->palette().color(QPalette::WindowText); }
    TestEnvironment env;
    frmAboutCorvex box;
};
}  // namespace

TEST_F(AboutBoxTest, VersionLineCarriesTheBuildsVersion) {
    EXPECT_EQ(box.lblVersion->text(), "  Corvex - version " + GetVersionString() + "   ");
    EXPECT_TRUE(box.lblVersion->text().contains(QStringLiteral("v%1.%2   (build %3)")
                                                    .arg(CORVEX_VERSION_MAJOR)
                                                    .arg(CORVEX_VERSION_MINOR)
                                                    .arg(CORVEX_VERSION_BUILD)));
    EXPECT_TRUE(box.lblURL->text().contains("example.com"));
}

TEST_F(AboutBoxTest, TheLinkOpensTheMakersPageAndStaysRed) {
    OpenedDocuments docs;
    EXPECT_EQ(linkColour(), QColor(0, 0, 192));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), QPointF(2, 2), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(box.lblURL, &press);
    QApplication::sendEvent(box.lblURL, &release);
    EXPECT_EQ(docs.opened, QStringList({MakerWebAddress()}));
    EXPECT_TRUE(MakerWebAddress().startsWith("https://www.example.com/"));
    EXPECT_EQ(linkColour(), QColor(255, 0, 0));
    EXPECT_EQ(platform::CurrentPointer(), platform::Pointer::Default);

    // A page the desktop cannot open is reported; the pointer comes back all the same.
    ScriptedBoxes boxes;
    boxes.answer(platform::Answer::OK);
    docs.result = platform::OpenResult::NoAssociation;
    QTest::mouseClick(box.lblURL, Qt::LeftButton);
    EXPECT_EQ(boxes.count(), 1);
    EXPECT_EQ(platform::CurrentPointer(), platform::Pointer::Default);
    EXPECT_EQ(linkColour(), QColor(255, 0, 0));
}

// In either font size the box opens just large enough for its text, the
// name right above the frame.
TEST(AboutBoxSize, TheBoxOpensAtTheSizeItsTextNeeds) {
    TestEnvironment env;
    const QFont before = QApplication::font();
    for (const int points : {11, 14}) {
        QFont font = before;
        font.setPointSize(points);
        QApplication::setFont(font);
        frmAboutCorvex box;
        box.Form_Load();
        box.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
        EXPECT_EQ(box.size(), box.minimumSize()) << points;
        EXPECT_EQ(box.Label1[0]->height(), box.Label1[0]->sizeHint().height()) << points;
        EXPECT_LE(box.frameAdvert->height(), box.frameAdvert->sizeHint().height()) << points;
    }
    QApplication::setFont(before);
}

TEST_F(AboutBoxTest, OkClosesTheBox) {
    box.show();
    box.cmdOK->click();
    EXPECT_FALSE(box.isVisible());
    EXPECT_EQ(box.result(), QDialog::Accepted);
}
