// fanbor: makes ".map" files open in the editor that sits in the same folder, then ends.
#include <QApplication>

#include "assoc/FanborForm.h"

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QApplication::setApplicationDisplayName(QStringLiteral("Fanbor"));
  TfmMain form(QCoreApplication::applicationDirPath());
  form.show();
  return QApplication::exec();
}
