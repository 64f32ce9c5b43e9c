#include "DocumentFixture.h"

QString Describe(const Document& document)
{
    QStringList out;
    auto layerText = [](const Layer& l) {
        return QStringLiteral("%1 flags=%2 tag=%3 #%4 kind=%5 path=%6 pos=%7,%8 scale=%9,%10 crop=%11,%12,%13,%14 "
                              "angle=%15 rgb=%16,%17,%18 c=%19 b=%20 text=%21")
            .arg(l.name)
            .arg(l.flags)
            .arg(l.tag)
            .arg(l.number)
            .arg(l.kind)
            .arg(l.path)
            .arg(l.position.x)
            .arg(l.position.y)
            .arg(l.scale.x)
            .arg(l.scale.y)
            .arg(l.cropTopLeft.x)
            .arg(l.cropTopLeft.y)
            .arg(l.cropBottomRight.x)
            .arg(l.cropBottomRight.y)
            .arg(l.angle)
            .arg(l.redGamma)
            .arg(l.greenGamma)
            .arg(l.blueGamma)
            .arg(l.contrast)
            .arg(l.brightness)
            .arg(l.GetText());
    };
    out << QStringLiteral("step=%1 selected=%2 view=%3 tool=%4")
               .arg(document.step)
               .arg(document.selectedIndex)
               .arg(document.viewMode)
               .arg(document.tool);
    out << (document.scene ? QStringLiteral("scene ") + layerText(*document.scene) : QStringLiteral("no scene"));
    for (const Node* node = document.layers.next; node != &document.layers; node = node->next)
        out << layerText(*static_cast<const Layer*>(node));
    return out.join(QLatin1Char('\n'));
}

std::vector<uint8_t> JournalBytes(const Journal& journal, int32_t offset, int32_t n)
{
    return std::vector<uint8_t>(journal.GetData() + offset, journal.GetData() + offset + n);
}

std::vector<uint8_t> LastRecord(const Journal& journal)
{
    const int32_t n = journal.RecordSize(false);
    return JournalBytes(journal, journal.GetPosition() - n, n);
}

Layer* DocumentTest::AddLayer(const QString& name, int32_t flags, int32_t kind, int32_t number, const QString& path,
                              int32_t tag)
{
    auto* layer = new TestLayer(flags, tag);
    layer->name = name;
    layer->kind = kind;
    layer->number = number;
    layer->path = path;
    layer->LinkBefore(&document.layers);
    return layer;
}
