#include "platform/Dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {
// Runs step on the modal box once it is shown (and again until it is).
void onModalBox(const std::function<void(QMessageBox*)>& step) {
    QTimer::singleShot(10, [step] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            step(box);
        else
            onModalBox(step);
    });
}
}  // namespace

TEST(MsgBox, AbortRetryIgnoreHasNoEscapeAnswer) {
    bool stayedOpen = false;
    onModalBox([&](QMessageBox* box) {
        QTest::keyClick(box, Qt::Key_Escape);
        box->close();
        QApplication::processEvents();
        stayedOpen = box->isVisible();
        box->button(QMessageBox::Retry)->click();
    });
    const platform::Answer answer = platform::MsgBox("read error", platform::Buttons::AbortRetryIgnore);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(answer, platform::Answer::Retry);
}

TEST(MsgBox, EscapeStillAnswersBoxesWithACancelAnswer) {
    onModalBox([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
    EXPECT_EQ(platform::MsgBox("go on?", platform::Buttons::YesNo), platform::Answer::No);
}
