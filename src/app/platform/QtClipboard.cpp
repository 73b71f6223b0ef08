#include "app/platform/QtClipboard.h"

#include <QByteArray>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "base/Error.h"
#include "base/Sjis.h"
#include "render/QtText.h"

MQtClipboard::MQtClipboard()
    : clipboard_(qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr
                     ? QGuiApplication::clipboard()
                     : nullptr) {}

QString MQtClipboard::MimeType(std::string_view format) {
  // MIME subtypes are lower case by custom, and "_" reads oddly in them.
  QString subtype = QString::fromLatin1(format.data(), static_cast<qsizetype>(format.size())).toLower();
  subtype.replace(QLatin1Char('_'), QLatin1Char('-'));
  return QStringLiteral("application/x-tessora-") + subtype;
}

void MQtClipboard::SetData(std::string_view format, const std::string& bytes) {
  if (clipboard_ == nullptr) throw base::Error(base::Utf8ToSjis("クリップボードを使えません。"));
  auto* data = new QMimeData;  // the clipboard takes it over
  data->setData(MimeType(format), QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size())));
  if (format == kMapBlockFormat) data->setText(FromSjis(bytes));
  clipboard_->setMimeData(data);
}

bool MQtClipboard::GetData(std::string_view format, std::string& bytes) const {
  if (clipboard_ == nullptr) return false;
  const QMimeData* data = clipboard_->mimeData();
  const QString type = MimeType(format);
  if (data == nullptr || !data->hasFormat(type)) return false;
  const QByteArray held = data->data(type);
  bytes.assign(held.constData(), static_cast<std::size_t>(held.size()));
  return true;
}

bool MQtClipboard::HasData(std::string_view format) const {
  if (clipboard_ == nullptr) return false;
  const QMimeData* data = clipboard_->mimeData();
  return data != nullptr && data->hasFormat(MimeType(format));
}

bool MQtClipboard::HasText() const {
  if (clipboard_ == nullptr) return false;
  const QMimeData* data = clipboard_->mimeData();
  return data != nullptr && data->hasText();
}
