#pragma once

#include <QSplitter>
#include <cstdint>
#include <vector>

// A splitter whose panes keep their ideal sizes. Each pane but the last gets its ideal size and the
// last the rest; a user's drag of a bar sets the ideal size of the pane before it. With width keeping
// (m_noWidthKeeping false, two panes) RecalcLayout keeps the second pane's size when the window is
// resized and takes a dragged bar as the second pane's new size. While m_locked is set the bars do not
// react to the mouse and show no split cursor.
class Splitter final : public QSplitter {
public:
    explicit Splitter(Qt::Orientation orientation, QWidget* parent = nullptr);

    void SetLocked(bool locked);
    bool IsLocked() const { return m_locked; }
    void SetWidthKeeping(bool keep) { m_noWidthKeeping = !keep; }

    // The pane's ideal size along the splitter, in pixels.
    void SetIdealSize(int32_t pane, int32_t size);
    int32_t IdealSize(int32_t pane) const;

    // Works out the ideal sizes (width keeping) and lays the panes out by them.
    void RecalcLayout();

    // Room for the panes and bars along the splitter: the inside rectangle's width or height.
    int32_t InsideSize() const;

    // [1] holds the second pane's width while it is hidden (see PaneSplitters).
    std::vector<int32_t> m_savedWidths{0, 0};

protected:
    QSplitterHandle* createHandle() override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void OnSplitterMoved(int position, int index);
    void KeepSecondPane();
    void LayOut();
    void Grow(int32_t panes);

    bool m_locked = false;
    bool m_noWidthKeeping = true;
    std::vector<int32_t> m_ideal;    // by pane
    std::vector<int32_t> m_current;  // the sizes of the last layout, by pane
};
