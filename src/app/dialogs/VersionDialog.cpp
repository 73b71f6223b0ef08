#include "app/dialogs/VersionDialog.h"

#include <QCoreApplication>
#include <QDir>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QWheelEvent>

#include "app/dialogs/DialogParts.h"
#include "app/platform/Icons.h"
#include "render/QtText.h"

namespace {

constexpr int kWidth = 473;
constexpr int kHeight = 441;
constexpr int kMargin = 9;
constexpr int kMemoTop = 104;

// The information file's lines, or nothing when there is no such file. It is Shift-JIS, like every
// other text file of the editor; its line ends may be CR LF or LF.
bool ReadInfo(const QString& path, QString& text) {
  QFile file(path);
  if (!file.exists() || !file.open(QIODevice::ReadOnly)) return false;
  const QByteArray bytes = file.readAll();
  QStringList lines = FromSjis(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))
                          .split(QLatin1Char('\n'));
  for (QString& line : lines) {
    if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
  }
  if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();  // the last line's end
  text = lines.join(QLatin1Char('\n'));
  return true;
}

}  // namespace

QString TdlgVersion::DefaultInfoPath() {
  // Beside the program for a copy in a folder of its own; the package puts it in share/tessora.
  const QString beside = QCoreApplication::applicationDirPath() + QStringLiteral("/tessora.info");
  const QString installed = QDir(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tessora"))
                                .absoluteFilePath("tessora.info");
  return !QFileInfo::exists(beside) && QFileInfo::exists(installed) ? QDir::cleanPath(installed) : beside;
}

QString TdlgVersion::DefaultInfo() {
  return QStringLiteral("マッピング作業が快適になることを願っています。");
}

// The build passes the project's version; a build without one shows the numbers of a program that
// carries no version.
QString TdlgVersion::VersionText() {
#if defined(TESSORA_VERSION_MAJOR) && defined(TESSORA_VERSION_MINOR)
  return QStringLiteral("%1.%2").arg(TESSORA_VERSION_MAJOR).arg(TESSORA_VERSION_MINOR);
#else
  return QStringLiteral("1.0");
#endif
}

QString TdlgVersion::BuildText() {
#if defined(TESSORA_VERSION_PATCH) && defined(TESSORA_VERSION_TWEAK)
  return QStringLiteral("%1.%2").arg(TESSORA_VERSION_PATCH).arg(TESSORA_VERSION_TWEAK);
#else
  return QStringLiteral("0.1");
#endif
}

TdlgVersion::TdlgVersion(QWidget* parent, const QString& infoPath)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint) {
  setObjectName(QStringLiteral("dlgVersion"));
  setWindowTitle(QStringLiteral("バージョン情報"));
  setAccessibleName(windowTitle());
  setFixedSize(kWidth, kHeight);

  imgAbout = new QLabel(this);
  NameControl(imgAbout, "imgAbout", QStringLiteral("Tessora"));
  imgAbout->setGeometry(kMargin + 8, kMargin + 8, 64, 64);
  imgAbout->setPixmap(IconFor(MIcon::App).pixmap(64, 64));

  lblAppName = new QLabel(QStringLiteral("Tessora"), this);
  NameControl(lblAppName, "lblAppName", QStringLiteral("Tessora"));
  QFont big = lblAppName->font();
  big.setPointSizeF(big.pointSizeF() * 1.6);
  big.setBold(true);
  lblAppName->setFont(big);
  lblAppName->setGeometry(96, kMargin + 6, 240, 32);

  const auto label = [this](const char* name, const QString& text, int x, int y, int width) {
    auto* l = new QLabel(text, this);
    NameControl(l, name, text);
    l->setGeometry(x, y, width, 20);
    return l;
  };
  label("lblVersionCaption", QStringLiteral("Version"), 96, 52, 56);
  lblVersion = label("lblVersion", VersionText(), 156, 52, 80);
  lblVersion->setAccessibleName(QStringLiteral("Version ") + lblVersion->text());
  label("lblBuildCaption", QStringLiteral("Build"), 96, 74, 56);
  lblBuild = label("lblBuild", BuildText(), 156, 74, 80);
  lblBuild->setAccessibleName(QStringLiteral("Build ") + lblBuild->text());

  btnOK = new QPushButton(QStringLiteral("O K"), this);
  NameControl(btnOK, "btnOK", QStringLiteral("OK"));
  btnOK->setGeometry(kWidth - kMargin - 8 - 75, kMargin + 8, 75, 25);
  btnOK->setDefault(true);
  connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);  // Escape closes as well

  mmInfo = new QPlainTextEdit(this);
  NameControl(mmInfo, "mmInfo", QStringLiteral("情報"));
  mmInfo->setGeometry(kMargin, kMemoTop, kWidth - 2 * kMargin, kHeight - kMemoTop - kMargin);
  mmInfo->setReadOnly(true);
  mmInfo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  QFont fixed(QStringLiteral("ＭＳ ゴシック"));  // IPAGothic through the font substitutions
  fixed.setStyleHint(QFont::TypeWriter);
  fixed.setFixedPitch(true);
  mmInfo->setFont(fixed);
  QString info;
  mmInfo->setPlainText(ReadInfo(infoPath, info) ? info : DefaultInfo());

  // The memo is for reading: the focus goes on to OK, and the wheel anywhere scrolls it.
  installEventFilter(this);
  for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
  btnOK->setFocus();
}

bool TdlgVersion::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::FocusIn && watched == mmInfo) {
    btnOK->setFocus();
    return false;
  }
  if (event->type() == QEvent::Wheel) {
    const auto* wheel = static_cast<QWheelEvent*>(event);
    const int delta = wheel->angleDelta().y() != 0 ? wheel->angleDelta().y() : wheel->angleDelta().x();
    mmInfo->verticalScrollBar()->triggerAction(delta > 0 ? QAbstractSlider::SliderSingleStepSub
                                                         : QAbstractSlider::SliderSingleStepAdd);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}
