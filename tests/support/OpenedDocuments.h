#pragma once
// Records every program or document the code opens instead of opening it.
#include "platform/Process.h"

#include <QStringList>

struct OpenedDocuments {
    QStringList opened;
    int result = platform::OpenResult::Started;  // what each open reports
    OpenedDocuments() {
        platform::SetOpenDocumentHandler([this](const QString& f) {
            opened << f;
            return result;
        });
    }
    ~OpenedDocuments() { platform::SetOpenDocumentHandler({}); }
    OpenedDocuments(const OpenedDocuments&) = delete;
    OpenedDocuments& operator=(const OpenedDocuments&) = delete;
};
