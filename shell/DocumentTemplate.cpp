#include "shell/DocumentTemplate.h"

#include "platform/ResourceId.h"
#include "platform/Resources.h"

#include <QStringList>

DocumentTemplate DocumentTemplate::FromString(const QString& text)
{
    const QStringList fields = text.split(QLatin1Char('\n'));
    const auto field = [&fields](qsizetype index) { return fields.value(index); };
    return {field(0), field(1), field(2), field(3), field(4), field(5), field(6)};
}

DocumentTemplate DocumentTemplate::FromResource()
{
    return FromString(platform::Resources::String(platform::ResourceId::StringDocumentTemplate).value_or(QString()));
}
