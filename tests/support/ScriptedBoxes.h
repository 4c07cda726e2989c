#pragma once
// Answers message boxes, input boxes and folder dialogs from a queue and
// records every request. A box that nothing in the queue answers aborts the
// test run at once (it would otherwise wait for a click forever).
#include "platform/Dialogs.h"

#include <QList>
#include <QQueue>

class ScriptedBoxes {
public:
    ScriptedBoxes();
    ~ScriptedBoxes();
    ScriptedBoxes(const ScriptedBoxes&) = delete;
    ScriptedBoxes& operator=(const ScriptedBoxes&) = delete;

    // Queue the answer for the next message box.
    ScriptedBoxes& answer(platform::Answer a);
    // Queue the reply for the next input box or folder dialog ("" = Cancel).
    ScriptedBoxes& reply(const QString& text);
    // Answer every message box with a; input boxes and folder dialogs are still scripted.
    ScriptedBoxes& answerAllWith(platform::Answer a);

    const QList<platform::BoxRequest>& seen() const { return m_seen; }
    int count() const { return int(m_seen.size()); }
    const platform::BoxRequest& last() const { return m_seen.last(); }
    int pending() const { return int(m_queue.size()); }

private:
    platform::BoxReply respond(const platform::BoxRequest& req);

    QList<platform::BoxRequest> m_seen;
    QQueue<platform::BoxReply> m_queue;
    platform::Answer m_all = platform::Answer::None;
};
