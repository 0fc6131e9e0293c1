// The baseline for start-up: a bare Qt Widgets window with a title, nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("BareWindow"));
    window.resize(400, 273);
    window.show();
    return app.exec();
}
