#include "foundation/frmAutoWiz.h"
#include "foundation/frmEULA.h"
#include "support/ScriptedBoxes.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {
// Removes the shown hook when a test ends, whatever happens.
struct HookGuard {
    ~HookGuard() { frmEULA::SetShownHook({}); }
};
}  // namespace

TEST(AgreementText, BuiltInTextIsLongEnoughThatLicenseFileIsNeverRead) {
    TestEnvironment env("vantor");
    env.writeFile("license.txt", "Our replacement text\r\nsecond line\r\n");
    const QString builtIn = BuiltInAgreementText();
    EXPECT_GT(builtIn.size(), 2900);
    EXPECT_EQ(AgreementTextFor(builtIn, env.path("license.txt")), builtIn);

    frmEULA form;
    EXPECT_EQ(form.Text1->toPlainText(), builtIn);
}

TEST(AgreementText, ShortTextIsReplacedByLicenseFileWhenReadable) {
    TestEnvironment env("vantor");
    const QString shortText = QString(2900, 'x');
    EXPECT_EQ(AgreementTextFor(shortText, env.path("license.txt")), shortText) << "no file: text stays";
    env.writeFile("license.txt", "Our replacement text\r\nsecond line\r\n");
    EXPECT_EQ(AgreementTextFor(shortText, env.path("license.txt")), "Our replacement text\nsecond line\n");
    EXPECT_EQ(AgreementTextFor(QString(2901, 'x'), env.path("license.txt")), QString(2901, 'x'));
    // A folder in place of the file cannot be read: the text stays.
    EXPECT_EQ(AgreementTextFor(shortText, env.folder()), shortText);
}

TEST(AgreementWindow, CaptionAndButtonsWakeWhenShown) {
    TestEnvironment env("vantor");
    HookGuard guard;
    frmEULA probe;
    EXPECT_EQ(probe.windowTitle(), " End User License Agreement");
    EXPECT_EQ(probe.Command1->text(), "I Agree");
    EXPECT_EQ(probe.Command2->text(), "I Disagree");
    EXPECT_FALSE(probe.Command1->isEnabled());
    EXPECT_FALSE(probe.Command2->isEnabled());

    bool enabledWhenShown = false;
    frmEULA::SetShownHook([&](frmEULA& form) {
        enabledWhenShown = form.Command1->isEnabled() && form.Command2->isEnabled();
        form.Command1->click();
    });
    EXPECT_TRUE(ShowAgreement());
    EXPECT_TRUE(enabledWhenShown);
    EXPECT_EQ(env.endCalls(), 0);
}

TEST(AgreementWindow, EnterOnTheFocusedIAgreePressesIt) {
    TestEnvironment env("vantor");
    HookGuard guard;
    bool pressed = false;
    frmEULA::SetShownHook([&](frmEULA& form) {
        form.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
        form.Command1->setFocus();
        QTest::keyClick(form.Command1, Qt::Key_Return);
        pressed = !form.isVisible();
        if (!pressed) form.Command2->click();
    });
    EXPECT_TRUE(ShowAgreement());
    EXPECT_TRUE(pressed);
    EXPECT_EQ(env.endCalls(), 0);
}

TEST(AgreementWindow, DisagreeEndsTheProgramAndClosingAgrees) {
    TestEnvironment env("vantor");
    HookGuard guard;
    frmEULA::SetShownHook([](frmEULA& form) { form.Command2->click(); });
    EXPECT_FALSE(ShowAgreement());
    EXPECT_EQ(env.endCalls(), 1);

    frmEULA::SetShownHook([](frmEULA& form) { form.close(); });
    EXPECT_TRUE(ShowAgreement());
    EXPECT_EQ(env.endCalls(), 1);
}

TEST(AgreementWindow, EscapeIsNoAnswer) {
    TestEnvironment env("vantor");
    HookGuard guard;
    bool openAfterEscape = false;
    frmEULA::SetShownHook([&](frmEULA& form) {
        QTest::keyClick(&form, Qt::Key_Escape);
        QTest::keyClick(form.Text1, Qt::Key_Escape);
        openAfterEscape = form.isVisible();
        form.Command2->click();
    });
    EXPECT_FALSE(ShowAgreement()) << "Escape took the agreement as accepted";
    EXPECT_TRUE(openAfterEscape);
    EXPECT_EQ(env.endCalls(), 1);
}

TEST(PathListWizard, NextNeedsAChoiceAndEachChoiceOnlyShowsAMessage) {
    TestEnvironment env("vantor");
    ScriptedBoxes boxes;
    frmAutoWiz wizard;
    EXPECT_EQ(wizard.windowTitle(), "PathList Wizard");
    wizard.show();
    wizard.cmdNext->click();
    EXPECT_TRUE(wizard.isVisible());
    EXPECT_EQ(boxes.count(), 0);

    boxes.answer(platform::Answer::OK);
    wizard.optWiz[1]->setChecked(true);
    wizard.cmdNext->click();
    EXPECT_FALSE(wizard.isVisible());
    ASSERT_EQ(boxes.count(), 1);
    EXPECT_EQ(boxes.last().text, "Edit path list...");
    EXPECT_EQ(boxes.last().title, "vantor");

    boxes.answer(platform::Answer::OK);
    wizard.show();
    wizard.optWiz[0]->setChecked(true);
    wizard.cmdNext->click();
    EXPECT_FALSE(wizard.isVisible());
    ASSERT_EQ(boxes.count(), 2);
    EXPECT_EQ(boxes.last().text, "Scanning folders...");

    wizard.show();
    wizard.cmdCancel->click();
    EXPECT_FALSE(wizard.isVisible());
    EXPECT_EQ(boxes.count(), 2);
    EXPECT_EQ(env.endCalls(), 0);
}
