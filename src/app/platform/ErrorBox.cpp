#include "app/platform/ErrorBox.h"

#include <QMessageBox>
#include <new>

#include "render/QtText.h"

namespace {
MMessageHook gHook;
const QString kTitle = QStringLiteral("Tessora");
}  // namespace

void SetMessageHook(MMessageHook hook) { gHook = std::move(hook); }

void ShowErrorBox(QWidget* parent, const std::exception& error) {
  const QString text = dynamic_cast<const std::bad_alloc*>(&error) != nullptr ? QStringLiteral("メモリが足りません。")
                                                                              : FromSjis(error.what());
  if (gHook) {
    gHook(text, true);
    return;
  }
  QMessageBox::critical(parent, kTitle, text);
}

void ShowMessage(QWidget* parent, const QString& text) {
  if (gHook) {
    gHook(text, false);
    return;
  }
  QMessageBox::information(parent, kTitle, text);
}
