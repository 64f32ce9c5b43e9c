#include "DialogFixture.h"

#include "support/LayerPictures.h"

#include "engine/layers/LayerImage.h"
#include "engine/view/ColorBox.h"
#include "engine/view/InputBox.h"
#include "library/share/ui/MailBox.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>

namespace {

QString TextOf(const QWidget* control)
{
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return label->text();
    const auto* button = qobject_cast<const QAbstractButton*>(control);
    return button ? button->text() : QString();
}

// Each dialog as its template makes it: caption and size, every control inside the dialog, none over
// another, every text fitting its control (a button's inside its frame). SMG_GRAB_DIR=<folder> saves
// a picture of each there, for a look.
TEST_F(DialogTest, TemplatesLayOutTheirControlsWithoutOverlapsOrCutTexts)
{
    Layer& face = *Select(PictureLayer(Filled(4, 4, qRgb(9, 9, 9)), LayerFlagsFace));
    struct Case {
        std::unique_ptr<QDialog> dialog;
        QString caption;
        QSize size;
    };
    const Case cases[] = {
        {std::make_unique<InputBox>(document, "Hello"), "Edit Text", {390, 159}},
        {std::make_unique<ColorBox>(document, face), "Adjust Color", {369, 252}},
        {std::make_unique<MailBox>(document), "E-mail picture to your \"friends\"", {377, 283}},
    };
    for (const auto& [dialog, caption, size] : cases) {
        EXPECT_EQ(dialog->windowTitle(), caption);
        EXPECT_EQ(dialog->size(), size) << caption.toStdString();
        if (const QByteArray folder = qgetenv("SMG_GRAB_DIR"); !folder.isEmpty())
            dialog->grab().save(QDir(QString::fromLocal8Bit(folder)).filePath(caption.section(' ', 0, 0) + ".png"));
        const QList<QWidget*> controls = dialog->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
        for (qsizetype i = 0; i < controls.size(); ++i) {
            const QRect r = controls[i]->geometry();
            const std::string what = (caption + ": " + TextOf(controls[i]) + controls[i]->objectName()).toStdString();
            EXPECT_TRUE(dialog->rect().contains(r)) << what;
            for (qsizetype j = i + 1; j < controls.size(); ++j)
                EXPECT_FALSE(r.intersects(controls[j]->geometry())) << what << " / " << TextOf(controls[j]).toStdString();
            const int frame = qobject_cast<QAbstractButton*>(controls[i]) ? 8 : 0;
            EXPECT_LE(controls[i]->fontMetrics().horizontalAdvance(TextOf(controls[i])), r.width() - frame) << what;
        }
    }
}

} // namespace
