// Qt's own texts in Japanese: the buttons of message boxes, the file and print dialogs. The editor
// speaks Japanese whatever the locale, so Qt's standard dialogs must too.
#pragma once

#include <QString>

class QCoreApplication;
class QTranslator;

// Loads qtbase_ja.qm from the folder (empty: Qt's translations folder, Debian package
// qt6-translations-l10n) into the application, which owns the translator; call it before the first
// widget is made. Returns nullptr, silently, when the file is missing: Qt then stays in English.
QTranslator* InstallQtTranslations(QCoreApplication& app, const QString& folder = {});
