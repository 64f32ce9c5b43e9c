#include "engine/layers/Layer.h"

#include "engine/document/Document.h"
#include "engine/layers/LayerGeometry.h"
#include "platform/ArchiveWriter.h"

#include <algorithm>

Layer::Layer(int32_t flags, int32_t tag) : flags(flags), tag(tag) {}

Layer::~Layer() = default;

void Layer::Draw(platform::DeviceContext&, const Rect&, const Rect&, int32_t) {}

void Layer::OnSelect() {}

void Layer::OnDeselect() {}

uint8_t* Layer::BeginEdit()
{
    dirty = EmptyRect;
    return nullptr;
}

bool Layer::EndEdit(PixelJournal&, int32_t)
{
    return false;
}

void Layer::AddDirty(const Rect& r)
{
    dirty.left = std::min(dirty.left, r.left);
    dirty.top = std::min(dirty.top, r.top);
    dirty.right = std::max(dirty.right, r.right);
    dirty.bottom = std::max(dirty.bottom, r.bottom);
}

void Layer::RestorePixels(const uint8_t*, const Rect&) {}

Image* Layer::GetImage()
{
    return nullptr;
}

Image* Layer::GetSourceImage()
{
    return nullptr;
}

bool Layer::Store(platform::ArchiveWriter& archive)
{
    archive.WriteI32(flags);
    archive.WriteI32(tag);
    LayerInfo::Store(archive);
    return true;
}

void Layer::SetText(const QString&) {}

QString Layer::GetText() const
{
    return QString();
}

void Layer::ApplyColor() {}

void Layer::FitToBackground()
{
    PointF reference{0.0f, 0.0f};
    if (name.compare(QLatin1String("Background"), Qt::CaseInsensitive) == 0)
        reference = size;
    else if (g_document && g_document->scene)
        reference = g_document->scene->size;

    if (flags & LayerFlagMove) {
        const PointF extent = GetCropExtent();
        const float shownHeight = size.y * extent.y;
        const float shownWidth = size.x * extent.x;
        // A layer without a visible extent keeps its scale rather than taking an infinite one.
        if (shownHeight != 0.0f && shownWidth != 0.0f) {
            const float k = 0.5f * std::min(reference.y / shownHeight, reference.x / shownWidth);
            scale = {k, k};
        }
    }
    position = {reference.x * 0.5f, reference.y * 0.5f};
}
