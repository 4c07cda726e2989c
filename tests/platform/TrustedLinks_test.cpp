// The link rule of a run as root: links root does not own are refused on
// every path reached by name; root's own links are followed, and an
// ordinary user follows every link.
#include "platform/TrustedLinks.h"
#include "support/AsOrdinaryUser.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace {

constexpr uid_t kOtherUser = 4242;

QByteArray encoded(const QString& path) { return QFile::encodeName(path); }

void makeLink(const QString& target, const QString& link, uid_t owner) {
    ASSERT_EQ(::symlink(encoded(target).constData(), encoded(link).constData()), 0);
    ASSERT_EQ(::lchown(encoded(link).constData(), owner, owner), 0);
}

class TrustedLinksTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (::geteuid() != 0) GTEST_SKIP() << "needs root: the rule refuses links only for a run as root";
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir().mkpath(dir.path() + "/real/inner"));
        QFile file(dir.path() + "/real/inner/file");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        // The folder and everything in it may be reached by the ordinary user.
        ::chmod(encoded(dir.path()).constData(), 0755);
    }
    QString path(const char* relative) const { return dir.path() + '/' + relative; }
    QTemporaryDir dir;
};

}  // namespace

TEST_F(TrustedLinksTest, RootFollowsOnlyItsOwnLinksAnywhereOnThePath) {
    const struct {
        const char* name;
        uid_t owner;
        const char* reached;  // the path reached, below the test folder
        bool followed;
    } cases[] = {
        {"root's link as the folder", 0, "link", true},
        {"root's link on the way", 0, "link/inner/file", true},
        {"another user's link as the folder", kOtherUser, "link", false},
        {"another user's link on the way", kOtherUser, "link/inner/file", false},
        {"another user's link through dots", kOtherUser, "real/../link/./inner", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QFile::remove(path("link"));
        makeLink(path("real"), path("link"), c.owner);
        QString resolved;
        QString why;
        EXPECT_EQ(platform::ResolveTrustedPath(path(c.reached), true, resolved, &why), c.followed);
        const int fd = platform::OpenTrustedPath(path(c.reached), O_RDONLY, &why);
        EXPECT_EQ(fd >= 0, c.followed);
        if (fd >= 0) ::close(fd);
        if (c.followed) {
            EXPECT_TRUE(resolved.startsWith(path("real"))) << resolved.toStdString();
        } else {
            // The refusal names the link and its owner.
            EXPECT_EQ(why, path("link") + " is a link owned by " + QString::number(kOtherUser));
        }
    }
}

TEST_F(TrustedLinksTest, AnOrdinaryUserFollowsEveryLink) {
    makeLink(path("real"), path("link"), kOtherUser);
    const QString reached = path("link/inner/file");
    EXPECT_EQ(ExitStatusAs(kOtherUser + 1, kOtherUser + 1,
                           [&] {
                               QString resolved;
                               const int fd = platform::OpenTrustedPath(reached, O_RDONLY, nullptr);
                               return platform::ResolveTrustedPath(reached, true, resolved, nullptr) && fd >= 0 ? 0 : 1;
                           }),
              0);
}

TEST_F(TrustedLinksTest, TheLastLinkStaysWhenItIsNotToBeFollowed) {
    makeLink(path("real/inner/file"), path("real/settings"), kOtherUser);
    QString resolved;
    ASSERT_TRUE(platform::ResolveTrustedPath(path("real/settings"), false, resolved, nullptr));
    EXPECT_EQ(resolved, path("real/settings"));
    // Opened without following its last component, the link is refused.
    EXPECT_LT(platform::OpenTrustedPath(path("real/settings"), O_RDONLY | O_NOFOLLOW, nullptr), 0);
}

TEST_F(TrustedLinksTest, MissingLevelsAreKeptAsWritten) {
    QString resolved;
    ASSERT_TRUE(platform::ResolveTrustedPath(path("real/new/../newer/file"), true, resolved, nullptr));
    EXPECT_EQ(resolved, path("real/newer/file"));
}
