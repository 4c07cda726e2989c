# Reads ctest's Testing/Temporary/LastTest.log and lists the tests that were
# skipped, each with the reason it printed, then how many there were.
# GoogleTest prints "<file>:<line>: Skipped", the reason, and then
# "[  SKIPPED ] <name> (<n> ms)" for each skipped test.
# An end-to-end script that skips prints "SKIP: <reason>" and ends with 77.
/^[0-9]+\/[0-9]+ Testing: / { current = $3 }
/^SKIP: / { print "  skipped: " current " - " substr($0, 7); ++count; next }
/: Skipped$/ { reading = 1; why = ""; next }
/^\[  SKIPPED \] [^ ]+ \([0-9]+ ms\)$/ {
    print "  skipped: " $4 (why == "" ? " (no reason given)" : " - " why)
    ++count
    reading = 0
    why = ""
    next
}
reading { why = why == "" ? $0 : why " " $0 }
END { print "tests skipped: " count + 0 }
