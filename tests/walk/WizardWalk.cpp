#include "WizardWalk.h"

#include "support/TestFiles.h"
#include "support/TestPictures.h"
#include "support/WaitUntil.h"

#include "engine/document/CommandId.h"
#include "engine/document/Document.h"
#include "engine/document/WizardState.h"
#include "engine/layers/Layer.h"
#include "engine/view/ColorBox.h"
#include "engine/view/InputBox.h"
#include "library/share/ui/MailBox.h"
#include "shell/ExportDialog.h"
#include "engine/view/DocumentView.h"
#include "library/browser/BrowserLayout.h"
#include "library/browser/AccessoryTree.h"
#include "library/browser/BubbleTree.h"
#include "library/browser/SceneTree.h"
#include "library/browser/TreeView.h"
#include "library/download/ui/LoadBox.h"
#include "shell/LayerView.h"
#include "shell/MainFrame.h"
#include "shell/TabView.h"
#include "shell/Tutor.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDialog>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>
#include <QTransform>
#include <QTreeWidget>

namespace {

constexpr int OkId = 1;

// Sends the pointer moves and the release of a drag to the view once its drag loop holds the mouse:
// one event at each turn of the loop.
class DragPlayer {
public:
    DragPlayer(QWidget& view, std::vector<QPoint> points) : m_view(view), m_points(std::move(points))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Next(); });
        m_timer.start(0);
    }
    bool Finished() const { return m_next > m_points.size(); }

private:
    void Next()
    {
        if (QWidget::mouseGrabber() != &m_view)
            return;  // the drag loop has not started yet
        if (m_next > m_points.size()) {
            m_timer.stop();
            return;
        }
        const bool release = m_next == m_points.size();
        const QPoint at = release ? (m_points.empty() ? QPoint() : m_points.back()) : m_points[m_next];
        ++m_next;
        QMouseEvent event(release ? QEvent::MouseButtonRelease : QEvent::MouseMove, at,
                          m_view.mapToGlobal(QPointF(at)), release ? Qt::LeftButton : Qt::NoButton,
                          release ? Qt::NoButton : Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&m_view, &event);
    }

    QWidget& m_view;
    std::vector<QPoint> m_points;
    size_t m_next = 0;
    QTimer m_timer;
};

} // namespace

WizardWalk::WizardWalk() : m_answerer([this](QDialog& dialog) { return AnswerDialog(dialog); }) {}

WizardWalk::~WizardWalk()
{
    End();
}

bool WizardWalk::Start(const QStringList& arguments)
{
    if (!m_session.Start(arguments))
        return false;
    // The window is active, as it is for the person who started the program.
    Frame().activateWindow();
    return QTest::qWaitForWindowActive(&Frame());
}

int WizardWalk::AnswerDialog(QDialog& dialog)
{
    // Tips and message boxes are shown and answered by a click on their button, so that the program's
    // window loses the keys to them and must get them back when they close.
    if (auto* tip = dynamic_cast<Tutor*>(&dialog)) {
        ShowDialog(dialog);
        if (onShown)
            onShown(dialog);
        // A tip and its follow-up at most.
        for (int picture = 0; picture < 3 && tip->isVisible(); ++picture) {
            tips << QStringLiteral("%1: tip %2").arg(tip->windowTitle()).arg(tip->m_tip);
            QTest::mouseClick(tip->ContinueButton(), Qt::LeftButton);
        }
        return tip->result();
    }
    if (dynamic_cast<LoadBox*>(&dialog)) {
        ++progressDialogs;
        return dialog.exec();  // its own timer runs the queue
    }
    if (auto* box = qobject_cast<QMessageBox*>(&dialog)) {
        told << box->windowTitle() + QStringLiteral(": ") + box->text();
        ShowDialog(dialog);
        if (onShown)
            onShown(dialog);
        if (QAbstractButton* reply = box->button(static_cast<QMessageBox::StandardButton>(messageReply)))
            QTest::mouseClick(reply, Qt::LeftButton);
        else
            box->done(messageReply);  // no such button: the answer the test asked for all the same
        return box->result();
    }
    if (m_scripts.empty()) {
        told << QStringLiteral("unexpected dialog: ") + dialog.windowTitle();
        return QDialog::Rejected;
    }
    const std::function<void(QDialog&)> script = std::move(m_scripts.front());
    m_scripts.pop_front();
    ShowDialog(dialog);
    script(dialog);
    // A dialog the script left open is the script's fault; closing it keeps the walk going.
    if (dialog.isVisible()) {
        told << QStringLiteral("dialog left open: ") + dialog.windowTitle();
        dialog.reject();
    }
    return dialog.result();
}

void WizardWalk::ShowDialog(QDialog& dialog)
{
    dialog.show();
    if (!QTest::qWaitForWindowExposed(&dialog))
        told << QStringLiteral("dialog never shown: ") + dialog.windowTitle();
}

bool WizardWalk::Settle(const std::function<bool()>& condition)
{
    return ::Settle(condition);
}

bool WizardWalk::WalkTo(int32_t state, const QString& face)
{
    if (g_document->step < StepChooseScene && !PressNextStep(StepChooseScene))
        return false;
    if (state >= StepSceneChosen && g_document->step < StepSceneChosen && !ChooseScene(0))
        return false;
    if (state >= StepFaceChosen && g_document->step < StepFaceChosen &&
        !ChooseOwnFace(face.isEmpty() ? DataFile("rocket.jpg") : face))
        return false;
    for (const int32_t next :
         {StepSelectFace, StepOutlineFace, StepPlaceFace, StepAccessories, StepBubble, StepFinish}) {
        if (next <= state && g_document->step < next && !PressNextStep(next))
            return false;
    }
    return g_document->step == state;
}

bool WizardWalk::PressNextStep(int32_t state)
{
    return PressToolButton(CommandId::NextStep) && Settle([&] { return g_document->step >= state; });
}

bool WizardWalk::ClickThumbnail(TreeView& browser, int32_t n)
{
    for (int tab = 0; tab < TabView::TabCount; ++tab) {
        if (Frame().Tabs()->Page(tab) == &browser && Frame().Tabs()->ActiveTab() != tab)
            Frame().Tabs()->SetActiveTab(tab);
    }
    if (!Settle([&] { return browser.isVisible() && browser.isEnabled(); }))
        return false;
    if (n >= browser.Rows().Range().thumbnailCount) {
        told << QStringLiteral("no thumbnail %1 in the open folder").arg(n);
        return false;
    }
    const int32_t row = browser.Rows().Range().firstThumbnailRow + n;
    QWidget* viewport = browser.viewport();
    const int x = browser_layout::ThumbnailX + 20;
    for (int scrolls = 0; scrolls < 1000; ++scrolls) {
        for (int y = 0; y < viewport->height(); ++y) {
            if (browser.RowAtPoint(QPoint(x, y)) == row && browser.RowAtPoint(QPoint(x, y + 40)) == row) {
                QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(x, y + 20));
                return browser.SelectedItem() >= 0;
            }
        }
        QScrollBar* bar = browser.verticalScrollBar();
        if (bar->value() == bar->maximum()) {
            told << QStringLiteral("thumbnail %1 never on the screen").arg(n);
            return false;
        }
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QCoreApplication::processEvents();
    }
    return false;
}

bool WizardWalk::OpenBrowserFolder(TreeView& browser, const QString& category, const QString& subcategory)
{
    const Catalog& catalog = browser.GetCatalog();
    int32_t c = 0;
    while (c < static_cast<int32_t>(catalog.categories.size()) && catalog.GetCategoryName(c) != category)
        ++c;
    if (c == static_cast<int32_t>(catalog.categories.size()))
        return false;
    // Clicks the first row on the screen that holds what is asked for; false when none does.
    const auto clickRow = [&](const std::function<bool(int32_t)>& wanted) {
        QWidget* viewport = browser.viewport();
        for (int y = 0; y < viewport->height(); ++y) {
            const int32_t row = browser.RowAtPoint(QPoint(10, y));
            if (row >= 0 && row < browser.Rows().TotalRows() && wanted(row)) {
                QTest::mouseClick(viewport, Qt::LeftButton, {}, QPoint(10, y + 2));
                return true;
            }
        }
        return false;
    };
    const TreeRows& rows = browser.Rows();
    if (rows.OpenCategory() != c &&
        !clickRow([&](int32_t row) { return !rows.IsThumbnailRow(row) && !rows.IsSubcategoryRow(row) && rows.CategoryAt(row) == c; }))
        return false;
    int32_t s = 0;
    while (!subcategory.isEmpty() && s < catalog.GetSubcategoryCount(c) && catalog.GetSubcategoryName(c, s) != subcategory)
        ++s;
    if (s == catalog.GetSubcategoryCount(c))
        return false;
    if (browser.Rows().OpenSubcategory() != s &&
        !clickRow([&](int32_t row) { return browser.Rows().IsSubcategoryRow(row) && browser.Rows().SubcategoryAt(row) == s; }))
        return false;
    return browser.Rows().OpenCategory() == c && browser.Rows().OpenSubcategory() == s;
}

QPoint WizardWalk::ViewPoint(QPointF doc) const
{
    QTransform m;
    Frame().View()->DocToViewXform(m);
    return m.map(doc).toPoint();
}

bool WizardWalk::DragInView(QPointF from, const std::vector<QPointF>& through)
{
    DocumentView& view = *Frame().View();
    std::vector<QPoint> points;
    for (const QPointF& p : through)
        points.push_back(ViewPoint(p));
    DragPlayer player(view, points);
    const QPoint start = ViewPoint(from);
    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, start);
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, points.empty() ? start : points.back());
    return player.Finished();
}

bool WizardWalk::DragCropCorner(QPointF by)
{
    const Layer* layer = g_document->GetSelectedLayer();
    if (!layer)
        return false;
    const QPointF corner(layer->cropTopLeft.x * layer->size.x, layer->cropTopLeft.y * layer->size.y);
    return DragInView(corner, {corner + by / 2, corner + by});
}

bool WizardWalk::MoveSelectedLayer(QPointF by)
{
    const Layer* layer = g_document->GetSelectedLayer();
    if (!layer)
        return false;
    const QPointF middle(layer->position.x, layer->position.y);
    return DragInView(middle, {middle + by / 2, middle + by});
}

bool WizardWalk::ClickLayerRow(int row)
{
    QTreeWidget& list = *Frame().Layers()->List();
    QTreeWidgetItem* item = list.topLevelItem(row);
    if (!item)
        return false;
    // The pointer goes there first, as a person's hand takes it: the panel asks where the pointer is.
    const QPoint at = list.visualItemRect(item).center();
    QCursor::setPos(list.viewport()->mapToGlobal(at));
    QTest::mouseMove(list.viewport(), at);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, at);
    return Settle([row] { return g_document->selectedIndex == row; });
}

bool WizardWalk::DragLayerRow(int from, int to)
{
    QTreeWidget& list = *Frame().Layers()->List();
    QTreeWidgetItem* fromItem = list.topLevelItem(from);
    QTreeWidgetItem* toItem = list.topLevelItem(to);
    if (!fromItem || !toItem)
        return false;
    QWidget* viewport = list.viewport();
    const QPoint start = list.visualItemRect(fromItem).center();
    const QPoint end = list.visualItemRect(toItem).center();
    QTest::mouseMove(viewport, start);
    QTest::mousePress(viewport, Qt::LeftButton, {}, start);
    QTest::mouseMove(viewport, start + QPoint(0, to >= from ? 8 : -8));
    QTest::mouseMove(viewport, end);
    QTest::mouseRelease(viewport, Qt::LeftButton, {}, end);
    return true;
}

bool WizardWalk::PressKey(int key, Qt::KeyboardModifiers modifiers)
{
    // A person's key comes after the program has done what was pending (a window's activation, say);
    // then it goes to the widget with the focus, else to the active window, as the keyboard sends it.
    QCoreApplication::processEvents();
    QWidget* target = QApplication::focusWidget();
    if (!target)
        target = QApplication::activeWindow();
    if (!target) {
        told << QStringLiteral("no window takes the key");
        return false;
    }
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    return true;
}

bool WizardWalk::ChooseMenuItem(const QString& menuTitle, const QString& itemText)
{
    QMenuBar& bar = *Frame().MenuBar();
    const auto plain = [](QString text) { return text.remove(QLatin1Char('&')).section(QLatin1Char('\t'), 0, 0); };
    for (QAction* title : bar.actions()) {
        if (plain(title->text()) != menuTitle || !title->menu())
            continue;
        QMenu& menu = *title->menu();
        QTest::mouseClick(&bar, Qt::LeftButton, {}, bar.actionGeometry(title).center());
        if (!Settle([&] { return menu.isVisible(); }))
            return false;
        for (QAction* item : menu.actions()) {
            if (plain(item->text()) == itemText) {
                QTest::mouseClick(&menu, Qt::LeftButton, {}, menu.actionGeometry(item).center());
                return true;
            }
        }
        QStringList items;
        for (QAction* item : menu.actions())
            items << plain(item->text());
        told << QStringLiteral("no item \"%1\" in %2: %3").arg(itemText, menuTitle, items.join(QStringLiteral(", ")));
        menu.close();
        return false;
    }
    return false;
}

QWidget* WizardWalk::Control(QDialog& dialog, int id)
{
    return dialog.findChild<QWidget*>(QString::number(id));
}

void WizardWalk::ClickControl(QDialog& dialog, int id)
{
    if (auto* button = qobject_cast<QAbstractButton*>(Control(dialog, id)))
        QTest::mouseClick(button, Qt::LeftButton);
}

void WizardWalk::TypeFileName(QDialog& dialog, const QString& path)
{
    auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (!edit)
        return;
    QTest::mouseClick(edit, Qt::LeftButton);  // the name box takes the focus
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, path);
    QTest::keyClick(edit, Qt::Key_Return);
}

QImage WizardWalk::GrabView(const QString& name) const
{
    const QImage image = Frame().View()->grab().toImage();
    SaveForALook(image, QStringLiteral("walk-") + name);
    return image;
}

QImage WizardWalk::Render(const QString& name) const
{
    return g_document->SavePicture(Path(name)) ? QImage(Path(name)) : QImage();
}

bool WizardWalk::AllLoaded()
{
    if (!g_document || !g_document->scene || g_document->scene->pendingTask)
        return false;
    for (const Node* node = g_document->layers.next; node != &g_document->layers; node = node->next) {
        if (static_cast<const Layer*>(node)->pendingTask)
            return false;
    }
    return true;
}

bool WizardWalk::ChooseScene(int32_t n)
{
    return ClickThumbnail(*Frame().Scenes(), n) &&
           Settle([] { return g_document->step == StepSceneChosen && AllLoaded(); });
}

bool WizardWalk::ChooseOwnFace(const QString& path)
{
    Answer([path](QDialog& dialog) { TypeFileName(dialog, path); });
    return PressNextStep(StepChooseFace) && Settle([] { return g_document->step == StepFaceChosen && AllLoaded(); });
}

bool WizardWalk::AddLayer(TreeView& browser, int32_t n)
{
    const int32_t count = g_document->layers.GetCount();
    return ClickThumbnail(browser, n) &&
           Settle([&] { return g_document->layers.GetCount() == count + 1 && AllLoaded(); });
}

bool WizardWalk::AddAccessory(int32_t n)
{
    return AddLayer(*Frame().Accessories(), n);
}

bool WizardWalk::AddBubble(int32_t n)
{
    return AddLayer(*Frame().Bubbles(), n);
}

bool WizardWalk::EditBubbleText(const QString& text)
{
    const Layer* bubble = g_document->GetSelectedLayer();
    if (!bubble)
        return false;
    Answer([text](QDialog& dialog) {
        auto* edit = qobject_cast<QPlainTextEdit*>(Control(dialog, InputBox::EditId));
        if (!edit)
            return;
        QTest::mouseClick(edit, Qt::LeftButton);  // the text field takes the focus
        const QStringList lines = text.split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (i > 0)
                QTest::keyClick(edit, Qt::Key_Return);
            QTest::keyClicks(edit, lines[i]);
        }
        ClickControl(dialog, OkId);
    });
    const QPoint at = ViewPoint({bubble->position.x, bubble->position.y});
    QTest::mouseDClick(Frame().View(), Qt::LeftButton, Qt::NoModifier, at);
    return m_scripts.empty();
}

bool WizardWalk::AutoAdjustColour()
{
    Answer([](QDialog& dialog) {
        ClickControl(dialog, ColorBox::AutoAdjustId);
        ClickControl(dialog, OkId);
    });
    return PressToolButton(CommandId::ChangeColor) && m_scripts.empty();
}

bool WizardWalk::SavePicture(const QString& path)
{
    Answer([path](QDialog& dialog) { TypeFileName(dialog, path); });
    return PressExportButton(ExportDialog::SavePictureId) && m_scripts.empty() && QFileInfo::exists(path);
}

bool WizardWalk::SaveProject(const QString& path)
{
    Answer([path](QDialog& dialog) { TypeFileName(dialog, path); });
    return PressExportButton(ExportDialog::SaveProjectId) && m_scripts.empty() && QFileInfo::exists(path) &&
           !g_document->IsModified();
}

bool WizardWalk::SendPicture(const QStringList& fields)
{
    if (fields.size() != 4)
        return false;
    const int before = told.size();
    Answer([fields](QDialog& dialog) {
        const int ids[] = {MailBox::NameId, MailBox::FromId, MailBox::SubjectId, MailBox::FirstFriendId};
        for (int i = 0; i < 4; ++i)
            QTest::keyClicks(Control(dialog, ids[i]), fields[i]);
        QTest::keyClick(Control(dialog, MailBox::FirstFriendId), Qt::Key_Return);  // Send, the default button
    });
    // Sent without a message: a failure is told in a message box.
    return PressExportButton(ExportDialog::SendPictureId) && m_scripts.empty() && told.size() == before;
}

bool WizardWalk::Exit()
{
    return ChooseMenuItem(QStringLiteral("File"), QStringLiteral("Exit")) && Settle([&] { return !Frame().isVisible(); });
}
