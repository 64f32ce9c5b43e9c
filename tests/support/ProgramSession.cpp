#include "support/ProgramSession.h"

#include "engine/base/AppPaths.h"
#include "engine/document/CommandId.h"
#include "library/browser/BrowserLayout.h"
#include "library/browser/TreeView.h"
#include "shell/ExportDialog.h"
#include "shell/MainFrame.h"
#include "shell/SnapmingleApplication.h"
#include "shell/TabView.h"
#include "shell/ToolBar.h"
#include "support/TestFiles.h"
#include "support/WaitUntil.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

bool Settle(const std::function<bool()>& condition)
{
    return WaitUntil([&] {
        QCoreApplication::processEvents();
        return condition();
    });
}

ProgramSession::ProgramSession()
{
    const QString settings = QStringLiteral("[System]\nServerUrl=%1\nShareHost=127.0.0.1\nSharePort=%2\n")
                                 .arg(m_library.BaseUrl())
                                 .arg(m_library.Server().Port());
    WriteFile(Program() + QStringLiteral("/SMG.ini"), settings.toLatin1());
    EXPECT_TRUE(m_library.CopyProgramFiles(Program()));
}

ProgramSession::~ProgramSession()
{
    End();
}

Application::Options ProgramSession::MakeOptions(const QStringList& arguments) const
{
    Application::Options options;
    options.arguments = arguments;
    options.makePaths = [this] { return AppPaths(Program(), {PathOf(QStringLiteral("data"))}); };
    options.registryPath = PathOf(QStringLiteral("registry.ini"));
    return options;
}

bool ProgramSession::Start(const QStringList& arguments)
{
    application = std::make_unique<SnapmingleApplication>(MakeOptions(arguments));
    return application->InitInstance();
}

void ProgramSession::End()
{
    if (application)
        application->ExitInstance();
    application.reset();
}

CMainFrame& ProgramSession::Frame() const
{
    return *application->Frame();
}

bool ProgramSession::PressToolButton(int32_t command)
{
    ToolBar& tools = *Frame().Tools();
    QToolButton* button = tools.Button(tools.CommandToIndex(command));
    // Enabled at the router's next idle pass.
    if (!button || !Settle([&] { return button->isEnabled(); }))
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

bool ProgramSession::PressExportButton(int32_t command)
{
    auto* panel = dynamic_cast<ExportDialog*>(Frame().Tabs()->ActiveView());
    QPushButton* button = panel ? panel->Button(command) : nullptr;
    if (!button || !Settle([&] { return button->isVisible() && button->isEnabled(); }))
        return false;
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

void ProgramSession::PressNextStep()
{
    ASSERT_TRUE(PressToolButton(CommandId::NextStep)) << "Next Step never enabled";
}

int FindRow(TreeView& browser, int32_t row)
{
    QWidget* viewport = browser.viewport();
    for (int step = 0; step <= browser.Rows().TotalRows(); ++step) {
        for (int y = 0; y + 20 < viewport->height(); ++y) {
            if (browser.RowAtPoint(QPoint(0, y)) == row)
                return y;
        }
        browser.verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    }
    return -1;
}

void ProgramSession::ClickThumbnail(TreeView& browser, int32_t j)
{
    const int y = FindRow(browser, browser.Rows().Range().firstThumbnailRow + j);
    ASSERT_GE(y, 0) << "thumbnail " << j << " never came into view";
    QTest::mouseClick(browser.viewport(), Qt::LeftButton, {}, QPoint(browser_layout::ThumbnailX + 20, y + 20));
}

void ProgramSession::ClickSubcategory(TreeView& browser, int32_t s)
{
    const TreeRows& rows = browser.Rows();
    int32_t row = 0;
    while (row < rows.TotalRows() && !(rows.IsSubcategoryRow(row) && rows.SubcategoryAt(row) == s))
        ++row;
    ASSERT_LT(row, rows.TotalRows()) << "no row of subcategory " << s;
    const int y = FindRow(browser, row);
    ASSERT_GE(y, 0) << "subcategory " << s << " never came into view";
    QTest::mouseClick(browser.viewport(), Qt::LeftButton, {}, QPoint(browser_layout::SubcategoryTitleX + 5, y + 5));
}
