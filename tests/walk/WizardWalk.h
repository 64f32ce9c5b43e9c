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
#include <memory>
#include <vector>

class CMainFrame;
class DocumentView;
class QDialog;
class QWidget;
class SnapmingleApplication;
class TreeView;

// A person walking the wizard of the real program: the program started in this process as main starts
// it (SnapmingleApplication) against the sample library on a loopback server of its own, with a data
// folder and a program folder of its own, and driven by mouse and key events on the real widgets.
//
// Every modal dialog is answered here: help tips are read and Continue is pressed, the download
// progress dialog runs its own loop, message boxes are written down ("<caption>: <text>") and answered
// with messageReply, and any other dialog is shown and handed to the next script queued by Answer (it
// is rejected, and written down as unexpected, when none is queued). Each step answers whether it got
// where it was going; what went wrong is in Failure().
//
//   WizardWalk walk;
//   walk.Start();
//   walk.PressNextStep(StepChooseScene);
//   walk.ClickThumbnail(*walk.Frame().Scenes(), 0);
class WizardWalk {
public:
    WizardWalk();
    ~WizardWalk();
    WizardWalk(const WizardWalk&) = delete;
    WizardWalk& operator=(const WizardWalk&) = delete;

    // Starts the program as main does, with the command line; false when start-up ended.
    bool Start(const QStringList& arguments = {});
    // Ends the program's instance (what main does after its event loop).
    void End();
    bool Running() const { return m_session.Running(); }
    CMainFrame& Frame() const { return m_session.Frame(); }
    SnapmingleApplication& Program() const { return *m_session.application; }
    SampleLibrary& Library() { return m_session.Library(); }
    // A path in the walk's own temporary folder.
    QString Path(const QString& name) const { return m_session.PathOf(name); }
    QString CacheFolder() const { return m_session.CacheFolder(); }

    // The next dialog that is neither a tip, a progress dialog nor a message box is shown and handed to
    // script, which answers it as a person would.
    void Answer(std::function<void(QDialog&)> script);
    int PendingAnswers() const { return static_cast<int>(m_scripts.size()); }
    QStringList told;      // message boxes and unexpected dialogs, in order
    QStringList tips;      // "<caption>: tip <n>" for every tip picture shown
    int progressDialogs = 0;
    int messageReply = 0;

    // Next Step through the tool bar's button; true when the wizard reaches state (or passes it: a face
    // chosen in the dialog that the face step opens moves it on at once).
    bool PressNextStep(int32_t state);
    // A click on a tool bar button (by its command).
    bool PressToolButton(int32_t command);
    // Clicks the thumbnail of item position n of the browser's open subcategory (scrolling it into view);
    // the browser's tab is made active first.
    bool ClickThumbnail(TreeView& browser, int32_t n);
    // Opens the browser's category of this name and its subcategory of that name (empty: the first) by
    // clicks on their rows, as needed; false when there is no such folder.
    bool OpenBrowserFolder(TreeView& browser, const QString& category, const QString& subcategory = {});
    // A left-button drag in the editing view through document points, run by the view's drag loop.
    bool DragInView(QPointF from, const std::vector<QPointF>& through);
    // Drags the selected layer's crop corner (top left) by a distance in content pixels (Crop Layer view).
    bool DragCropCorner(QPointF by);
    // Drags the selected layer by its middle, a distance in document pixels (All Layers view).
    bool MoveSelectedLayer(QPointF by);
    // A double click in the editing view at a document point.
    void DoubleClickInView(QPointF at);
    // The view point of a document point.
    QPoint ViewPoint(QPointF doc) const;
    // A click on row of the layers panel's list, and a drag of one row to another.
    bool ClickLayerRow(int row);
    bool DragLayerRow(int from, int to);
    // A key with modifiers in the editing view (the window active, the view focused).
    void KeyInView(int key, Qt::KeyboardModifiers modifiers);
    // Opens the menu bar's menu by its title (without '&') and clicks its item.
    bool ChooseMenuItem(const QString& menu, const QString& item);

    // The wizard's content choices and exports as a person makes them, each waiting until the program
    // has done it (the content downloaded, the file written); false when it did not.
    // A scene thumbnail of the scene browser (wizard states 1 and 2).
    bool ChooseScene(int32_t n);
    // Next Step at a chosen scene; the face dialog it opens is answered with the picture's path.
    bool ChooseOwnFace(const QString& path);
    // An accessory or speech-bubble thumbnail: one more layer, its content loaded.
    bool AddAccessory(int32_t n);
    bool AddBubble(int32_t n);
    // A double click on the selected bubble; text typed into the Edit Text dialog, then OK.
    bool EditBubbleText(const QString& text);
    // Change Color on the tool bar; Auto Adjust, then OK.
    bool AutoAdjustColour();
    // The export panel's buttons: Save Picture and Save Project answer the save dialog with path, Send
    // Picture fills in the e-mail dialog (name, sender, subject, first friend) and sends.
    bool SavePicture(const QString& path);
    bool SaveProject(const QString& path);
    bool SendPicture(const QStringList& fields);
    // File > Exit, through the menu bar; true when the window closed.
    bool Exit();
    // Whether the scene and every layer have their content: no download is pending.
    static bool AllLoaded();

    // Waits (processing events) until condition holds; false after the patience limit.
    static bool Settle(const std::function<bool()>& condition);
    // The dialog's control with this id (its object name).
    static QWidget* Control(QDialog& dialog, int id);
    static void ClickControl(QDialog& dialog, int id);
    // Types path into a file dialog's name box and presses Return.
    static void TypeFileName(QDialog& dialog, const QString& path);

    // The editing view's pixels as the screen shows them, saved as /tmp/snapmingle-walk-<name>.png.
    QImage GrabView(const QString& name) const;

private:
    int AnswerDialog(QDialog& dialog);
    bool AddLayer(TreeView& browser, int32_t n);
    bool PressExportButton(int32_t command);

    ProgramSession m_session;
    std::deque<std::function<void(QDialog&)>> m_scripts;
    platform::ModalHost::ScopedAnswerer m_answerer;
};
