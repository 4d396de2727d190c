// orva: the desktop tool.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QMainWindow window;
  window.setWindowTitle("ORVA2");
  window.show();
  return QApplication::exec();
}
