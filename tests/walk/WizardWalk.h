#pragma once

#include "support/ProgramSession.h"

#include "platform/ui/ModalHost.h"

#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

class CMainFrame;
class QDialog;
class QWidget;
class SnapmingleApplication;
class TreeView;

// A person walking the wizard of the real program: the program started in this process as main starts
// it, against the sample library on a loopback server of its own, driven by mouse and key events on the
// real widgets. Every modal dialog is shown and answered: tips are read and Continue clicked, the download
// progress dialog runs its own loop, message boxes are written down in told ("<caption>: <text>") and
// answered with a click on the button messageReply names, any other dialog is handed to the next script
// queued by Answer (rejected, and written down as unexpected, when none is queued). Each action answers
// whether it got where it was going.
//
//   WizardWalk walk;
//   walk.Start();
//   walk.WalkTo(StepOutlineFace);
class WizardWalk {
public:
    WizardWalk();
    ~WizardWalk();
    WizardWalk(const WizardWalk&) = delete;
    WizardWalk& operator=(const WizardWalk&) = delete;

    // Starts the program as main does, with the command line; false when start-up ended.
    bool Start(const QStringList& arguments = {});
    // Ends the program's instance (what main does after its event loop).
    void End() { m_session.End(); }
    CMainFrame& Frame() const { return m_session.Frame(); }
    SampleLibrary& Library() { return m_session.Library(); }
    // A path in the walk's own temporary folder.
    QString Path(const QString& name) const { return m_session.PathOf(name); }
    QString CacheFolder() const { return m_session.CacheFolder(); }

    void Answer(std::function<void(QDialog&)> script) { m_scripts.push_back(std::move(script)); }
    int PendingAnswers() const { return static_cast<int>(m_scripts.size()); }
    QStringList told;  // message boxes and unexpected dialogs, in order
    QStringList tips;  // "<caption>: tip <n>" for every tip picture shown
    int progressDialogs = 0;
    int messageReply = 0;
    // Called with each tip and message box as it comes up, before it is answered.
    std::function<void(QDialog&)> onShown;

    // Walks on from the wizard's state to state the shortest way: Start, the first scene, face (a picture
    // of our own, rocket.jpg when empty) and Next Step for the rest.
    bool WalkTo(int32_t state, const QString& face = {});
    // Next Step on the tool bar; true when the wizard reaches state (or passes it: a face chosen in the
    // dialog that the face step opens moves it on at once).
    bool PressNextStep(int32_t state);
    bool PressToolButton(int32_t command) { return m_session.PressToolButton(command); }
    // Clicks the thumbnail n of the browser's open subcategory (its tab made active, scrolled into view).
    bool ClickThumbnail(TreeView& browser, int32_t n);
    // Opens the browser's category and subcategory (empty: the first) by clicks on their rows.
    bool OpenBrowserFolder(TreeView& browser, const QString& category, const QString& subcategory = {});
    // A left-button drag in the editing view through document points, run by the view's drag loop.
    bool DragInView(QPointF from, const std::vector<QPointF>& through);
    // Drags the selected layer's top-left crop corner (content pixels) or its middle (document pixels).
    bool DragCropCorner(QPointF by);
    bool MoveSelectedLayer(QPointF by);
    QPoint ViewPoint(QPointF doc) const;
    // A click on a row of the layers panel's list (true once its layer is selected), and a drag of one row
    // to another.
    bool ClickLayerRow(int row);
    bool DragLayerRow(int from, int to);
    // A key pressed with the focus wherever the last clicks left it (the active window when no widget
    // has it); false, and written down in told, when no window is active to take it.
    bool PressKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    // Opens the menu bar's menu by its title (without '&') and clicks its item.
    bool ChooseMenuItem(const QString& menu, const QString& item);

    // Content choices and exports, each waiting until the program has done it (content loaded, file
    // written). ChooseOwnFace presses Next Step at a chosen scene and answers the face dialog with path.
    bool ChooseScene(int32_t n);
    bool ChooseOwnFace(const QString& path);
    bool AddAccessory(int32_t n);
    bool AddBubble(int32_t n);
    // A double click on the selected bubble; text typed into the Edit Text dialog, then OK.
    bool EditBubbleText(const QString& text);
    // Change Color on the tool bar; Auto Adjust, then OK.
    bool AutoAdjustColour();
    // The export panel's buttons with their dialogs answered; SendPicture types name, sender, subject and
    // the first friend.
    bool SavePicture(const QString& path);
    bool SaveProject(const QString& path);
    bool SendPicture(const QStringList& fields);
    bool PressExportButton(int32_t command) { return m_session.PressExportButton(command); }
    // File > Exit through the menu bar; true when the window closed.
    bool Exit();
    // No download is pending for the scene or any layer.
    static bool AllLoaded();

    // Waits (processing events) until condition holds; false after the patience limit.
    static bool Settle(const std::function<bool()>& condition);
    // The dialog's control with this id (its object name).
    static QWidget* Control(QDialog& dialog, int id);
    static void ClickControl(QDialog& dialog, int id);
    // Types path into a file dialog's name box and presses Return.
    static void TypeFileName(QDialog& dialog, const QString& path);

    // The editing view's pixels as the screen shows them, kept for a look as "walk-<name>" (SaveForALook).
    QImage GrabView(const QString& name) const;
    // The document's own render of the composition, saved as name in the walk's folder.
    QImage Render(const QString& name) const;

private:
    int AnswerDialog(QDialog& dialog);
    void ShowDialog(QDialog& dialog);
    bool AddLayer(TreeView& browser, int32_t n);

    ProgramSession m_session;
    std::deque<std::function<void(QDialog&)>> m_scripts;
    platform::ModalHost::ScopedAnswerer m_answerer;
};
