#include "platform/ui/QuitWhenShown.h"

#include <QApplication>
#include <QMainWindow>

// The yardstick of the program's start-up: a bare Qt program that shows an empty 800 x 600 main window
// and, with SMG_QUIT_WHEN_SHOWN=1, ends as soon as it is on the screen, as the program does.
int main(int argc, char** argv)
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.resize(800, 600);
    window.show();
    if (platform::QuitWhenShown::Requested())
        new platform::QuitWhenShown(window);
    return application.exec();
}
