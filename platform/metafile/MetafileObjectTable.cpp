#include "platform/metafile/MetafileObjectTable.h"

#include "platform/metafile/MetafileTextFonts.h"

#include <uemf.h>

#include <array>

namespace platform {
namespace {

// Stock indices past the library's list: the device context's own brush and pen.
constexpr uint32_t kDcBrush = U_STOCK_OBJECT | 18;
constexpr uint32_t kDcPen = U_STOCK_OBJECT | 19;

MetafileObject Stock(MetafileObject::Kind kind, uint32_t style, QRgb colour)
{
    MetafileObject object;
    object.kind = kind;
    object.style = style;
    object.colour = colour;
    return object;
}

MetafileObject StockBrush(uint32_t style, QRgb colour) { return Stock(MetafileObject::Kind::Brush, style, colour); }
MetafileObject StockPen(uint32_t style, QRgb colour) { return Stock(MetafileObject::Kind::Pen, style, colour); }

// Stock objects by their index without the high bit: the brushes, the pens, and the fonts and the
// palette (kept as objects that change nothing when selected). The DC brush and pen start white and
// black, and no record changes them.
const std::vector<MetafileObject>& StockObjects()
{
    static const std::vector<MetafileObject> objects = [] {
        const QRgb white = qRgb(255, 255, 255);
        const QRgb black = qRgb(0, 0, 0);
        std::vector<MetafileObject> list(kDcPen - U_STOCK_OBJECT + 1);
        list[U_WHITE_BRUSH - U_STOCK_OBJECT] = StockBrush(U_BS_SOLID, white);
        list[U_LTGRAY_BRUSH - U_STOCK_OBJECT] = StockBrush(U_BS_SOLID, qRgb(0xC0, 0xC0, 0xC0));
        list[U_GRAY_BRUSH - U_STOCK_OBJECT] = StockBrush(U_BS_SOLID, qRgb(0x80, 0x80, 0x80));
        list[U_DKGRAY_BRUSH - U_STOCK_OBJECT] = StockBrush(U_BS_SOLID, qRgb(0x40, 0x40, 0x40));
        list[U_BLACK_BRUSH - U_STOCK_OBJECT] = StockBrush(U_BS_SOLID, black);
        list[U_NULL_BRUSH - U_STOCK_OBJECT] = StockBrush(U_BS_NULL, black);
        list[U_WHITE_PEN - U_STOCK_OBJECT] = StockPen(U_PS_SOLID, white);
        list[U_BLACK_PEN - U_STOCK_OBJECT] = StockPen(U_PS_SOLID, black);
        list[U_NULL_PEN - U_STOCK_OBJECT] = StockPen(U_PS_NULL, black);
        list[kDcBrush - U_STOCK_OBJECT] = StockBrush(U_BS_SOLID, white);
        list[kDcPen - U_STOCK_OBJECT] = StockPen(U_PS_SOLID, black);
        // Text: the stock fonts.
        for (uint32_t i = 0; i < list.size(); ++i) {
            if (auto font = MetafileTextFonts::StockFont(U_STOCK_OBJECT | i)) {
                list[i].kind = MetafileObject::Kind::Font;
                list[i].font = std::move(font);
            }
        }
        return list;
    }();
    return objects;
}

} // namespace

MetafileObjectTable::MetafileObjectTable(uint16_t slotCount)
    : m_slots(slotCount)
{
}

void MetafileObjectTable::Create(uint32_t index, MetafileObject object)
{
    if (index < m_slots.size())
        m_slots[index] = std::move(object);
}

void MetafileObjectTable::Delete(uint32_t index)
{
    if (index < m_slots.size())
        m_slots[index].reset();
}

const MetafileObject* MetafileObjectTable::Find(uint32_t index) const
{
    if ((index & U_STOCK_OBJECT) != 0) {
        const uint32_t stock = index & ~uint32_t(U_STOCK_OBJECT);
        return stock < StockObjects().size() ? &StockObjects()[stock] : nullptr;
    }
    if (index < m_slots.size() && m_slots[index])
        return &*m_slots[index];
    return nullptr;
}

const MetafileObject& MetafileObjectTable::DefaultPen()
{
    return StockObjects()[U_BLACK_PEN - U_STOCK_OBJECT];
}

const MetafileObject& MetafileObjectTable::DefaultBrush()
{
    return StockObjects()[U_WHITE_BRUSH - U_STOCK_OBJECT];
}

} // namespace platform
