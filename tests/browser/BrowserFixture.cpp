#include "BrowserFixture.h"

#include "support/TestFiles.h"
#include "support/TestPictures.h"

#include "engine/document/JournalKind.h"
#include "library/browser/BrowserLayout.h"

#include <QFileDialog>
#include <QPushButton>
#include <QTest>

QByteArray FourCategories()
{
    struct Subcategory {
        const char* name;
        int items;
    };
    struct Category {
        const char* name;
        std::vector<Subcategory> subcategories;
    };
    const Category layout[] = {{"Alpha", {{"A1", 1}, {"A2", 1}}},
                               {"Beta", {{"B1", 2}}},
                               {"Gamma", {{"G1", 3}, {"G2", 1}}},
                               {"Delta", {{"D1", 1}}}};
    QByteArray text;
    int number = 1;
    for (const Category& category : layout) {
        text += QByteArray("<CAT ") + category.name + ">";
        for (const Subcategory& subcategory : category.subcategories) {
            text += QByteArray("<SUB ") + subcategory.name + ">";
            for (int k = 0; k < subcategory.items; ++k, ++number)
                text += QStringLiteral("<%1 \"http://host/%1.jpg\" %1 %2 %3 %4>")
                            .arg(number)
                            .arg(2 * number)
                            .arg(3 * number)
                            .arg(4 * number)
                            .toUtf8();
        }
    }
    return text;
}

Person::Person(Journal& journal, const QString& path)
    : m_answerer([this, &journal, path](QDialog& dialog) {
          titles << dialog.windowTitle();
          journalIdle << journal.IsIdle();
          if (path.isEmpty())
              return int{QDialog::Rejected};
          static_cast<QFileDialog&>(dialog).selectFile(path);
          dialog.accept();
          return dialog.result();
      })
{
}

QByteArray ThumbnailBytes(int width, int height, QRgb colour)
{
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(colour);
    return PngBytes(picture);
}

QImage Grab(TreeView& view)
{
    return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

void BrowserTest::WriteIndex(const QString& name, const QByteArray& text)
{
    WriteFile(paths.Get().cacheFolder + name + QStringLiteral(".txt"), Scrambled(text));
}

void BrowserTest::WriteThumbnail(const QString& thumbnailFolder, int number, const QByteArray& bytes)
{
    WriteFile(paths.Get().cacheFolder + QStringLiteral("%1/%2.jpg").arg(thumbnailFolder).arg(number), bytes);
}

void BrowserTest::Click(TreeView& view, const QPoint& point)
{
    QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, point);
}

int32_t BrowserTest::BandOf(TreeView& view)
{
    return view.LoadButton() ? browser_layout::ButtonBandHeight : 0;
}

void BrowserTest::ClickRow(TreeView& view, int32_t row)
{
    const TreeRows& rows = view.Rows();
    Click(view, QPoint(60, BandOf(view) + rows.RowTop(row) - view.ScrollPosition() + rows.GetRowHeight(row) / 2));
}
