#include "backup/frmMsgBox.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QLabel>
#include <QPushButton>

TEST(MessageBoxFormTest, EachButtonLeavesItsCodeAndCloses) {
    const std::pair<const char*, qint16> cases[] = {{"cmdOK", 1}, {"cmdCancel", 2}, {"cmdYes", 6}, {"cmdNo", 7}};
    for (const auto& [name, code] : cases) {
        frmMsgBox form;
        form.show();
        MsgBoxResult = 0;
        form.findChild<QPushButton*>(name)->click();
        EXPECT_EQ(MsgBoxResult, code) << name;
        EXPECT_FALSE(form.isVisible()) << name;
    }
}

TEST(MessageBoxFormTest, MessageFillsTheWindowAboveTheButtons) {
    frmMsgBox form;
    form.show();
    for (const QSize size : {QSize(420, 180), QSize(700, 400), QSize(1, 1)}) {
        form.resize(size);
        QApplication::processEvents();
        const QRect inner = form.rect();
        const QRect label = form.lblText->geometry();
        EXPECT_EQ(label.topLeft(), QPoint(frmMsgBox::MessageMargin, frmMsgBox::MessageMargin));
        EXPECT_EQ(label.width(), inner.width() - 2 * frmMsgBox::MessageMargin);
        EXPECT_EQ(label.height(), inner.height() - 2 * frmMsgBox::MessageMargin - frmMsgBox::RoomBelowMessage);
        EXPECT_GE(label.height(), 0);
        for (QPushButton* b : {form.cmdYes, form.cmdNo, form.cmdOK, form.cmdCancel}) {
            EXPECT_EQ(b->y(), inner.height() - frmMsgBox::ButtonsFromBottom) << qPrintable(b->objectName());
            EXPECT_LE(b->geometry().right(), inner.width());
        }
    }
}
