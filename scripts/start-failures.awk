# Reads ctest's Testing/Temporary/LastTest.log and prints the failed tests
# that never started: no output at all, and ended within a second.
/^[0-9]+\/[0-9]+ Test: / {
    name = $0
    sub(/^[0-9]+\/[0-9]+ Test: /, "", name)
    lines = -1
    seconds = 0
    next
}
/^Output:$/ { reading = 1; lines = -1; next }
/^<end of output>$/ { reading = 0; next }
reading { lines++; next }  # the first line is the rule under "Output:"
/^Test time = / { seconds = $4 + 0; next }
/^Test Failed\.$/ { if (lines <= 0 && seconds < 1) print name }
