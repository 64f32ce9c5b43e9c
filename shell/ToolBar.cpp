#include "shell/ToolBar.h"

#include "platform/ResourceId.h"
#include "platform/ui/CommandRouter.h"

#include <QAction>
#include <QLayout>
#include <QMainWindow>
#include <QToolButton>

namespace {

namespace ResourceId = platform::ResourceId;

// A tool bar button whose check mark is its command's: a click runs the command and leaves the mark to
// the command's enabling handler instead of toggling it.
class CommandButton final : public QToolButton {
public:
    using QToolButton::QToolButton;

protected:
    void nextCheckState() override {}
};

} // namespace

ToolBar::ToolBar(platform::CommandRouter& router, QWidget* parent)
    : QToolBar(parent), m_router(router), m_blinkTimer(BlinkTimerPeriodMs, [this] { OnTimer(); })
{
}

ToolBar::~ToolBar() = default;

bool ToolBar::Create(QMainWindow& frame)
{
    bool ok = m_hotImages.Create(ResourceId::ToolBarHot);
    ok = m_normalImages.Create(ResourceId::ToolBarNormal) && ok;
    ok = m_disabledImages.Create(ResourceId::ToolBarDisabled) && ok;

    m_icons.clear();
    for (int32_t i = 0; i < m_normalImages.Count(); ++i) {
        QIcon icon;
        icon.addPixmap(m_normalImages.Picture(i), QIcon::Normal);
        icon.addPixmap(m_hotImages.Picture(i), QIcon::Active);  // under the mouse
        icon.addPixmap(m_disabledImages.Picture(i), QIcon::Disabled);
        m_icons.push_back(icon);
    }

    // A fixed column: no handle, no floating, and no context menu offering to hide it.
    setMovable(false);
    setFloatable(false);
    setAllowedAreas(Qt::LeftToolBarArea);
    setContextMenuPolicy(Qt::PreventContextMenu);
    setIconSize(QSize(ImageList::PictureSize, ImageList::PictureSize));
    setToolButtonStyle(Qt::ToolButtonIconOnly);
    layout()->setSpacing(0);  // the buttons touch, 38 pixels from one to the next
    frame.addToolBar(Qt::LeftToolBarArea, this);

    m_blinkTimer.Start();
    return ok;
}

bool ToolBar::SetButtons(std::span<const int32_t> ids)
{
    for (const Slot& slot : m_buttons)
        delete slot.entry;  // leaves the bar and deletes its button
    m_buttons.clear();

    bool ok = true;
    for (const int32_t id : ids) {
        const int32_t picture = ButtonCount();
        ok = ok && picture < static_cast<int32_t>(m_icons.size());
        auto* button = new CommandButton(this);
        button->setObjectName(QString::number(id));
        button->setAutoRaise(true);
        button->setFocusPolicy(Qt::NoFocus);  // a click leaves the focus where it was
        button->setFixedSize(ButtonWidth, ButtonHeight);
        button->setIconSize(iconSize());
        m_router.KeepCurrent(id);  // the button shows the command's state between menus
        QAction* action = m_router.Action(id);
        button->setToolTip(action->toolTip());
        m_buttons.push_back({id, button, addWidget(button), -1});
        ChangeBitmap(picture, picture);

        const Slot slot = m_buttons.back();
        connect(button, &QToolButton::clicked, this, [this, id] { m_router.Run(id); });
        connect(action, &QAction::changed, button, [this, slot] { FollowAction(slot); });
        FollowAction(slot);
    }
    return ok;
}

void ToolBar::OnTimer()
{
    const int32_t index = CommandToIndex(NextStep);
    if (index >= 0 && IsButtonEnabled(index))
        ChangeBitmap(index, m_blinkPhase ? NextStepPicture : NextStepHighlightPicture);
    m_blinkPhase = !m_blinkPhase;
}

QToolButton* ToolBar::Button(int32_t index) const
{
    return index >= 0 && index < ButtonCount() ? m_buttons[static_cast<size_t>(index)].button : nullptr;
}

int32_t ToolBar::CommandToIndex(int32_t id) const
{
    for (int32_t i = 0; i < ButtonCount(); ++i) {
        if (m_buttons[static_cast<size_t>(i)].id == id)
            return i;
    }
    return -1;
}

int32_t ToolBar::ButtonPicture(int32_t index) const
{
    return index >= 0 && index < ButtonCount() ? m_buttons[static_cast<size_t>(index)].picture : -1;
}

void ToolBar::ChangeBitmap(int32_t index, int32_t picture)
{
    Slot& slot = m_buttons[static_cast<size_t>(index)];
    if (slot.picture == picture)
        return;
    slot.picture = picture;
    const bool known = picture >= 0 && picture < static_cast<int32_t>(m_icons.size());
    slot.button->setIcon(known ? m_icons[static_cast<size_t>(picture)] : QIcon());
}

void ToolBar::FollowAction(const Slot& slot)
{
    const QAction* action = m_router.Action(slot.id);
    slot.button->setEnabled(action->isEnabled());
    slot.button->setCheckable(action->isCheckable());
    slot.button->setChecked(action->isChecked());
}

bool ToolBar::IsButtonEnabled(int32_t index) const
{
    return m_buttons[static_cast<size_t>(index)].button->isEnabledTo(this);
}
