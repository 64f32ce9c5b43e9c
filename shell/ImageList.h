#pragma once

#include <QImage>
#include <QPixmap>
#include <cstdint>
#include <memory>
#include <vector>

// One of the tool bar's strips of pictures: a bitmap resource cut into square pictures side by side, with
// its key colour (platform::ResourceId::ToolBarKeyColour) made transparent.
class ImageList {
public:
    ImageList() = default;
    ImageList(const ImageList&) = delete;
    ImageList& operator=(const ImageList&) = delete;

    // Loads bitmap bitmapId and cuts it into pictures of PictureSize x PictureSize, left to right. A
    // missing bitmap, or one without a whole picture, leaves the list empty and answers false.
    bool Create(int32_t bitmapId);

    int32_t Count() const { return static_cast<int32_t>(m_pictures.size()); }
    // Picture i with transparency; a null pixmap for an index out of range.
    QPixmap Picture(int32_t i) const;
    // The strip as loaded, key colour and all; null when there is none.
    const QImage* Bitmap() const { return m_bitmap.get(); }

    static constexpr int32_t PictureSize = 32;

private:
    void Clear();

    std::unique_ptr<QImage> m_bitmap;
    std::vector<QPixmap> m_pictures;
};
