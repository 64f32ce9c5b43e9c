#include "tools/contentgen/ContentGenerator.h"

#include "tools/contentgen/AccessoryArt.h"
#include "tools/contentgen/BubbleShape.h"
#include "tools/contentgen/CatalogWriter.h"
#include "tools/contentgen/EmfWriter.h"
#include "tools/contentgen/FaceArt.h"
#include "tools/contentgen/ResourceArt.h"
#include "tools/contentgen/SceneArt.h"
#include "tools/contentgen/SitePages.h"
#include "tools/contentgen/Thumbnail.h"

#include "platform/PathJoin.h"

#include <uemf.h>
#include <uemf_safe.h>

#include <QFile>
#include <QPainter>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace {

// Scenes and faces share the cache name "Scenes/<N>.jpg", so their numbers never meet: scenes are
// 101 and up, faces 201 and up; accessories 301 and up and bubbles 401 and up keep to their own
// hundreds for readability.
constexpr QSize SceneSize(1024, 768);
constexpr int DefaultScene = 101;
constexpr int DefaultFace = 201;

struct Group {
    const char* category;  // UTF-8
    const char* subcategory;
    std::vector<int> items;
};

// The scene browser's index. It opens its third category (index 2) at start, so the scenes are there.
const std::vector<Group> SceneIndex = {
    {"People", "Photos", {201}},
    {"People", "Cartoons", {203}},
    {"Animals", "Cats", {202}},
    {"Animals", "Dogs", {206}},
    {"Scenes", "Space", {101}},
    {"Scenes", "Caf\xc3\xa9", {102}},
    {"Scenes", "Pets", {103}},
    {"Scenes", "Outdoors", {104, 105}},
    {"Robots and Aliens", "Robots", {204}},
    {"Robots and Aliens", "Aliens", {205}},
};

// An accessory layer takes its subcategory's title as its name, so the titles are singular nouns.
const std::vector<Group> AccessoryIndex = {
    {"Hats", "Hat", {301, 302, 303}},
    {"Hats", "Crown", {304}},
    {"Face", "Glasses", {305, 306}},
    {"Face", "Moustache", {307, 308}},
    {"Extras", "Bow Tie", {309}},
    {"Extras", "Badge", {310}},
};

const std::vector<Group> BubbleIndex = {
    {"Speech", "Oval", {401, 405}},
    {"Speech", "Box", {404}},
    {"Speech", "Photo", {409}},
    {"Thought", "Cloud", {402, 406}},
    {"Shout", "Shout", {403, 407, 408}},
};

struct Scene {
    int number;
    std::function<QImage(const QImage& rocket, const QImage& coffee, const QImage& cat)> backdrop;
    SceneArt::Person person;
};

struct Accessory {
    int number;
    const char* name;
    AccessoryArt::Kind kind;  // the badge (310) is made from a photo instead
};

const std::vector<Accessory> Accessories = {
    {301, "Top Hat", AccessoryArt::Kind::TopHat},
    {302, "Party Hat", AccessoryArt::Kind::PartyHat},
    {303, "Cowboy Hat", AccessoryArt::Kind::CowboyHat},
    {304, "Gold Crown", AccessoryArt::Kind::Crown},
    {305, "Round Glasses", AccessoryArt::Kind::RoundGlasses},
    {306, "Sunglasses", AccessoryArt::Kind::Sunglasses},
    {307, "Handlebar", AccessoryArt::Kind::Handlebar},
    {308, "Walrus", AccessoryArt::Kind::Walrus},
    {309, "Bow Tie", AccessoryArt::Kind::BowTie},
};
constexpr int BadgeNumber = 310;

struct OwnBubble {
    int number;
    const char* name;
    BubbleShape::Style style;
};

const std::vector<OwnBubble> OwnBubbles = {
    {401, "Oval", BubbleShape::Style::Oval},
    {402, "Cloud", BubbleShape::Style::Cloud},
    {403, "Shout", BubbleShape::Style::Shout},
    {404, "Box", BubbleShape::Style::RectangleWithTail},
    {408, "Pow", BubbleShape::Style::Pow},
    {409, "Photo Frame", BubbleShape::Style::PhotoFrame},
};

// What the photo frame shows: the cat's face, square.
constexpr QRect FramedCat(95, 5, 290, 290);

// Metafiles made elsewhere, with the size of the drawing they were made from and the text's place in
// it; the text rectangle is scaled to the metafile's own bounds.
struct ImportedBubble {
    int number;
    const char* name;
    const char* file;
    QSize drawing;
    QRect text;
};

const std::vector<ImportedBubble> ImportedBubbles = {
    {405, "Oval Outline", "oval.emf", QSize(400, 300), QRect(70, 55, 260, 150)},
    {406, "Cloud Outline", "cloud.emf", QSize(420, 320), QRect(100, 75, 220, 120)},
    {407, "Jagged Shout", "shout.emf", QSize(400, 320), QRect(115, 105, 170, 110)},
};

QString Utf8(const char* text)
{
    return QString::fromUtf8(text);
}

// Puts the person in front of a copy of its background.
QImage WithPerson(const QImage& background, const Scene& scene)
{
    QImage photo = background.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&photo);
    SceneArt::DrawPerson(painter, scene.person, photo.size());
    return photo;
}

// The bounds a metafile's header gives, once the header record has passed libUEMF's safety check.
std::optional<QRect> MetafileBounds(const QByteArray& bytes)
{
    if (bytes.size() < static_cast<qsizetype>(sizeof(U_EMRHEADER)) || !U_emf_record_safe(bytes.constData()))
        return std::nullopt;
    U_EMRHEADER header;
    std::memcpy(&header, bytes.constData(), sizeof header);
    if (header.emr.iType != U_EMR_HEADER || header.dSignature != U_ENHMETA_SIGNATURE)
        return std::nullopt;
    const U_RECTL& b = header.rclBounds;
    return QRect(QPoint(b.left, b.top), QPoint(b.right, b.bottom));
}

// Writes the categories and subcategories in order, and each item through the callback.
bool WriteGroups(CatalogWriter& catalog, const std::vector<Group>& groups,
                 const std::function<bool(int)>& item)
{
    const char* category = nullptr;
    for (const Group& group : groups) {
        if (!category || qstrcmp(category, group.category) != 0) {
            category = group.category;
            if (!catalog.Category(Utf8(category)))
                return false;
        }
        if (!catalog.Subcategory(Utf8(group.subcategory)))
            return false;
        for (const int number : group.items) {
            if (!item(number))
                return false;
        }
    }
    return true;
}

} // namespace

ContentGenerator::ContentGenerator(Options options)
    : m_options(std::move(options)), m_tree(m_options.tree), m_program(m_options.programFolder)
{
}

bool ContentGenerator::Fail(const QString& error)
{
    if (m_error.isEmpty())
        m_error = error;
    return false;
}

QString ContentGenerator::ItemAddress(int number) const
{
    return platform::WithTrailingSlash(m_options.baseUrl) + QStringLiteral("Scenes/%1.jpg").arg(number);
}

bool ContentGenerator::LoadPicture(const QString& name, QImage& picture)
{
    const QString path = platform::JoinPath(m_options.input, name);
    picture = QImage(path);
    if (picture.isNull())
        return Fail(QStringLiteral("cannot read the picture %1").arg(path));
    return true;
}

bool ContentGenerator::Run()
{
    const bool done =
        WriteSceneIndex() && WriteAccessoryIndex() && WriteBubbleIndex() && WriteResources() && WriteSite();
    m_summary.files = static_cast<int>(m_tree.Written().size() + m_program.Written().size());
    m_summary.bytes = m_tree.BytesWritten() + m_program.BytesWritten();
    return done;
}

bool ContentGenerator::WriteIndex(const QString& name, CatalogWriter& catalog, bool listed)
{
    const std::optional<QByteArray> text = listed ? catalog.Finish() : std::nullopt;
    if (!text)
        return Fail(QStringLiteral("%1: %2").arg(name, catalog.ErrorText()));
    if (!m_tree.WriteScrambled(name, *text))
        return Fail(m_tree.ErrorText());
    m_indexes[name] = catalog.Written();
    return true;
}

bool ContentGenerator::WriteSceneIndex()
{
    QImage astronaut, cat, coffee, rocket;
    if (!LoadPicture(QStringLiteral("astronaut.png"), astronaut) || !LoadPicture(QStringLiteral("chelsea.png"), cat)
        || !LoadPicture(QStringLiteral("coffee.png"), coffee) || !LoadPicture(QStringLiteral("rocket.jpg"), rocket))
        return false;

    // A skin of its own in every scene, fair to dark, so that Auto Adjust has another tone to match each time.
    using Body = SceneArt::Body;
    using Hair = SceneArt::Hair;
    const std::vector<Scene> scenes = {
        {101, [](auto& r, auto&, auto&) { return SceneArt::Background(r, SceneSize, QPointF(0.66, 0.5), 1.5); },
         {Body::SpaceSuit, QColor(205, 150, 112), QColor(60, 40, 28), Hair::Short}},
        {102, [](auto&, auto& c, auto&) { return SceneArt::Background(c, SceneSize, QPointF(0.62, 0.5), 1.25); },
         {Body::SuitAndTie, QColor(246, 212, 190), QColor(200, 150, 70), Hair::Long}},
        {103, [](auto&, auto&, auto& k) { return SceneArt::Background(k, SceneSize, QPointF(0.5, 0.5)); },
         {Body::TShirt, QColor(126, 84, 58), QColor(30, 22, 20), Hair::Curly}},
        {104, [](auto&, auto&, auto&) { return SceneArt::Beach(SceneSize); },
         {Body::StripedSwimsuit, QColor(222, 172, 124), QColor(150, 60, 30), Hair::Bun}},
        {105, [](auto&, auto&, auto&) { return SceneArt::NightCity(SceneSize); },
         {Body::HeroCape, QColor(92, 60, 44), QColor(20, 18, 18), Hair::Short}},
    };

    std::map<int, QImage> pictures;  // what "Scenes/<N>.jpg" shows, by number
    std::map<int, QImage> backgrounds;  // what "BGs/<NNNN>.bki" shows
    for (const Scene& scene : scenes) {
        backgrounds[scene.number] = scene.backdrop(rocket, coffee, cat);
        pictures[scene.number] = WithPerson(backgrounds[scene.number], scene);
        ++m_summary.scenes;
    }
    pictures[201] = FaceArt::FromPhoto(astronaut, QRect(97, 0, 256, 256));
    pictures[202] = FaceArt::FromPhoto(cat, QRect(90, 0, 300, 300));
    pictures[203] = FaceArt::Draw(FaceArt::Cartoon::Smiley);
    pictures[204] = FaceArt::Draw(FaceArt::Cartoon::Robot);
    pictures[205] = FaceArt::Draw(FaceArt::Cartoon::Alien);
    pictures[206] = FaceArt::Draw(FaceArt::Cartoon::Dog);
    // The scene browser offers the faces as scenes too: each gets a background of its own number without
    // the head, the same size as the face, so that the two lie on each other once loaded.
    for (const int face : {201, 202})
        backgrounds[face] = FaceArt::Defocused(pictures[face]);
    for (const int face : {203, 204, 205, 206})
        backgrounds[face] = FaceArt::Backdrop();
    m_summary.faces = static_cast<int>(pictures.size()) - m_summary.scenes;

    CatalogWriter catalog;
    catalog.DefaultScene(DefaultScene);
    catalog.DefaultFace(DefaultFace);
    const bool listed = WriteGroups(catalog, SceneIndex, [&](int number) {
        const auto it = pictures.find(number);
        if (it == pictures.end())
            return Fail(QStringLiteral("no picture for item %1").arg(number));
        const QImage& picture = it->second;
        const QString background = QStringLiteral("BGs/%1.bki").arg(number, 4, 10, QLatin1Char('0'));
        if (!backgrounds.count(number))
            return Fail(QStringLiteral("no background for item %1").arg(number));
        if (!m_tree.WriteScrambled(background, ContentWriter::EncodeJpeg(backgrounds[number]))
            || !m_tree.WriteJpeg(QStringLiteral("Scenes/%1.jpg").arg(number), picture)
            || !m_tree.WriteJpeg(QStringLiteral("Thumbs/%1.jpg").arg(number), Thumbnail::Make(picture)))
            return Fail(m_tree.ErrorText());
        ++m_summary.thumbnails;
        return catalog.Item(number, ItemAddress(number), QRect(QPoint(0, 0), picture.size()));
    });
    return WriteIndex(QStringLiteral("EncList.txt"), catalog, listed);
}

bool ContentGenerator::WriteAccessoryIndex()
{
    QImage logo;
    if (!LoadPicture(QStringLiteral("logo.png"), logo))
        return false;
    std::map<int, std::pair<QString, QImage>> accessories;
    for (const Accessory& accessory : Accessories)
        accessories[accessory.number] = {Utf8(accessory.name), AccessoryArt::Draw(accessory.kind)};
    accessories[BadgeNumber] = {QStringLiteral("Snake Badge"), AccessoryArt::Badge(logo)};

    CatalogWriter catalog;
    const bool listed = WriteGroups(catalog, AccessoryIndex, [&](int number) {
        const auto it = accessories.find(number);
        if (it == accessories.end())
            return Fail(QStringLiteral("no accessory %1").arg(number));
        const auto& [name, picture] = it->second;
        if (!m_tree.WritePng(QStringLiteral("Accessories/%1.png").arg(number), picture)
            || !m_tree.WriteJpeg(QStringLiteral("ThumbsA/%1.jpg").arg(number), Thumbnail::Make(picture)))
            return Fail(m_tree.ErrorText());
        ++m_summary.accessories;
        ++m_summary.thumbnails;
        return catalog.Item(number, name, QRect(QPoint(0, 0), picture.size()));
    });
    return WriteIndex(QStringLiteral("ThumbsA.txt"), catalog, listed);
}

bool ContentGenerator::WriteBubbleIndex()
{
    struct Bubble {
        QString name;
        QByteArray metafile;
        QRect text;
    };
    QImage cat;
    if (!LoadPicture(QStringLiteral("chelsea.png"), cat))
        return false;
    const QImage framed = cat.copy(FramedCat);
    std::map<int, Bubble> bubbles;
    for (const OwnBubble& own : OwnBubbles) {
        const BubbleShape shape = BubbleShape::Make(own.style, framed);
        bubbles[own.number] = {Utf8(own.name), EmfWriter::Encode(shape), shape.textRect};
    }
    for (const ImportedBubble& imported : ImportedBubbles) {
        const QString path = platform::JoinPath(m_options.input, Utf8(imported.file));
        QFile file(path);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        const std::optional<QRect> bounds = MetafileBounds(bytes);
        if (!bounds)
            return Fail(QStringLiteral("cannot read the metafile %1").arg(path));
        const double sx = static_cast<double>(bounds->width() - 1) / imported.drawing.width();
        const double sy = static_cast<double>(bounds->height() - 1) / imported.drawing.height();
        const QRect text(qRound(imported.text.x() * sx), qRound(imported.text.y() * sy),
                         qRound(imported.text.width() * sx), qRound(imported.text.height() * sy));
        bubbles[imported.number] = {Utf8(imported.name), bytes, text};
    }

    CatalogWriter catalog;
    const bool listed = WriteGroups(catalog, BubbleIndex, [&](int number) {
        const auto it = bubbles.find(number);
        if (it == bubbles.end() || it->second.metafile.isEmpty())
            return Fail(QStringLiteral("no metafile for bubble %1").arg(number));
        const Bubble& bubble = it->second;
        // The thumbnail is the metafile as the program plays it.
        const QImage thumbnail = Thumbnail::FromMetafile(bubble.metafile);
        if (thumbnail.isNull())
            return Fail(QStringLiteral("bubble %1 does not play").arg(number));
        if (!m_tree.Write(QStringLiteral("Bubbles/%1.emf").arg(number), bubble.metafile)
            || !m_tree.WriteJpeg(QStringLiteral("ThumbsB/%1.jpg").arg(number), thumbnail))
            return Fail(m_tree.ErrorText());
        ++m_summary.bubbles;
        ++m_summary.thumbnails;
        return catalog.Item(number, bubble.name, bubble.text);
    });
    return WriteIndex(QStringLiteral("ThumbsB.txt"), catalog, listed);
}

bool ContentGenerator::WriteResources()
{
    const QImage welcome = ResourceArt::Welcome(BubbleShape::Make(BubbleShape::Style::Oval));
    const bool written = m_program.WriteScrambled(QStringLiteral("welcome.bki"), ContentWriter::EncodeJpeg(welcome))
                         && m_program.WriteScrambled(QStringLiteral("paint.bki"),
                                                     ContentWriter::EncodePng(ResourceArt::PaintStamp()))
                         && m_program.WriteScrambled(QStringLiteral("erase.bki"),
                                                     ContentWriter::EncodePng(ResourceArt::EraseStamp()));
    return written || Fail(m_program.ErrorText());
}

bool ContentGenerator::WriteSite()
{
    const QImage welcome = ResourceArt::Welcome(BubbleShape::Make(BubbleShape::Style::Oval));
    const QImage half = welcome.scaled(welcome.size() / 2, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    const bool written = m_tree.Write(QString::fromLatin1(SitePages::HomePage), SitePages::Home())
                         && m_tree.Write(QString::fromLatin1(SitePages::HelpPage), SitePages::Help())
                         && m_tree.WriteJpeg(QString::fromLatin1(SitePages::WelcomePicture), half);
    if (!written)
        return Fail(m_tree.ErrorText());
    m_summary.pages = 2;
    return true;
}
