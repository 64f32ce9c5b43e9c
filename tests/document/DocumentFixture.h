#pragma once

#include "../layers/RecordingShell.h"
#include "../layers/TestLayer.h"

#include "engine/document/Document.h"
#include "engine/document/UpdateHint.h"
#include "engine/layers/Layer.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

// Counts the document's redraw hints while it is registered, and runs an action on each if given.
class HintCounter final : public DocumentObserver {
public:
    explicit HintCounter(Document& document) : m_document(document) { m_document.AddView(this); }
    ~HintCounter() { m_document.RemoveView(this); }
    HintCounter(const HintCounter&) = delete;
    HintCounter& operator=(const HintCounter&) = delete;

    void OnUpdate(DocumentObserver*, int32_t hint, const Rect*) override
    {
        if (hint == HintRedraw)
            ++redraws;
        if (onUpdate)
            onUpdate();
    }

    int redraws = 0;
    std::function<void()> onUpdate;

private:
    Document& m_document;
};

// Everything of a document that an edit can change, written out for exact comparison.
QString Describe(const Document& document);

// The bytes of the journal from offset on, n of them.
std::vector<uint8_t> JournalBytes(const Journal& journal, int32_t offset, int32_t n);
// The bytes of the record that ends at the journal's position.
std::vector<uint8_t> LastRecord(const Journal& journal);

// A document with a recording shell and a hint counter.
class DocumentTest : public ::testing::Test {
protected:
    // A layer named name with flags linked at the front end of the list.
    Layer* AddLayer(const QString& name, int32_t flags = LayerFlagsFace, int32_t kind = LayerKindOwnFile,
                    int32_t number = 0, const QString& path = QString(), int32_t tag = 0);

    std::vector<uint8_t> LastRecord() const { return ::LastRecord(document.journal); }

    RecordingShell shell;
    Document document;
    HintCounter hints{document};
    Journal& journal = document.journal;
};
