#pragma once
// Lets a test act on a modal window once it is on screen: the hook runs inside
// the window's modal loop, so it can press the window's own buttons. Unset,
// nothing happens. One hook per window class.
#include <QTimer>
#include <functional>

template <class Form>
class ShownHook {
public:
    static void Set(std::function<void(Form&)> hook) { s_hook = std::move(hook); }

    // Called by the form when it is shown; the hook runs once per form, as
    // soon as the modal loop turns.
    static void Schedule(Form& form, bool& alreadyRun) {
        if (!s_hook || alreadyRun) return;
        alreadyRun = true;
        QTimer::singleShot(0, &form, [f = &form] {
            if (s_hook) s_hook(*f);
        });
    }

private:
    static inline std::function<void(Form&)> s_hook;
};
