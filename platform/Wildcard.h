#pragma once
// File-name wildcards as a file search understands them: "*" matches any run
// of characters, "?" exactly one, and letters match without regard to case.
// A pattern ending in ".*" also matches names without a dot (so "*.*" matches
// every name), and a pattern ending in "." matches names without a dot by the
// part before that dot (so "*." matches exactly the names without a dot).
#include <QString>

namespace platform {

bool WildcardMatch(const QString& name, const QString& pattern);

// True when the pattern matches every name ("*" or "*.*"), so callers can skip
// the comparison.
bool WildcardMatchesAll(const QString& pattern);

}  // namespace platform
