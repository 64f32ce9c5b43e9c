#pragma once

#include "tools/contentgen/CatalogWriter.h"
#include "tools/contentgen/ContentWriter.h"

#include <QString>
#include <map>

// Builds the sample content library: the server's tree (three index files, scenes with their
// backgrounds, faces, accessories, speech bubbles, every item's thumbnail, and the program's web site:
// its home page and help page with their pictures) and the program folder's resource files. Same inputs,
// same bytes.
class ContentGenerator {
public:
    struct Options {
        QString input;          // the real photos and metafiles the library is made from
        QString tree;           // the content server's tree
        QString programFolder;  // where welcome.bki, paint.bki and erase.bki go
        QString baseUrl;        // the server's base address, which scene and face names carry
    };

    struct Summary {
        int scenes = 0;
        int faces = 0;
        int accessories = 0;
        int bubbles = 0;
        int thumbnails = 0;
        int pages = 0;
        int files = 0;
        qint64 bytes = 0;
    };

    explicit ContentGenerator(Options options);

    bool Run();

    const QString& ErrorText() const { return m_error; }
    const Summary& Counts() const { return m_summary; }
    // What each index file written says, by its name ("EncList.txt", "ThumbsA.txt", "ThumbsB.txt").
    const std::map<QString, CatalogWriter::Listing>& Indexes() const { return m_indexes; }

private:
    bool Fail(const QString& error);
    bool WriteSceneIndex();
    bool WriteAccessoryIndex();
    bool WriteBubbleIndex();
    bool WriteResources();
    bool WriteSite();
    // Writes the index when every item was written and listed, else keeps the first error.
    bool WriteIndex(const QString& name, CatalogWriter& catalog, bool listed);
    QString ItemAddress(int number) const;
    bool LoadPicture(const QString& name, QImage& picture);

    Options m_options;
    ContentWriter m_tree;
    ContentWriter m_program;
    Summary m_summary;
    std::map<QString, CatalogWriter::Listing> m_indexes;
    QString m_error;
};
