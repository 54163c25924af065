// The floor this toolkit allows: a Qt Widgets window of the converter's
// size with one line edit, nothing else.
#include <QApplication>
#include <QLineEdit>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle("Baseline");
    window.setFixedSize(300, 176);
    QLineEdit edit(&window);
    edit.setGeometry(23, 24, 97, 21);
    window.show();
    return application.exec();
}
