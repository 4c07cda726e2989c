// Enter on a focused push or tool button presses it; elsewhere the key goes on to
// the window, whose default button keeps it.
#include "foundation/FocusedButtonEnter.h"
#include "foundation/ProgramSetup.h"

#include <gtest/gtest.h>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// A dialog with a line box, a default button and another button, a push
// button or a tool button.
QAbstractButton* otherButton(bool tool, QWidget* parent) {
    if (!tool) return new QPushButton(QStringLiteral("Other"), parent);
    auto* b = new QToolButton(parent);
    b->setText(QStringLiteral("Other"));
    b->setFocusPolicy(Qt::StrongFocus);
    return b;
}

struct Window {
    QDialog dialog;
    QLineEdit* box = new QLineEdit(&dialog);
    QPushButton* fallback = new QPushButton(QStringLiteral("Default"), &dialog);
    QAbstractButton* other;
    explicit Window(bool tool = false) : other(otherButton(tool, &dialog)) {
        auto* layout = new QVBoxLayout(&dialog);
        layout->addWidget(box);
        layout->addWidget(fallback);
        layout->addWidget(other);
        // As the program's windows have them: only the default button takes Enter by itself.
        fallback->setAutoDefault(false);
        if (auto* push = qobject_cast<QPushButton*>(other)) push->setAutoDefault(false);
        fallback->setDefault(true);
        dialog.show();
        dialog.activateWindow();
    }
};

// Return on the focused other button: which buttons it pressed.
struct Presses {
    int other;
    int fallback;
};
Presses returnOnTheOtherButton() {
    Window w;
    if (!QTest::qWaitForWindowActive(&w.dialog)) return {-1, -1};
    w.other->setFocus();
    QSignalSpy other(w.other, &QAbstractButton::clicked);
    QSignalSpy fallback(w.fallback, &QPushButton::clicked);
    QTest::keyClick(w.other, Qt::Key_Return);
    return {int(other.count()), int(fallback.count())};
}

}  // namespace

// Both programs' main start through SetUpProgram: it names the program and
// gives every window of it Enter on the focused button.
TEST(ProgramSetupTest, EachProgramStartsWithItsNameVersionAndEnterOnTheFocusedButton) {
    const QString testProgram = QCoreApplication::applicationName();
    for (const char* program : {"corvex", "vantor"}) {
        SCOPED_TRACE(program);
        // The application as before any start-up: nothing handles Enter yet.
        delete qApp->findChild<FocusedButtonEnter*>(QString(), Qt::FindDirectChildrenOnly);
        const Presses before = returnOnTheOtherButton();
        EXPECT_EQ(before.other, 0);
        EXPECT_EQ(before.fallback, 1);

        SetUpProgram(QString::fromLatin1(program));
        EXPECT_EQ(QCoreApplication::applicationName(), program);
        EXPECT_EQ(
            QCoreApplication::applicationVersion(),
            QStringLiteral("%1.%2.%3").arg(CORVEX_VERSION_MAJOR).arg(CORVEX_VERSION_MINOR).arg(CORVEX_VERSION_BUILD));
        const Presses after = returnOnTheOtherButton();
        EXPECT_EQ(after.other, 1);
        EXPECT_EQ(after.fallback, 0);
    }
    QCoreApplication::setApplicationName(testProgram);
}

TEST(FocusedButtonEnterTest, EnterPressesTheFocusedButtonAndElseTheDefaultOne) {
    FocusedButtonEnter::Install();  // a second install adds no second press
    const struct {
        const char* name;
        bool focusOther;  // else the line box has the focus
        bool toOther;     // the key is sent to the other button, else to the focus
        bool tool;        // the other button is a tool button
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        bool autoRepeat;
        int otherPresses;
        int defaultPresses;
    } cases[] = {
        {"Return on the button", true, true, false, Qt::Key_Return, Qt::NoModifier, false, 1, 0},
        {"keypad Enter on the button", true, true, false, Qt::Key_Enter, Qt::KeypadModifier, false, 1, 0},
        {"Return in the box: the default button", false, false, false, Qt::Key_Return, Qt::NoModifier, false, 0, 1},
        {"Shift+Return is no press", true, true, false, Qt::Key_Return, Qt::ShiftModifier, false, 0, 0},
        {"a held key presses once", true, true, false, Qt::Key_Return, Qt::NoModifier, true, 0, 0},
        {"Space still presses", true, true, false, Qt::Key_Space, Qt::NoModifier, false, 1, 0},
        {"Return on a tool button", true, true, true, Qt::Key_Return, Qt::NoModifier, false, 1, 0},
        {"keypad Enter on a tool button", true, true, true, Qt::Key_Enter, Qt::KeypadModifier, false, 1, 0},
        // A key sent from elsewhere, or passed on to a parent, is no press of that
        // button: it goes on to the window, whose default button takes it.
        {"Return sent to a button without the focus", false, true, false, Qt::Key_Return, Qt::NoModifier, false, 0, 1},
    };
    for (const auto& c : cases) {
        Window w(c.tool);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&w.dialog));
        QWidget* focus = c.focusOther ? static_cast<QWidget*>(w.other) : w.box;
        focus->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), focus) << c.name;
        QWidget* target = c.toOther ? static_cast<QWidget*>(w.other) : focus;
        QSignalSpy other(w.other, &QAbstractButton::clicked);
        QSignalSpy fallback(w.fallback, &QPushButton::clicked);
        if (c.autoRepeat) {
            QKeyEvent press(QEvent::KeyPress, c.key, c.modifiers, QString(), true);
            QApplication::sendEvent(target, &press);
        } else {
            QTest::keyClick(target, c.key, c.modifiers);
        }
        EXPECT_EQ(other.count(), c.otherPresses) << c.name;
        EXPECT_EQ(fallback.count(), c.defaultPresses) << c.name;
    }
}
