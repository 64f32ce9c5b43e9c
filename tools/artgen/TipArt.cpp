#include "tools/artgen/TipArt.h"

#include "tools/artgen/ArtKit.h"
#include "tools/artgen/Glyphs.h"
#include "tools/artgen/PanelArt.h"
#include "tools/contentgen/AccessoryArt.h"
#include "tools/contentgen/BubbleShape.h"
#include "tools/contentgen/FaceArt.h"
#include "tools/contentgen/SceneArt.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

namespace {

using Glyph = Glyphs::Glyph;

const QColor Paper(255, 250, 232);
const QColor HeadingInk(200, 85, 10);
const QColor TextInk(50, 45, 40);
const QColor Frame(150, 150, 150);
const QColor Face(240, 240, 240);  // the face colour of mock windows and buttons

// The illustration's square on the left and the text on the right, inside the safe area.
const QRectF Art(14, 58, 170, 170);
const QRect Heading(200, 60, 228, 30);
const QRect Body(200, 96, 228, 150);

struct TipText {
    const char* heading;
    const char* body;
};

constexpr TipText Texts[TipArt::TipCount] = {
    {"Help tips", "A tip like this one comes before each step. If you switch them off, you can switch them on "
                  "again from the Help menu."},
    {"Next Step", "Press the Next Step button at the top left to go on to the next step."},
    {"Choose a scene", "Choose a background scene from the list on the right, or load one from your computer. "
                       "Then press Next Step."},
    {"Select the face", "Move and resize the selection box so that it encloses the face."},
    {"Outline the face", "Draw an outline around the face. Made a slip? The Undo and Redo buttons take it back."},
    {"Place the face", "Scale, rotate and move the face onto the scene; paint and erase its edges. Magic Erase "
                       "removes the faces of library scenes."},
    {"Accessories", "Choose accessories from the list on the right. Move, scale, rotate and flip them to fit."},
    {"Layers", "Put accessories in front of or behind each other, or delete them, with the Up, Down and Delete "
               "buttons of the layers panel."},
    {"Speech bubbles", "Choose a speech bubble and change its words with the Edit Text button. Move, rotate and "
                       "resize it as you like."},
    {"Finished!", "Your picture is ready. Save it from the File menu, or keep fine-tuning it."},
    {"Choose a face", "Choose a face photo from your computer or from the list on the right. Then press Next "
                      "Step."},
};

using ArtKit::Font;

// A mock window or button: light face, grey frame.
void Panel(QPainter& p, const QRectF& rect, const QColor& fill = Face)
{
    p.setPen(QPen(Frame, 1));
    p.setBrush(fill);
    p.drawRect(rect);
}

void Label(QPainter& p, const QRectF& rect, const QString& text, int pixelSize = 12, int flags = Qt::AlignCenter)
{
    p.setPen(TextInk);
    p.setFont(Font(pixelSize));
    p.drawText(rect, flags, text);
}

// The arrow pointer of the mouse, its tip at tip.
void Pointer(QPainter& p, QPointF tip)
{
    QPolygonF arrow{{{0, 0}, {0, 17}, {4, 13}, {7, 20}, {10, 19}, {7, 12}, {12, 12}}};
    arrow.translate(tip);
    p.setPen(QPen(Qt::black, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPolygon(arrow);
}

void DrawPicture(QPainter& p, const QRectF& target, const QImage& picture)
{
    p.drawImage(target, picture);
}

QImage SmileyFace()
{
    return FaceArt::Draw(FaceArt::Cartoon::Smiley);
}

// The face's own square within a face picture (the middle half).
QRectF FaceSquare(const QRectF& picture)
{
    return picture.adjusted(picture.width() / 4, picture.height() / 4, -picture.width() / 4,
                            -picture.height() / 4);
}

void DashedBox(QPainter& p, const QRectF& box, const QColor& colour, bool handles)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 3));
    p.drawRect(box);
    QPen dashes(colour, 2, Qt::CustomDashLine);
    dashes.setDashPattern({3.0, 2.0});
    p.setPen(dashes);
    p.drawRect(box);
    if (!handles)
        return;
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::white);
    for (const QPointF corner : {box.topLeft(), box.topRight(), box.bottomLeft(), box.bottomRight()})
        p.drawRect(QRectF(corner - QPointF(3.5, 3.5), QSizeF(7, 7)));
}

void HelpMenu(QPainter& p)
{
    Panel(p, QRectF(Art.left(), Art.top() + 20, 170, 24));
    Label(p, QRectF(Art.left() + 6, Art.top() + 20, 60, 24), QStringLiteral("File"), 13, Qt::AlignVCenter);
    p.fillRect(QRectF(Art.left() + 104, Art.top() + 21, 46, 23), QColor(200, 220, 250));
    Label(p, QRectF(Art.left() + 104, Art.top() + 20, 46, 24), QStringLiteral("Help"), 13);
    Panel(p, QRectF(Art.left() + 40, Art.top() + 44, 128, 76), Qt::white);
    p.fillRect(QRectF(Art.left() + 41, Art.top() + 45, 126, 24), QColor(200, 220, 250));
    p.setPen(QPen(TextInk, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF{{{Art.left() + 47, Art.top() + 57}, {Art.left() + 51, Art.top() + 61},
                              {Art.left() + 58, Art.top() + 51}}});
    Label(p, QRectF(Art.left() + 62, Art.top() + 45, 104, 24), QStringLiteral("Enable Help Tips"), 11,
          Qt::AlignVCenter);
    Label(p, QRectF(Art.left() + 62, Art.top() + 70, 104, 24), QStringLiteral("Online Help"), 11, Qt::AlignVCenter);
    Label(p, QRectF(Art.left() + 62, Art.top() + 94, 104, 24), QStringLiteral("About"), 11, Qt::AlignVCenter);
    Pointer(p, {Art.left() + 120, Art.top() + 58});
}

void NextStepButton(QPainter& p)
{
    Panel(p, QRectF(Art.left() + 40, Art.top(), 70, 170));
    const Glyph column[] = {Glyph::NextStep, Glyph::Undo, Glyph::Redo};
    for (int i = 0; i < 3; ++i)
        Glyphs::Draw(p, column[i], QRectF(Art.left() + 51, Art.top() + 8 + i * 54, 48, 48));
    p.setPen(QPen(HeadingInk, 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(Art.left() + 46, Art.top() + 4, 58, 56), 6, 6);
    Pointer(p, {Art.left() + 88, Art.top() + 40});
}

void SceneList(QPainter& p)
{
    Panel(p, QRectF(Art.left() + 10, Art.top(), 150, 170), Qt::white);
    Panel(p, QRectF(Art.left() + 14, Art.top() + 4, 142, 24));
    Label(p, QRectF(Art.left() + 14, Art.top() + 4, 142, 24), QStringLiteral("Load scene from PC..."), 11);
    Label(p, QRectF(Art.left() + 20, Art.top() + 32, 130, 18), QStringLiteral("Scenes"), 12, Qt::AlignVCenter);
    const QRectF thumb(Art.left() + 30, Art.top() + 56, 110, 82);
    DrawPicture(p, thumb, SceneArt::Beach({220, 164}));
    p.setPen(QPen(QColor(255, 0, 0), 3));
    p.setBrush(Qt::NoBrush);
    p.drawRect(thumb.adjusted(1.5, 1.5, -1.5, -1.5));
    Label(p, QRectF(Art.left() + 30, Art.top() + 140, 110, 18), QStringLiteral("Beach"), 11);
    Pointer(p, {Art.left() + 100, Art.top() + 100});
}

void SelectFace(QPainter& p)
{
    const QRectF picture = Art.adjusted(5, 5, -5, -5);
    DrawPicture(p, picture, SmileyFace());
    DashedBox(p, FaceSquare(picture).adjusted(-12, -12, 12, 12), Qt::black, true);
    Glyphs::Draw(p, Glyph::MoveResize, QRectF(Art.right() - 36, Art.bottom() - 36, 36, 36));
}

void OutlineFace(QPainter& p)
{
    const QRectF picture = Art.adjusted(5, 5, -5, -5);
    DrawPicture(p, picture, SmileyFace());
    const QRectF face = FaceSquare(picture);
    QPen outline(QColor(255, 255, 255), 2.5, Qt::CustomDashLine);
    outline.setDashPattern({2.0, 1.5});
    p.setPen(outline);
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(face.center(), face.width() * 0.6, face.height() * 0.64);
    QPen dark(Qt::black, 1.5, Qt::CustomDashLine);
    dark.setDashPattern({3.0, 2.0});
    p.setPen(dark);
    p.drawEllipse(face.center(), face.width() * 0.6, face.height() * 0.64);
    Glyphs::Draw(p, Glyph::Undo, QRectF(Art.left(), Art.bottom() - 34, 34, 34));
    Glyphs::Draw(p, Glyph::Redo, QRectF(Art.left() + 36, Art.bottom() - 34, 34, 34));
}

void GlyphRow(QPainter& p, std::initializer_list<Glyph> glyphs, double top)
{
    const double size = 32;
    double x = Art.center().x() - glyphs.size() * (size + 2) / 2;
    for (const Glyph glyph : glyphs) {
        Glyphs::Draw(p, glyph, QRectF(x, top, size, size));
        x += size + 2;
    }
}

void PlaceFace(QPainter& p)
{
    const QRectF scene(Art.left() + 5, Art.top(), 160, 128);
    DrawPicture(p, scene, SceneArt::Beach({320, 256}));
    p.save();
    p.setClipRect(scene);
    SceneArt::DrawBody(p, SceneArt::Body::SuitAndTie, {scene.center().x(), scene.top() + 72}, 0.3);
    p.restore();
    Glyphs::Smiley(p, {scene.center().x(), scene.top() + 52}, 21);
    DashedBox(p, QRectF(scene.center().x() - 25, scene.top() + 27, 50, 50), Qt::black, true);
    GlyphRow(p, {Glyph::MoveResize, Glyph::Rotate, Glyph::Paint, Glyph::Erase, Glyph::MagicErase}, Art.bottom() - 34);
}

void Accessories(QPainter& p)
{
    const QPointF centre(Art.left() + 68, Art.top() + 118);
    const double radius = 46;
    Glyphs::Smiley(p, centre, radius);
    // The hat sits on the head, a little turned; its brim is the bottom of its picture.
    const QImage hat = AccessoryArt::Draw(AccessoryArt::Kind::PartyHat);
    p.save();
    p.translate(centre.x() + 10, centre.y() - radius + 16);
    p.rotate(14);
    DrawPicture(p, QRectF(-38, -102, 76, 102), hat);
    p.restore();
    const Glyph column[] = {Glyph::MoveResize, Glyph::Rotate, Glyph::Flip};
    for (int i = 0; i < 3; ++i)
        Glyphs::Draw(p, column[i], QRectF(Art.right() - 36, Art.top() + 40 + i * 40, 34, 34));
}

void LayerPanel(QPainter& p)
{
    const double left = Art.left() + 10;
    Panel(p, QRectF(left, Art.top() + 10, 150, 150), Qt::white);
    const char* names[] = {"Up", "Down", "Delete"};
    for (int i = 0; i < 3; ++i) {
        const QRectF button(left + 2 + i * 49, Art.top() + 12, 48, 44);
        Panel(p, button);
        const QRectF picture(button.center().x() - 10, button.top() + 3, 20, 20);
        if (i == 2)
            Glyphs::Cross(p, picture);
        else
            Glyphs::Arrow(p, picture, i == 0 ? -90 : 90);
        Label(p, QRectF(button.left(), button.top() + 24, button.width(), 18), QString::fromLatin1(names[i]), 11);
    }
    Panel(p, QRectF(left + 2, Art.top() + 58, 146, 20));
    Label(p, QRectF(left + 8, Art.top() + 58, 140, 20), QStringLiteral("Layers"), 12, Qt::AlignVCenter);
    const char* rows[] = {"Scene 1", "Face 1", "Party Hat 1", "Glasses 1"};
    for (int i = 0; i < 4; ++i) {
        const QRectF row(left + 2, Art.top() + 80 + i * 20, 146, 20);
        if (i == 2)
            p.fillRect(row, QColor(200, 220, 250));
        Label(p, row.adjusted(6, 0, 0, 0), QString::fromLatin1(rows[i]), 12, Qt::AlignVCenter);
    }
}

void SpeechBubble(QPainter& p)
{
    const BubbleShape bubble = BubbleShape::Make(BubbleShape::Style::Oval);
    const double scale = 160.0 / bubble.size.width();
    p.save();
    p.translate(Art.left() + 5, Art.top() + 5);
    p.scale(scale, scale);
    bubble.Draw(p);
    p.setPen(TextInk);
    p.setFont(Font(static_cast<int>(28 / scale), true));
    p.drawText(bubble.textRect, Qt::AlignCenter, QStringLiteral("Hello!"));
    p.restore();
    Glyphs::Draw(p, Glyph::EditText, QRectF(Art.right() - 40, Art.bottom() - 40, 40, 40));
}

void Finished(QPainter& p)
{
    const QRectF picture(Art.left() + 12, Art.top() + 12, 146, 112);
    p.fillRect(picture.adjusted(-8, -8, 8, 8), QColor(160, 110, 60));
    p.fillRect(picture.adjusted(-3, -3, 3, 3), QColor(230, 200, 150));
    DrawPicture(p, picture, SceneArt::Beach({292, 224}));
    Glyphs::Smiley(p, picture.center() + QPointF(0, 8), 26);
    // A green badge with a tick.
    const QPointF badge(Art.right() - 28, Art.bottom() - 28);
    p.setPen(QPen(QColor(20, 90, 25), 2));
    p.setBrush(QColor(60, 170, 60));
    p.drawEllipse(badge, 22, 22);
    p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPolyline(QPolygonF{{badge + QPointF(-10, 0), badge + QPointF(-3, 8), badge + QPointF(11, -9)}});
}

void ChooseFace(QPainter& p)
{
    const QRectF photo(Art.left() + 40, Art.top() + 4, 120, 120);
    p.fillRect(photo.adjusted(-4, -4, 4, 4), Qt::white);
    p.setPen(QPen(Frame, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(photo.adjusted(-4, -4, 4, 4));
    DrawPicture(p, photo, SmileyFace());
    p.save();
    p.translate(Art.left() + 4, Art.bottom() - 62);
    p.scale(4, 4);
    PanelArt::DrawFolder(p, false);
    p.restore();
    Pointer(p, {photo.center().x() + 10, photo.center().y() + 20});
}

void Illustration(QPainter& p, int tip)
{
    switch (tip) {
    case 1:
        return HelpMenu(p);
    case 2:
        return NextStepButton(p);
    case 3:
        return SceneList(p);
    case 4:
        return SelectFace(p);
    case 5:
        return OutlineFace(p);
    case 6:
        return PlaceFace(p);
    case 7:
        return Accessories(p);
    case 8:
        return LayerPanel(p);
    case 9:
        return SpeechBubble(p);
    case 10:
        return Finished(p);
    default:
        return ChooseFace(p);
    }
}

} // namespace

QImage TipArt::Draw(int tip)
{
    QImage image(Width, Height, QImage::Format_ARGB32);
    image.fill(Paper);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.setClipRect(SafeArea);
    Illustration(p, tip);
    const TipText& text = Texts[(tip - 1) % TipCount];
    p.setPen(HeadingInk);
    p.setFont(Font(22, true));
    p.drawText(Heading, Qt::AlignLeft | Qt::AlignVCenter, QString::fromLatin1(text.heading));
    p.setPen(TextInk);
    p.setFont(Font(16));
    p.drawText(Body, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, QString::fromLatin1(text.body));
    return image;
}
