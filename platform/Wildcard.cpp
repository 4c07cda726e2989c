#include "platform/Wildcard.h"

namespace platform {
namespace {

bool sameLetter(QChar a, QChar b) { return a == b || a.toCaseFolded() == b.toCaseFolded(); }

// Plain "*" and "?" matching over the whole name. Backtracks only to the most
// recent "*", which is enough for these two wildcards and keeps it linear in
// practice.
bool plainMatch(QStringView name, QStringView pattern) {
    qsizetype n = 0, p = 0;
    qsizetype starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == u'?' || sameLetter(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

}  // namespace

bool WildcardMatchesAll(const QString& pattern) {
    return pattern == QLatin1String("*") || pattern == QLatin1String("*.*");
}

bool WildcardMatch(const QString& name, const QString& pattern) {
    if (WildcardMatchesAll(pattern)) return true;
    if (plainMatch(name, pattern)) return true;
    if (name.contains(u'.')) return false;
    // Names without a dot have an empty extension: "x.*" and "x." match them by "x".
    if (pattern.endsWith(QLatin1String(".*")) && pattern.size() > 2)
        return plainMatch(name, QStringView(pattern).chopped(2));
    if (pattern.endsWith(u'.') && pattern.size() > 1) return plainMatch(name, QStringView(pattern).chopped(1));
    return false;
}

}  // namespace platform
