#pragma once

#include <QImage>
#include <cstdint>

// The cursors: black shapes with a white rim on a transparent square, so that they show on any picture.
// Every hot spot is the middle (the resource table's), so each shape is centred there.
class CursorArt {
public:
    static QImage Draw(int32_t id, int32_t size);
};
