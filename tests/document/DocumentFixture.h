#pragma once

#include "support/HintCounter.h"
#include "support/RecordingShell.h"
#include "support/ScopedAppPaths.h"

#include "engine/document/Document.h"
#include "engine/document/UpdateHint.h"
#include "engine/layers/Layer.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <cstdint>
#include <gtest/gtest.h>
#include <vector>

// Everything of a document that an edit can change, written out for exact comparison.
QString Describe(const Document& document);

// The bytes of the journal from offset on, n of them.
std::vector<uint8_t> JournalBytes(const Journal& journal, int32_t offset, int32_t n);
// The bytes of the record that ends at the journal's position.
std::vector<uint8_t> LastRecord(const Journal& journal);

// Writes a picture of the size, in the format its suffix names; colours vary over it. Pictures at least
// 1024 wide load at their own size.
void WritePicture(const QString& path, int width, int height);
// The same picture as a PNG scrambled the way ".bki" files are.
void WriteScrambledPicture(const QString& path, int width, int height);

// A document with temporary program and cache folders, a recording shell and a hint counter.
class DocumentTest : public ::testing::Test {
protected:
    // A layer named name with flags linked at the front end of the list, with the identity given but
    // without content: a speech bubble for the text flag, a picture layer otherwise.
    Layer* AddLayer(const QString& name, int32_t flags = LayerFlagsFace, int32_t kind = LayerKindOwnFile,
                    int32_t number = 0, const QString& path = QString(), int32_t tag = 0);
    // The path of a new 1024 x 8 picture file in the temporary folder.
    QString Picture(const QString& name);
    // Puts a speech bubble's metafile into the cache as content item number; answers its item name.
    QString Bubble(int32_t number);

    // Appending performs the record; Undo restores the state before it exactly and Redo the one after.
    template <typename Append>
    void ExpectUndoRedoRestores(Append append)
    {
        const QString before = Describe(document);
        ASSERT_TRUE(append());
        const QString after = Describe(document);
        EXPECT_NE(after, before);
        journal.Undo();
        EXPECT_EQ(Describe(document), before);
        journal.Redo();
        EXPECT_EQ(Describe(document), after);
        journal.Undo();
        EXPECT_EQ(Describe(document), before);
    }

    ScopedAppPaths paths;
    QTemporaryDir folder;

    std::vector<uint8_t> LastRecord() const { return ::LastRecord(document.journal); }

    RecordingShell shell;
    Document document;
    HintCounter hints{document};
    Journal& journal = document.journal;
};
