#include "engine/document/Journal.h"

#include "engine/document/Document.h"
#include "engine/document/JournalBytes.h"
#include "engine/document/JournalKind.h"
#include "engine/document/UpdateHint.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

using namespace journal_bytes;

// Marks the journal as running an operation (and, for Undo, busy) for its lifetime, so that nothing
// can append while a record is being performed or reverted.
class JournalOperation {
public:
    JournalOperation(Journal& journal, bool undo) : m_journal(journal), m_undo(undo)
    {
        m_journal.m_running = true;
        if (m_undo)
            m_journal.busy = true;
    }
    ~JournalOperation()
    {
        Finish();
        if (m_undo)
            m_journal.busy = false;
    }
    JournalOperation(const JournalOperation&) = delete;
    JournalOperation& operator=(const JournalOperation&) = delete;

    // The log is consistent again: views told of it may append. Undo stays busy until it returns.
    void Finish() { m_journal.m_running = false; }

private:
    Journal& m_journal;
    bool m_undo;
};

namespace {

int32_t FixedSize(uint8_t kind)
{
    switch (kind) {
    case JournalMark:
        return JournalMarkSize;
    case JournalStep:
        return JournalStepSize;
    case JournalSelectLayer:
        return JournalSelectLayerSize;
    case JournalRotate:
        return JournalRotateSize;
    case JournalMove:
        return JournalMoveSize;
    case JournalScale:
        return JournalScaleSize;
    case JournalCrop:
        return JournalCropSize;
    case JournalReorder:
        return JournalReorderSize;
    case JournalColor:
        return JournalColorSize;
    default:
        return 0;
    }
}

bool SendsRedraw(uint8_t kind)
{
    return (kind >= JournalStep && kind <= JournalReorder) || (kind >= JournalDeleteLayer && kind <= JournalColor);
}

} // namespace

Journal::Journal(Document* owner) : owner(owner)
{
    Reset();
}

Journal::~Journal() = default;

void Journal::Reset()
{
    data.reset(new (std::nothrow) uint8_t[InitialCapacity]);
    capacity = data ? InitialCapacity : 0;
    position = 0;
    cursor = 0;
    end = 0;
    savedPosition = 0;
    busy = false;
    m_running = false;
}

uint8_t* Journal::Reserve(int64_t n)
{
    if (m_running || n < JournalAlignment || n % JournalAlignment != 0)
        return nullptr;
    const int64_t needed = int64_t{cursor} + n;
    int64_t grown = std::max<int64_t>(capacity, InitialCapacity);
    while (needed >= grown)
        grown *= 2;
    if (grown > std::numeric_limits<int32_t>::max())
        return nullptr;
    if (grown != capacity || !data) {
        std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[static_cast<size_t>(grown)]);
        if (!buffer)
            return nullptr;
        if (data)
            std::memcpy(buffer.get(), data.get(), static_cast<size_t>(std::max(cursor, end)));
        data = std::move(buffer);
        capacity = static_cast<int32_t>(grown);
    }
    uint8_t* record = data.get() + cursor;
    std::memset(record, 0, static_cast<size_t>(n));
    return record;
}

bool Journal::Commit(uint8_t kind, int32_t n)
{
    const int32_t start = cursor;
    cursor += n;
    if (cursor <= savedPosition)
        savedPosition = -1;  // the saved state lay in the discarded redo part
    {
        JournalOperation operation(*this, false);
        if (kind != JournalMark && kind != JournalPixels) {
            m_appending = true;
            ApplyForward(start);
            m_appending = false;
        }
        position = cursor;
        end = cursor;
        ApplyModifiedRule();
    }
    if (SendsRedraw(kind))
        Redraw();
    return true;
}

bool Journal::AppendFixed(const uint8_t* record, int32_t n)
{
    uint8_t* out = Reserve(n);
    if (!out)
        return false;
    std::memcpy(out, record, static_cast<size_t>(n));
    return Commit(record[0], n);
}

void Journal::ApplyModifiedRule()
{
    const int32_t saved = savedPosition;
    owner->SetModifiedFlag(owner->step >= ModifiedFromStep && saved != position);
    savedPosition = saved;
}

void Journal::Redraw()
{
    owner->UpdateAllViews(nullptr, HintRedraw);
}

int32_t Journal::RecordSizeAt(int32_t offset) const
{
    const int32_t limit = std::max(end, cursor);
    if (!data || offset < 0 || offset >= limit)
        return 0;
    const uint8_t* record = data.get() + offset;
    const uint8_t kind = record[0];
    int32_t n = FixedSize(kind);
    if (kind == JournalPixels && limit - offset >= PixelsOverhead)
        n = GetI32(record + PixelsSizeFront);
    else if (kind >= JournalNewScene && kind <= JournalSetText && limit - offset >= ShortSizeFront + 2)
        n = GetU16(record + ShortSizeFront);
    if (n < JournalAlignment || n % JournalAlignment != 0 || n > limit - offset || record[n - 1] != kind)
        return 0;
    return n;
}

int32_t Journal::RecordStartBefore(int32_t offset) const
{
    if (!data || offset < JournalAlignment || offset > std::max(end, cursor))
        return -1;
    const uint8_t* after = data.get() + offset;
    const uint8_t kind = after[-1];
    int32_t n = FixedSize(kind);
    if (kind == JournalPixels && offset >= PixelsOverhead)
        n = GetI32(after - PixelsSizeBack);
    else if (kind >= JournalNewScene && kind <= JournalSetText)
        n = GetU16(after - ShortSizeBack);
    if (n < JournalAlignment || n % JournalAlignment != 0 || n > offset || after[-n] != kind)
        return -1;
    return offset - n;
}

int32_t Journal::RecordSize(bool forward) const
{
    if (forward)
        return position < end ? RecordSizeAt(position) : 0;
    const int32_t start = RecordStartBefore(position);
    return start < 0 ? 0 : position - start;
}

void Journal::Undo()
{
    if (position == 0 || m_running)
        return;
    JournalOperation operation(*this, true);
    int32_t start = RecordStartBefore(position);
    if (start >= 0) {
        position = start;
        cursor = start;
        // A mark closes a group: revert back to the mark that opened it, or to the start of the log.
        if (ApplyBackward(start)) {
            while ((start = RecordStartBefore(position)) >= 0) {
                position = start;
                cursor = start;
                const bool opening = ApplyBackward(start);
                Redraw();
                if (opening)
                    break;
            }
        }
    }
    ApplyModifiedRule();
    operation.Finish();
    Redraw();
}

void Journal::Redo()
{
    if (position == end || m_running)
        return;
    JournalOperation operation(*this, false);
    int32_t n = RecordSizeAt(position);
    if (n > 0) {
        const int32_t next = position + n;
        const bool opening = ApplyForward(position);
        position = next;
        cursor = next;
        // A mark opens a group: perform up to the mark that closes it, or to the end of the log.
        if (opening) {
            while (position < end && (n = RecordSizeAt(position)) > 0) {
                const int32_t after = position + n;
                const bool closing = ApplyForward(position);
                position = after;
                cursor = after;
                Redraw();
                if (closing)
                    break;
            }
        }
    }
    ApplyModifiedRule();
    operation.Finish();
    Redraw();
}
