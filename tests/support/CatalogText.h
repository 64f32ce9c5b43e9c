#pragma once

#include "library/catalog/Catalog.h"

#include <QByteArray>
#include <QString>

// A catalogue as one line: categories "C first,second title", subcategories "S first title", items
// "I number name left,top,right,bottom", joined by " | ".
QString Describe(const Catalog& catalog);

// Parses the text as the program reads an index: from a scrambled file (in a temporary folder).
// Returns what Parse answers.
bool ParseText(Catalog& catalog, const QByteArray& text);
