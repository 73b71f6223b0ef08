#include "app/widgets/DragData.h"

#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

namespace {
const QString kPaneFormat = QStringLiteral("application/x-tessora-drag-source");
}  // namespace

QMimeData* PaneDragData(MPane pane) {
  auto* data = new QMimeData;
  data->setData(kPaneFormat, pane == MPane::Unmap ? "unmap" : "trash");
  return data;
}

std::optional<MPane> DraggedPane(const QMimeData* data) {
  if (data == nullptr || !data->hasFormat(kPaneFormat)) return std::nullopt;
  const QByteArray source = data->data(kPaneFormat);
  if (source == "unmap") return MPane::Unmap;
  if (source == "trash") return MPane::Trash;
  return std::nullopt;
}

QString DraggedMapFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls() || data->hasFormat(kPaneFormat)) return {};
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return {};
  const QFileInfo file(urls.front().toLocalFile());
  if (file.suffix().compare("map", Qt::CaseInsensitive) != 0 || !file.isFile()) return {};
  return file.absoluteFilePath();
}
