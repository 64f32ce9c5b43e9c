#include "DialogFixture.h"

#include "engine/layers/Layer.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QTest>

Person::Person(std::function<void(QDialog&)> script)
    : m_script(std::move(script)), m_answerer([this](QDialog& dialog) {
          if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
              told << box->windowTitle() + ": " + box->text();
              return int(QMessageBox::Ok);
          }
          ++dialogs;
          dialog.show();
          EXPECT_TRUE(QTest::qWaitForWindowExposed(&dialog));
          m_script(dialog);
          return dialog.result();
      })
{
}

QWidget* Control(QDialog& dialog, int id)
{
    auto* control = dialog.findChild<QWidget*>(QString::number(id));
    EXPECT_NE(control, nullptr) << id;
    return control;
}

void Click(QDialog& dialog, int id)
{
    QTest::mouseClick(qobject_cast<QAbstractButton*>(Control(dialog, id)), Qt::LeftButton);
}

Layer* DialogTest::Select(std::unique_ptr<Layer> layer)
{
    Layer* added = layer.release();
    added->LinkBefore(&document.layers);
    document.selectedIndex = document.layers.GetCount() - 1;
    return added;
}
