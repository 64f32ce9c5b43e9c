#pragma once

#include "engine/layers/PixelJournal.h"
#include "platform/Rect.h"

#include <QString>
#include <cstdint>
#include <memory>

class Document;
class Layer;

// The undo/redo log: one growing buffer of tagged records laid end to end. Appending a record performs
// it; Undo reverts the record (or the group between two marks) before the position, Redo performs the
// one after it again. Records hold deltas, so placement records stay small and a mask stroke keeps only
// the XOR of its old and new alpha over the stroke's rectangle.
//
// Every appender returns true when it appended its record. It appends nothing, changes nothing and
// returns false when a field would not fit its place in the record, when the layer it needs is missing,
// when the buffer cannot grow, or while the journal is already appending, undoing or redoing (performing
// a record can run nested ticks of the task list through a modal help tip).
class Journal final : public PixelJournal {
public:
    explicit Journal(Document* owner);
    ~Journal();
    Journal(const Journal&) = delete;
    Journal& operator=(const Journal&) = delete;

    bool AddMark();
    bool AddStep(int32_t step);
    bool AddSelectLayer(int32_t index);
    // The delta is taken modulo a full turn, as the angle itself is.
    bool AddRotate(int32_t delta);
    bool AddMove(float dx, float dy);
    bool AddScale(float dx, float dy);
    bool AddCrop(float topLeftX, float topLeftY, float bottomRightX, float bottomRightY, float moveX, float moveY);
    bool AddReorder(int32_t delta);
    // Not performed: the stroke is already on the layer. rect is inclusive; delta holds one byte a pixel
    // of the whole image, stride bytes a row.
    bool AddPixels(const Rect& rect, const uint8_t* delta, int32_t stride, int32_t layerIndex) override;
    bool AddNewScene(const QString& path, int32_t number);
    bool AddInsertLayer(const Rect& rect, const QString& path, const QString& name, int32_t number, int32_t type,
                        int32_t index);
    bool AddDeleteLayer(int32_t index);
    bool AddRemoveLayer(int32_t index);
    // Appends nothing (and answers false) when the text equals the selected layer's text.
    bool AddSetText(const QString& text);
    bool AddColor(int32_t red, int32_t green, int32_t blue, int32_t brightness, int32_t contrast);

    void Undo();
    void Redo();

    // The size of the record that starts at the position (forward) or ends there; 0 for none.
    int32_t RecordSize(bool forward) const;
    // The size of the well-formed record that starts at offset; 0 for none.
    int32_t RecordSizeAt(int32_t offset) const;
    // Perform or revert the record at offset; true only for a mark.
    bool ApplyForward(int32_t offset);
    bool ApplyBackward(int32_t offset);

    // Empties the log: a fresh buffer of InitialCapacity bytes, everything at 0, not busy.
    void Reset();
    // The document was saved, opened or made new at the current position.
    void MarkSaved() { savedPosition = position; }

    int32_t GetPosition() const { return position; }
    int32_t GetEnd() const { return end; }
    int32_t GetCapacity() const { return capacity; }
    int32_t GetSavedPosition() const { return savedPosition; }
    const uint8_t* GetData() const { return data.get(); }
    bool CanUndo() const { return position != 0; }
    bool CanRedo() const { return position != end; }
    // True while Undo runs: the help tips stay hidden then.
    bool IsBusy() const { return busy; }
    // False while an append, Undo or Redo is in progress; nothing can be appended then.
    bool IsIdle() const { return !m_running; }

    static constexpr int32_t InitialCapacity = 1024;
    // The modified flag follows the log only from this wizard state on.
    static constexpr int32_t ModifiedFromStep = 9;

private:
    friend class JournalOperation;

    // Room for n more bytes at the cursor, the buffer grown by doubling; null when refused.
    uint8_t* Reserve(int64_t n);
    // Ends an append of the record of size n just written at the cursor: performs it and updates the
    // positions, the modified flag and the views.
    bool Commit(uint8_t kind, int32_t n);
    bool AppendFixed(const uint8_t* record, int32_t n);
    bool AddMoveOrScale(uint8_t kind, float dx, float dy);
    bool AddLayerOut(uint8_t kind, int32_t index);
    bool Apply(int32_t offset, bool forward);
    void ApplyModifiedRule();
    void Redraw();
    // The start of the record that ends at offset, or -1 when there is none.
    int32_t RecordStartBefore(int32_t offset) const;
    Layer* SelectedLayer() const;

    Document* owner;
    std::unique_ptr<uint8_t[]> data;
    int32_t position = 0;
    int32_t cursor = 0;
    int32_t end = 0;
    int32_t capacity = 0;
    int32_t savedPosition = 0;
    bool busy = false;

    bool m_running = false;
    bool m_appending = false;  // a new record is being performed, not one redone or undone
};
