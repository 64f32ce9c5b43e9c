#include "support/JournalRecords.h"

#include "engine/document/Journal.h"

#include <gtest/gtest.h>

std::vector<int> RecordKinds(const Journal& journal, int32_t offset)
{
    std::vector<int> kinds;
    while (offset < journal.GetPosition()) {
        const int32_t size = journal.RecordSizeAt(offset);
        if (size == 0) {
            ADD_FAILURE() << "no well-formed record at " << offset;
            break;
        }
        kinds.push_back(journal.GetData()[offset]);
        offset += size;
    }
    return kinds;
}
