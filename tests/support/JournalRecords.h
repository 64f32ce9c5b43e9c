#pragma once

#include <cstdint>
#include <vector>

class Journal;

// The kinds of the journal's records from offset up to its position, walked by the journal's own record
// sizes; a record it cannot size fails the test and ends the list.
std::vector<int> RecordKinds(const Journal& journal, int32_t offset = 0);
