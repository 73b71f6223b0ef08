// Qt's standard dialogs speak Japanese with the rest of the window, and stay English without a word when
// the translations are not installed.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTranslator>
#include <memory>

#include "app/platform/Translations.h"

namespace {

std::string Translated(const char* context, const char* text) {
  return QCoreApplication::translate(context, text).toStdString();
}

TEST(QtTranslations, TurnMessageBoxButtonsJapaneseWhateverTheLocale) {
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  if (!QFile::exists(folder + "/qtbase_ja.qm"))
    GTEST_SKIP() << "no qtbase_ja.qm in " << folder.toStdString()
                 << " (Debian package qt6-translations-l10n)";

  const QLocale before;
  QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
  std::unique_ptr<QTranslator> translator(InstallQtTranslations(*QCoreApplication::instance()));
  QLocale::setDefault(before);
  ASSERT_NE(translator, nullptr);

  // The context QMessageBox and QDialogButtonBox take their standard button texts from.
  EXPECT_EQ(Translated("QPlatformTheme", "Cancel"), "キャンセル");
  QMessageBox box;
  box.setStandardButtons(QMessageBox::Save | QMessageBox::Cancel);
  EXPECT_EQ(box.button(QMessageBox::Save)->text().toStdString(), "保存");
  EXPECT_EQ(box.button(QMessageBox::Cancel)->text().toStdString(), "キャンセル");
  EXPECT_EQ(Translated("QFileDialog", "Look in:"), "アドレス:");

  translator.reset();  // the other tests see Qt as it was
  EXPECT_EQ(Translated("QPlatformTheme", "Cancel"), "Cancel");
}

QStringList gMessages;

TEST(QtTranslations, StayEnglishAndSilentWithoutTheFile) {
  QTemporaryDir empty;
  ASSERT_TRUE(empty.isValid());
  gMessages.clear();
  const QtMessageHandler previous = qInstallMessageHandler(
      [](QtMsgType, const QMessageLogContext&, const QString& text) { gMessages << text; });
  QTranslator* translator = InstallQtTranslations(*QCoreApplication::instance(), empty.path());
  qInstallMessageHandler(previous);
  EXPECT_EQ(translator, nullptr);
  EXPECT_TRUE(gMessages.isEmpty()) << gMessages.join('\n').toStdString();
  EXPECT_EQ(Translated("QPlatformTheme", "Cancel"), "Cancel");
}

}  // namespace
