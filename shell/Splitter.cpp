#include "shell/Splitter.h"

#include <QMouseEvent>
#include <QResizeEvent>
#include <QSplitterHandle>
#include <algorithm>

namespace {

// A bar that ignores the mouse and shows the plain cursor while its splitter is locked.
class SplitterHandle final : public QSplitterHandle {
public:
    SplitterHandle(Qt::Orientation orientation, Splitter* parent) : QSplitterHandle(orientation, parent), m_owner(parent)
    {
        ShowLock();
    }

    void ShowLock()
    {
        if (m_owner->IsLocked())
            unsetCursor();
        else
            setCursor(orientation() == Qt::Horizontal ? Qt::SplitHCursor : Qt::SplitVCursor);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override
    {
        if (m_owner->IsLocked())
            QWidget::mousePressEvent(event);
        else
            QSplitterHandle::mousePressEvent(event);
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (m_owner->IsLocked())
            QWidget::mouseMoveEvent(event);
        else
            QSplitterHandle::mouseMoveEvent(event);
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (m_owner->IsLocked())
            QWidget::mouseReleaseEvent(event);
        else
            QSplitterHandle::mouseReleaseEvent(event);
    }

private:
    Splitter* m_owner;
};

int32_t Along(Qt::Orientation orientation, const QSize& size)
{
    return orientation == Qt::Horizontal ? size.width() : size.height();
}

} // namespace

Splitter::Splitter(Qt::Orientation orientation, QWidget* parent) : QSplitter(orientation, parent)
{
    connect(this, &QSplitter::splitterMoved, this, [this](int position, int index) { OnSplitterMoved(position, index); });
}

QSplitterHandle* Splitter::createHandle()
{
    return new SplitterHandle(orientation(), this);
}

void Splitter::SetLocked(bool locked)
{
    m_locked = locked;
    for (int i = 0; i < count(); ++i) {
        if (auto* bar = dynamic_cast<SplitterHandle*>(handle(i)))
            bar->ShowLock();
    }
}

void Splitter::Grow(int32_t panes)
{
    const size_t n = static_cast<size_t>(std::max(panes, 0));
    if (m_ideal.size() < n)
        m_ideal.resize(n, 0);
    if (m_current.size() < n)
        m_current.resize(n, 0);
}

void Splitter::SetIdealSize(int32_t pane, int32_t size)
{
    if (pane < 0)
        return;
    Grow(pane + 1);
    m_ideal[static_cast<size_t>(pane)] = size;
}

int32_t Splitter::IdealSize(int32_t pane) const
{
    return pane >= 0 && static_cast<size_t>(pane) < m_ideal.size() ? m_ideal[static_cast<size_t>(pane)] : 0;
}

int32_t Splitter::InsideSize() const
{
    return Along(orientation(), contentsRect().size());
}

// When the second pane has a size, the first pane's ideal size differs from what it was laid out at and
// the second's is as laid out, the user moved the bar: the second pane takes what is left of it.
// Otherwise (a resize, or the pane restored) the first pane takes what the second leaves.
void Splitter::KeepSecondPane()
{
    Grow(2);
    const int32_t room = InsideSize() - handleWidth();
    if (m_ideal[1] != 0 && m_ideal[0] != m_current[0] && m_ideal[1] == m_current[1])
        m_ideal[1] = std::max(0, room - m_ideal[0]);
    else
        m_ideal[0] = std::max(0, room - m_ideal[1]);
}

// Every shown pane but the last gets its ideal size, the last the rest; hidden panes get nothing.
void Splitter::LayOut()
{
    Grow(count());
    QList<int> sizes(count(), 0);
    int last = -1;
    for (int i = 0; i < count(); ++i) {
        if (!widget(i)->isHidden())
            last = i;
    }
    int32_t left = InsideSize();
    for (int i = 0; i < count(); ++i) {
        if (widget(i)->isHidden())
            continue;
        if (i == last) {
            sizes[i] = std::max(0, left);
            break;
        }
        sizes[i] = std::clamp(m_ideal[static_cast<size_t>(i)], 0, std::max(0, left));
        left -= sizes[i] + handleWidth();
    }
    setSizes(sizes);
    for (int i = 0; i < count(); ++i)
        m_current[static_cast<size_t>(i)] = sizes[i];
}

void Splitter::RecalcLayout()
{
    if (!m_noWidthKeeping && count() == 2)
        KeepSecondPane();
    LayOut();
}

void Splitter::resizeEvent(QResizeEvent* event)
{
    QSplitter::resizeEvent(event);
    RecalcLayout();
}

void Splitter::OnSplitterMoved(int, int index)
{
    // The bar before pane index moved: the pane before it has a new ideal size.
    if (index < 1 || index >= count())
        return;
    const QList<int> now = sizes();
    SetIdealSize(index - 1, now[index - 1]);
    RecalcLayout();
}
