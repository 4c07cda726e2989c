#include "support/ScriptedBoxes.h"

#include <cstdio>
#include <cstdlib>

ScriptedBoxes::ScriptedBoxes() {
    platform::SetBoxResponder([this](const platform::BoxRequest& r) { return respond(r); });
}

ScriptedBoxes::~ScriptedBoxes() { platform::SetBoxResponder({}); }

ScriptedBoxes& ScriptedBoxes::answer(platform::Answer a) {
    m_queue.enqueue({a, {}});
    return *this;
}

ScriptedBoxes& ScriptedBoxes::reply(const QString& text) {
    m_queue.enqueue({text.isEmpty() ? platform::Answer::Cancel : platform::Answer::OK, text});
    return *this;
}

ScriptedBoxes& ScriptedBoxes::answerAllWith(platform::Answer a) {
    m_all = a;
    return *this;
}

platform::BoxReply ScriptedBoxes::respond(const platform::BoxRequest& req) {
    m_seen.append(req);
    if (req.kind == platform::BoxRequest::Kind::Message && m_all != platform::Answer::None && m_queue.isEmpty())
        return {m_all, {}};
    if (m_queue.isEmpty()) {
        std::fprintf(stderr, "FATAL: unanswered box\n  title: %s\n  text: %s\n", qPrintable(req.title),
                     qPrintable(req.text));
        std::fflush(stderr);
        std::abort();
    }
    return m_queue.dequeue();
}
