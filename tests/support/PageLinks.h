#pragma once

#include <QByteArray>
#include <QStringList>

// What a web page's src and href attributes name within its own site (addresses with a scheme, such as
// "http:" or "mailto:", and anchors are left out), in the order they appear; pictures only (the src
// attributes of img elements) from PagePictures.
QStringList PageLinks(const QByteArray& html);
QStringList PagePictures(const QByteArray& html);
