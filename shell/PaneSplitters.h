#pragma once

#include <cstdint>

class QWidget;
class Splitter;

// The main window's client area: the editing view on the left and a right-hand column of the content
// tabs over the layers panel. The outer splitter keeps the column's width when the window is resized;
// the inner one gives the tabs their height and the layers panel the rest. The column starts hidden,
// with the outer bar locked; it is shown when the wizard leaves step 0 and hidden again at step 0, and
// comes back at the width it had when it was hidden (a dragged one too).
class PaneSplitters {
public:
    // Makes both splitters (the outer one a child of parent, for the frame to place) and puts the three
    // panes into them; then hides the column.
    PaneSplitters(QWidget& editingView, QWidget& tabView, QWidget& layerView, QWidget* parent);

    Splitter& Outer() const { return *m_outer; }
    Splitter& Inner() const { return *m_inner; }

    void HideRightColumn();
    void ShowRightColumn();
    bool IsRightColumnShown() const;

    static constexpr int32_t RightColumnWidth = 225;
    static constexpr int32_t TabViewHeight = 370;

private:
    Splitter* m_outer;  // owned by the parent widget
    Splitter* m_inner;  // owned by the outer splitter
};
