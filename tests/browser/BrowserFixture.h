#pragma once

#include "support/JournalRecords.h"
#include "support/ScopedAppPaths.h"

#include "engine/document/Document.h"
#include "library/browser/TreeView.h"
#include "platform/ui/ModalHost.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <ostream>
#include <vector>

// Readable failure messages for texts.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

// Four categories for the scene browser, which opens category 2 with its first subcategory:
//   0 Alpha: A1 {1}, A2 {2}       1 Beta: B1 {3, 4}
//   2 Gamma: G1 {5, 6, 7}, G2 {8} 3 Delta: D1 {9}
// Items 0 to 8 are numbered 1 to 9 and named "http://host/N.jpg"; their rectangles are (N, 2N, 3N, 4N)
// in the index, so (N, 2N, 4N, 6N) in the catalogue.
QByteArray FourCategories();

// Rows with Gamma and G1 open: Alpha, Beta, Gamma, G1, three thumbnails, G2, Delta.
inline constexpr int32_t GammaRow = 2;
inline constexpr int32_t G1Row = 3;
inline constexpr int32_t FirstThumbnailRow = 4;
inline constexpr int32_t G2Row = 7;
inline constexpr int32_t DeltaRow = 8;

// A solid picture of the size as the bytes of a thumbnail file (PNG bytes: the decoder reads them
// whatever the name says, and exactly).
QByteArray ThumbnailBytes(int width, int height, QRgb colour);

// The viewport's pixels as painted.
QImage Grab(TreeView& view);

// Plays the person at the file dialog: picks the file, or cancels for an empty path; notes each title
// and whether the journal could take records then.
class Person {
public:
    Person(Journal& journal, const QString& path);
    QStringList titles;
    QList<bool> journalIdle;

private:
    platform::ModalHost::ScopedAnswerer m_answerer;
};

// A document in a temporary program and cache folder; browsers made here are shown at the right-hand
// column's width.
class BrowserTest : public ::testing::Test {
protected:
    static constexpr int ColumnWidth = 225;

    void WriteIndex(const QString& name, const QByteArray& text);
    void WriteThumbnail(const QString& folder, int number, const QByteArray& bytes);

    template <typename Browser>
    std::unique_ptr<Browser> Make(int height = 600)
    {
        auto browser = std::make_unique<Browser>(document);
        browser->resize(ColumnWidth, height);
        browser->show();
        return browser;
    }

    // A left click at the point of the viewport, and at the middle of a row as it is scrolled now.
    static void Click(TreeView& view, const QPoint& point);
    static void ClickRow(TreeView& view, int32_t row);
    static int32_t BandOf(TreeView& view);

    ScopedAppPaths paths;
    QTemporaryDir folder;
    Document document;
};
