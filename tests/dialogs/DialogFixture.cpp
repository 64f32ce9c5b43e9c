#include "DialogFixture.h"

#include "engine/layers/Layer.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QMessageBox>
#include <QTest>

Person::Person(Script script)
    : m_script(std::move(script)), m_answerer([this](QDialog& dialog) { return Answer(dialog); })
{
}

int Person::Answer(QDialog& dialog)
{
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
        told << box->windowTitle() + ": " + box->text();
        return QMessageBox::Ok;
    }
    ++dialogs;
    dialog.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    m_script(dialog);
    return dialog.result();
}

QWidget* Control(QDialog& dialog, int id)
{
    auto* control = dialog.findChild<QWidget*>(QString::number(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

void Click(QDialog& dialog, int id)
{
    auto* button = qobject_cast<QAbstractButton*>(Control(dialog, id));
    ASSERT_NE(button, nullptr) << id;
    QTest::mouseClick(button, Qt::LeftButton);
}

namespace {

// The text a control shows, and whether it must fit on one line.
QString ShownText(const QWidget& control)
{
    if (const auto* label = qobject_cast<const QLabel*>(&control))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(&control))
        return button->text();
    return QString();
}

} // namespace

void CheckLayout(QDialog& dialog, const QString& name)
{
    if (const QByteArray folder = qgetenv("SMG_GRAB_DIR"); !folder.isEmpty())
        dialog.grab().save(QDir(QString::fromLocal8Bit(folder)).filePath(name + ".png"));

    const QList<QWidget*> controls = dialog.findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    ASSERT_FALSE(controls.isEmpty());
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const QRect r = controls[i]->geometry();
        const QString what = name + " " + controls[i]->metaObject()->className() + " " + ShownText(*controls[i]);
        EXPECT_TRUE(dialog.rect().contains(r)) << what.toStdString();
        for (qsizetype j = i + 1; j < controls.size(); ++j)
            EXPECT_FALSE(r.intersects(controls[j]->geometry()))
                << what.toStdString() << " and " << ShownText(*controls[j]).toStdString();
        // A button's text needs room for its frame too.
        const QString text = ShownText(*controls[i]);
        const int room = qobject_cast<QAbstractButton*>(controls[i]) ? r.width() - 8 : r.width();
        EXPECT_LE(controls[i]->fontMetrics().horizontalAdvance(text), room) << what.toStdString();
    }
}

Layer* DialogTest::Select(std::unique_ptr<Layer> layer)
{
    Layer* added = layer.release();
    added->LinkBefore(&document.layers);
    document.selectedIndex = document.layers.GetCount() - 1;
    return added;
}
