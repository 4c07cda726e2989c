#include "platform/FileVersionInfo.h"
#include "support/PeFile.h"
#include "support/TestEnvironment.h"

#include <gtest/gtest.h>

namespace {
QByteArray entry(const QByteArray& key, const QByteArray& value) {
    QByteArray b = key + '\0';
    while (b.size() % 4) b += '\0';
    return b + value + '\0';
}
}  // namespace

TEST(FileVersionInfo, StringEntriesComeAsKeyPaddedToFourThenValue) {
    TestEnvironment env;
    WriteBytes(env.path("tool.exe"), pefile::withVersion({{"CompanyName", "Tamsel"},
                                                          {"InternalName", "tool"},
                                                          {"OriginalFilename", "tool.exe"},
                                                          {"LegalCopyright", QString::fromUtf8("© Søren")}}));
    EXPECT_EQ(platform::GetFileVersionInfo(env.path("tool.exe")),
              entry("CompanyName", "Tamsel") + entry("InternalName", "tool") + entry("OriginalFilename", "tool.exe") +
                  entry("LegalCopyright", QString::fromUtf8("© Søren").toUtf8()));
}

TEST(FileVersionInfo, NothingFromOtherOrDamagedFiles) {
    TestEnvironment env;
    const QByteArray good = pefile::withVersion({{"ProductName", "Corvex"}});
    const std::vector<std::pair<const char*, QByteArray>> cases = {
        {"plain text", "MZ is how this text begins, but it is no program\n"},
        {"empty", {}},
        {"cut in the headers", good.left(0x90)},
        {"cut in the resource", good.left(0x230)},
        {"header pointing far away",
         [&] {
             QByteArray b = good;
             pefile::put32(b, 0x3C, 0x7ffffff0);
             return b;
         }()},
        {"resource length beyond the file",
         [&] {
             QByteArray b = good;
             pefile::put32(b, 0x200 + 0x4C, 0xfffffff0);
             return b;
         }()},
    };
    for (const auto& [what, bytes] : cases) {
        WriteBytes(env.path("f.bin"), bytes);
        EXPECT_TRUE(platform::GetFileVersionInfo(env.path("f.bin")).isEmpty()) << what;
    }
    EXPECT_TRUE(platform::GetFileVersionInfo(env.path("missing.exe")).isEmpty());
}
