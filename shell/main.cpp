#include "platform/HeapRelease.h"
#include "platform/ui/QuitWhenShown.h"
#include "shell/SnapmingleApplication.h"

#include <QApplication>

// snapmingle [project.smg]: the program. SMG_QUIT_WHEN_SHOWN=1 ends it as soon as its window is shown.
int main(int argc, char** argv)
{
    platform::LimitHeapGrowth();  // before any thread of Qt's or ours allocates
    QApplication qtApplication(argc, argv);
    Application::Options options;
    options.arguments = QApplication::arguments().mid(1);
    SnapmingleApplication application(std::move(options), platform::QuitWhenShown::Requested());
    return application.Run();
}
