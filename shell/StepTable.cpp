#include "shell/StepTable.h"

#include <array>

namespace {

struct Entry {
    const char* text;
    int32_t tip;
    int32_t nextTip;
};

constexpr int32_t NoTip = StepRow::NoTip;

// By state, 0 to 15.
constexpr std::array<Entry, 16> Table{{
    {"Please press Start.", 1, 2},
    {"Step 1: Choose a Background Scene.", 3, 0},
    {"Step 1: Choose another Background Scene or Click Next.", NoTip, 0},
    {"Step 2: Choose a Face.", 11, 0},
    {"Step 2: Choose another Face or Click Next.", NoTip, 0},
    {"Step 3: Select face, then click Next.", NoTip, 0},
    {"Step 3: Select face, then click Next.", 4, 0},
    {"Step 4: Outline face, then click Next.", NoTip, 0},
    {"Step 4: Outline face, then click Next.", 5, 0},
    {"Step 5: Place face, then click Next.", NoTip, 0},
    {"Step 5: Place face, then click Next.", 6, 0},
    {"Step 6: Choose accessories or Click Next.", NoTip, 0},
    {"Step 6: Choose accessories or Click Next.", 7, 8},
    {"Step 7: Choose a text bubble or Click Next.", NoTip, 0},
    {"Step 7: Choose another text bubble or Click Next.", 9, 0},
    {"Step 8: Finish your picture and email or export it!", 10, 0},
}};

} // namespace

StepRow StepRowFor(int32_t state)
{
    if (state < 0 || state >= static_cast<int32_t>(Table.size()))
        return {StepNumber(state), QString(), NoTip, 0};
    const Entry& entry = Table[static_cast<size_t>(state)];
    return {StepNumber(state), QString::fromLatin1(entry.text), entry.tip, entry.nextTip};
}
