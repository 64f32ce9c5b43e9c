#include "shell/StepBar.h"

#include "engine/base/Settings.h"
#include "engine/document/Document.h"
#include "shell/StepImagesTarget.h"
#include "shell/StepTable.h"
#include "shell/Tutor.h"

#include <QLabel>
#include <QPaintEvent>
#include <QTimer>

namespace {

StepBar* s_installed = nullptr;

// The owner-drawn pane: it draws nothing of its own; painting it refreshes the step pictures.
class OwnerDrawnPane final : public QWidget {
public:
    OwnerDrawnPane(StepBar& bar, QWidget* parent) : QWidget(parent), m_bar(bar) {}

protected:
    void paintEvent(QPaintEvent*) override { m_bar.DrawItem(); }

private:
    StepBar& m_bar;
};

} // namespace

StepBar::StepBar(Settings& settings, QWidget* parent) : QStatusBar(parent), m_settings(settings)
{
    auto* empty = new QLabel(this);  // pane 0: no borders, disabled, no width
    empty->setFixedWidth(0);
    empty->setEnabled(false);
    addWidget(empty);
    m_text = new QLabel(this);
    m_text->setTextFormat(Qt::PlainText);
    addWidget(m_text, 1);
    m_picturesPane = new OwnerDrawnPane(*this, this);
    m_picturesPane->setFixedWidth(PicturesPaneWidth);
    addPermanentWidget(m_picturesPane);
    setStyleSheet(QStringLiteral("QStatusBar::item { border: none; }"));

    s_installed = this;
    g_stepBar = this;
}

StepBar::~StepBar()
{
    if (g_stepBar == this)
        g_stepBar = nullptr;
    if (s_installed == this)
        s_installed = nullptr;
}

StepBar* StepBar::Installed()
{
    return g_stepBar == s_installed ? s_installed : nullptr;
}

QString StepBar::Text() const
{
    return m_text->text();
}

void StepBar::SetStepImagesTarget(StepImagesTarget* target)
{
    m_target = target;
    DrawItem();
}

void StepBar::DrawItem()
{
    if (m_target)
        m_target->SetStepImages(m_step);
}

void StepBar::ShowText(const QString& text)
{
    m_text->setText(text);
    m_text->repaint();  // at once: a help tip may follow before the next paint
    // The pictures follow at the repaint; also now, so that they never wait for one (a hidden bar).
    update();
    DrawItem();
}

void StepBar::ShowStartText()
{
    m_waitingTip.reset();
    m_step = 0;
    ShowText(StepRowFor(0).text);
}

void StepBar::SetStep(int32_t state, bool noTip)
{
    const StepRow row = StepRowFor(state);
    m_step = row.step;
    ShowText(row.text);
    m_waitingTip.reset();  // a later step replaces a tip still waiting
    if (noTip || row.tip == StepRow::NoTip || m_settings.IsTutorialOff() != 0)
        return;
    if (g_document && g_document->journal.IsBusy())
        return;  // an undo replays the step change: no tip
    if (m_tipsHeld > 0 || (m_tipsWaitForWindow && !window()->isVisible())) {
        m_waitingTip = row;
        return;
    }
    RunTip(row);
}

void StepBar::ReleaseTips()
{
    if (m_tipsHeld == 0 || --m_tipsHeld > 0 || !m_waitingTip)
        return;
    if (!g_document || StepRowFor(g_document->step).tip != m_waitingTip->tip) {
        m_waitingTip.reset();
        return;
    }
    RunWaitingTip();  // a window not shown yet runs it when it shows
}

void StepBar::RunTip(const StepRow& row)
{
    Tutor::Run(m_settings, row.tip, row.step, row.nextTip);
}

void StepBar::showEvent(QShowEvent* event)
{
    QStatusBar::showEvent(event);
    // After the window's own showing is done.
    if (m_waitingTip)
        QTimer::singleShot(0, this, [this] { RunWaitingTip(); });
}

void StepBar::RunWaitingTip()
{
    if (!m_waitingTip || m_tipsHeld > 0 || !window()->isVisible())
        return;
    const StepRow row = *m_waitingTip;
    m_waitingTip.reset();
    if (m_settings.IsTutorialOff() == 0)
        RunTip(row);
}
