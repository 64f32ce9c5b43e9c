#include "ShellTestSupport.h"

#include "shell/Tutor.h"

#include <QCheckBox>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

ModalPerson::ModalPerson() : m_answerer([this](QDialog& dialog) { return Answer(dialog); }) {}

int ModalPerson::Answer(QDialog& dialog)
{
    ++runs;
    if (auto* tip = dynamic_cast<Tutor*>(&dialog)) {
        tip->DontShowAgain()->setChecked(tickDontShow);
        // Two pictures at most: a tip and its follow-up.
        for (int picture = 0; picture < 3 && tip->result() != QDialog::Accepted; ++picture) {
            shown << QStringLiteral("%1: tip %2").arg(tip->windowTitle()).arg(tip->m_tip);
            if (duringTip)
                duringTip(*tip);
            tip->ContinueButton()->click();
        }
        return tip->result();
    }
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
        shown << box->windowTitle() + QStringLiteral(": ") + box->text();
        return messageReply;
    }
    return otherDialogs ? otherDialogs(dialog) : static_cast<int>(QDialog::Rejected);
}

void ShowAndExpose(QWidget& widget)
{
    widget.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&widget));
}

QImage SaveGrab(QWidget& widget, const QString& name)
{
    const QImage image = widget.grab().toImage();
    image.save(QDir::temp().filePath(QStringLiteral("snapmingle-shell-%1.png").arg(name)));
    return image;
}
