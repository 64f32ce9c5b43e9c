#include "platform/StringTable.h"

#include "platform/ResourceId.h"

#include <array>

namespace platform {

namespace {

struct StringEntry {
    int32_t id;
    const char* text;  // UTF-8
};

// Sorted by id. Command ids are the framework's (576xx) and the program's own (328xx).
constexpr std::array Strings{
    StringEntry{ResourceId::StringOleInitFailed,
                "OLE initialization failed. Make sure that the OLE libraries are the correct version."},
    StringEntry{ResourceId::StringDocumentTemplate,
                "Snapmingle\n\nSnapmingle\nSnapmingle Projects (*.smg)\n.smg\nSnapmingle.Document\nSnapmingle.Document"},
    StringEntry{32800, "Save the finished picture as a JPEG file.\nSave Picture"},
    StringEntry{32801, "Go on to the next step of your picture.\nNext Step"},
    StringEntry{32802, "Show the whole picture with all its layers.\nAll Layers"},
    StringEntry{32803, "Show the selected layer alone to crop it.\nCrop Layer"},
    StringEntry{32804, "Show the selected layer alone to paint it.\nPaint Layer"},
    StringEntry{32805, "Resize the selected layer with the mouse.\nChange Size"},
    StringEntry{32806, "Make the selected layer a little larger.\nIncrease Size"},
    StringEntry{32807, "Make the selected layer a little smaller.\nDecrease Size"},
    StringEntry{32808, "Move the selected layer with the mouse.\nChange Position"},
    StringEntry{32809, "Move the selected layer one pixel to the left.\nMove Left"},
    StringEntry{32810, "Move the selected layer one pixel to the right.\nMove Right"},
    StringEntry{32811, "Move the selected layer one pixel up.\nMove Up"},
    StringEntry{32812, "Move the selected layer one pixel down.\nMove Down"},
    StringEntry{32813, "Turn the selected layer with the mouse.\nChange Rotation"},
    StringEntry{32814, "Turn the selected layer a degree to the left.\nRotate Left"},
    StringEntry{32815, "Turn the selected layer a degree to the right.\nRotate Right"},
    StringEntry{32816, "Paint and erase with a smaller brush.\nSmaller Brush"},
    StringEntry{32817, "Paint and erase with a larger brush.\nLarger Brush"},
    StringEntry{32818, "Change the words of the selected speech bubble.\nEdit Text"},
    StringEntry{32819, "Adjust the colors of the selected layer.\nAdjust selected layer's colors"},
    StringEntry{32820, "Mirror the selected layer from left to right.\nFlip the selected layer"},
    StringEntry{32821, "Remove the selected layer from the picture.\nDelete"},
    StringEntry{32832, "Cut the selected layer down to a part of it.\nCrop the selected layer"},
    StringEntry{32833, "Move the selected layer or change its size.\nMove/Resize the selected layer"},
    StringEntry{32834, "Turn the selected layer around its middle.\nRotate the selected layer"},
    StringEntry{32835, "Paint back hidden parts of the selected layer.\nPaint with pixels from the selected layer"},
    StringEntry{32836, "Erase parts of the selected layer.\nErase pixels from the selected layer"},
    StringEntry{32838,
                "Erase from every layer at once.\nMagically erase pixels from all the layers. Use to erase scene layer "
                "faces!"},
    StringEntry{32839, "Keep the width and height in proportion while resizing.\nLock Resize Ratio"},
    StringEntry{32847, "Open the program's web site in your browser.\nVisit Snapmingle Site"},
    StringEntry{32848, "Show a help tip before each step.\nEnable Help Tips"},
    StringEntry{32849, "Open the online help in your browser.\nOnline Help"},
    StringEntry{57600, "Start a new picture.\nNew Project"},
    StringEntry{57601, "Open a project you saved before.\nOpen Project"},
    StringEntry{57603, "Save the project to work on it later.\nSave Project"},
    StringEntry{57604, "Save the project under another name.\nSave Project As"},
    StringEntry{57612, "Send the picture to your friends by e-mail.\nSend"},
    StringEntry{57616, "Open this recent project.\nRecent Project"},
    StringEntry{57617, "Open this recent project.\nRecent Project"},
    StringEntry{57618, "Open this recent project.\nRecent Project"},
    StringEntry{57619, "Open this recent project.\nRecent Project"},
    StringEntry{57643, "Undo the last change.\nUndo"},
    StringEntry{57644, "Redo the change you undid.\nRedo"},
    StringEntry{57664, "Show the program's version.\nAbout"},
    StringEntry{57665, "Quit the program.\nExit"},
};

} // namespace

const char* FindStringResource(int32_t id)
{
    for (const StringEntry& entry : Strings) {
        if (entry.id == id)
            return entry.text;
    }
    return nullptr;
}

} // namespace platform
