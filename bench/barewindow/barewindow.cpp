// The yardstick of the launch benchmark: the least a Qt program does to map a
// main window of the programs' size on the same display.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Üres ablak"));
    window.resize(1024, 740);
    window.show();
    return app.exec();
}
