#pragma once

#include <QImage>

class QPainter;

// The small pictures of the panes: the content browsers' folders (16 x 14 on white), thumbnail
// placeholder (100 x 100) and load button picture (24 x 24), the layers panel's buttons (26 x 28) and
// the program icon.
class PanelArt {
public:
    static QImage Folder(bool open);
    static QImage ThumbPlaceholder();
    static QImage LoadPicture();
    enum class LayerButton { Up, Down, Delete };
    static QImage LayerButtonPicture(LayerButton button);
    static QImage ProgramIcon(int size);

    // A folder in a box of 16 x 14 units: the back with its tab, and the front, closed or falling open.
    static void DrawFolder(QPainter& painter, bool open);
};
