#include "app/platform/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

QTranslator* InstallQtTranslations(QCoreApplication& app, const QString& folder) {
  const QString from = folder.isEmpty() ? QLibraryInfo::path(QLibraryInfo::TranslationsPath) : folder;
  auto translator = std::make_unique<QTranslator>();
  // By file name, not by QLocale: the user's locale must not turn the dialogs English.
  if (!translator->load(QStringLiteral("qtbase_ja"), from) || !app.installTranslator(translator.get()))
    return nullptr;
  translator->setParent(&app);
  return translator.release();
}
