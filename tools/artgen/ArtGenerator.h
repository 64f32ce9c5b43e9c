#pragma once

#include "platform/ResourceTable.h"

#include <QByteArray>
#include <QImage>
#include <QString>

// Draws every picture of the resource table (platform/ResourceTable.h) and writes them, with the Qt
// resource collection that compiles them in, into one folder. Same program, same bytes: nothing
// depends on time, and the PNG files carry pixels only.
class ArtGenerator {
public:
    // The picture of one table entry, at its size and depth (an 8-bit picture as Format_Indexed8).
    static QImage Draw(const platform::PictureResource& picture);
    // Its PNG file's bytes.
    static QByteArray Encode(const platform::PictureResource& picture);
    // The resource collection (.qrc) listing every file under the table's prefix.
    static QByteArray Collection();

    static constexpr const char* CollectionFileName = "art.qrc";

    // Writes every picture and the collection into folder; false with ErrorText on a failure.
    bool Run(const QString& folder);
    const QString& ErrorText() const { return m_error; }

private:
    QString m_error;
};
